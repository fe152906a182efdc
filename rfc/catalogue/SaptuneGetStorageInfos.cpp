#include "rfc/catalogue/SaptuneGetStorageInfos.h"

#include "rfc/catalogue/TransferNarrowing.h"

CSaptuneGetStorageInfos::CSaptuneGetStorageInfos() : CBaseRfc(u"SAPTUNE_GET_STORAGE_INFOS") {}

bool CSaptuneGetStorageInfosEx::IsParameterWanted(std::u16string_view name,
                                                  std::u16string_view parameterClass) {
    return IsTransferWanted(name, parameterClass, {});
}
