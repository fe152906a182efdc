#include "rfc/catalogue/SapwlStatrecReadFile.h"

#include "rfc/catalogue/TransferNarrowing.h"

CSapwlStatrecReadFile::CSapwlStatrecReadFile() : CBaseRfc(u"SAPWL_STATREC_READ_FILE") {}

bool CSapwlStatrecReadFileEx::IsParameterWanted(std::u16string_view name,
                                                std::u16string_view parameterClass) {
    return IsTransferWanted(name, parameterClass, {kNormalRecords, kBatchStepRecords});
}
