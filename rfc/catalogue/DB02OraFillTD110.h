// DB02_ORA_FILL_TD110: ORACLE space figures (E_TD110: TASI, TISI).
#pragma once

#include "rfc/BaseRfc.h"

class CDB02OraFillTD110 : public CBaseRfc {
  public:
    CDB02OraFillTD110();
};
