// DB02_DB4_GET_INFO: DB4 database sizes (E_DB02_DISPLAYED_INFO: TAB_SIZE, CST_SIZE, IDX_SIZE).
#pragma once

#include "rfc/BaseRfc.h"

class CDB02DB4GetInfo : public CBaseRfc {
  public:
    CDB02DB4GetInfo();
};
