// DB_ORA_MAIN_LIST: ORACLE database overview (E_DBORA: VERSION).
#pragma once

#include "rfc/BaseRfc.h"

class CDbOraMainList : public CBaseRfc {
  public:
    CDbOraMainList();
};
