// TH_SAPREL: Kernel release and patch level of an application server.
#pragma once

#include "rfc/BaseRfc.h"

class CThSaprel : public CBaseRfc {
  public:
    CThSaprel();
};
