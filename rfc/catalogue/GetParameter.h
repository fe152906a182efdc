// GET_PARAMETER: A saposcol parameter; the collector reads the last collector write time
// (E_FP_LASTCOLLWRT).
#pragma once

#include "rfc/BaseRfc.h"

class CGetParameter : public CBaseRfc {
  public:
    CGetParameter();
};
