// SAPTUNE_GET_SUMMARY_STATISTIC: memory areas, buffers, tables, table
// qualities and the cursor cache of an application server.
#pragma once

#include "rfc/BaseRfc.h"

class CSaptuneGetSummaryStatistic : public CBaseRfc {
  public:
    CSaptuneGetSummaryStatistic();

    static constexpr const char16_t* kBufferStatistic = u"BUFFER_STATISTIC";
    static constexpr const char16_t* kTableStatistic = u"TABLE_STATISTIC";
    static constexpr const char16_t* kTableQualities = u"TABLE_QUALITIES";
    static constexpr const char16_t* kCursorCacheInfo = u"CURSOR_CACHE_INFO";
};

// The same call, transferring only the four tables the collector reads.
class CSaptuneGetSummaryStatisticEx : public CSaptuneGetSummaryStatistic {
  protected:
    bool IsParameterWanted(std::u16string_view name, std::u16string_view parameterClass) override;
};
