// GET_OMBRITH_LPAR_INFO: Partition description of an OMBRITH host.
#pragma once

#include "rfc/BaseRfc.h"

class CGetOmbrithLparInfo : public CBaseRfc {
  public:
    CGetOmbrithLparInfo();
};
