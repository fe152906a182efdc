// TH_ENVIRONMENT: The environment of an application server's process (T_ENVIRONMENT: LINE).
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CThEnvironment : public CTableRfc {
  public:
    CThEnvironment();
};
