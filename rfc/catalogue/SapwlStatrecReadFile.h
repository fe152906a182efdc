// SAPWL_STATREC_READ_FILE: the workload statistics records of an application
// server in a read window, dialog and background steps.
#pragma once

#include "rfc/BaseRfc.h"

class CSapwlStatrecReadFile : public CBaseRfc {
  public:
    CSapwlStatrecReadFile();

    static constexpr const char16_t* kNormalRecords = u"V2_NORMAL_RECORDS";
    static constexpr const char16_t* kBatchStepRecords = u"V2_BTC_STEP_RECORDS";

    int GetNormalRowCount() { return GetTableRowCount(kNormalRecords); }
    const void* GetNormalRow(int i) { return GetTableRow(kNormalRecords, i); }
    int GetBatchStepRowCount() { return GetTableRowCount(kBatchStepRecords); }
    const void* GetBatchStepRow(int i) { return GetTableRow(kBatchStepRecords, i); }
};

// The same call, transferring only the two record tables.
class CSapwlStatrecReadFileEx : public CSapwlStatrecReadFile {
  protected:
    bool IsParameterWanted(std::u16string_view name, std::u16string_view parameterClass) override;
};
