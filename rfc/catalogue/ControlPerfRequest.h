// CONTROL_PERF_REQUEST: A request to saposcol, local or behind an RFC destination (the clavern
// member list among others).
#pragma once

#include "rfc/BaseRfc.h"

class CControlPerfRequest : public CBaseRfc {
  public:
    CControlPerfRequest();
};
