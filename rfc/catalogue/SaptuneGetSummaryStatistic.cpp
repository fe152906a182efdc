#include "rfc/catalogue/SaptuneGetSummaryStatistic.h"

#include "rfc/catalogue/TransferNarrowing.h"

CSaptuneGetSummaryStatistic::CSaptuneGetSummaryStatistic()
    : CBaseRfc(u"SAPTUNE_GET_SUMMARY_STATISTIC") {}

bool CSaptuneGetSummaryStatisticEx::IsParameterWanted(std::u16string_view name,
                                                      std::u16string_view parameterClass) {
    return IsTransferWanted(name, parameterClass,
                            {kTableStatistic, kBufferStatistic, kTableQualities, kCursorCacheInfo});
}
