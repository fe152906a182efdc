// TH_WPINFO: the work processes of an application server with their CPU
// times (T_WPLIST: WP_NO, WP_TYP, WP_PID, WP_STATUS, WP_CPU).
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CThWpInfo : public CTableRfc {
  public:
    CThWpInfo();

    // Asks for the CPU times (I_WITH_CPU = "01") before every call.
    void CallFunctionModule(CRfcConnection& connection) override;
};
