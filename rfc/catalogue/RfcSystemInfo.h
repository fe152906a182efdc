// RFC_SYSTEM_INFO: System identity: id, operating system and database of the system
// (E_RFCSI_EXPORT).
#pragma once

#include "rfc/BaseRfc.h"

class CRfcSystemInfo : public CBaseRfc {
  public:
    CRfcSystemInfo();
};
