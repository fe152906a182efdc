// GET_CONFIG_DEFINED: saposcol configuration of a host, local or behind an RFC destination:
// operating system and last collector write.
#pragma once

#include "rfc/BaseRfc.h"

class CGetConfigDefined : public CBaseRfc {
  public:
    CGetConfigDefined();
};
