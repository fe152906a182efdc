// SAPTUNE_GET_STORAGE_INFOS: storage figures of an application server:
// roll, paging, extended and heap memory, shared memory.
#pragma once

#include "rfc/BaseRfc.h"

class CSaptuneGetStorageInfos : public CBaseRfc {
  public:
    CSaptuneGetStorageInfos();
};

// The same call without any table transfer.
class CSaptuneGetStorageInfosEx : public CSaptuneGetStorageInfos {
  protected:
    bool IsParameterWanted(std::u16string_view name, std::u16string_view parameterClass) override;
};
