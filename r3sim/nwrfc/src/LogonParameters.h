// The name/value pairs of RfcOpenConnection as our client's logon data.
//
// Names are case-insensitive: ashost, sysnr, client, user, passwd, lang,
// saprouter ("/H/host/S/port/H/" hops in front of ashost), trace and
// cpic_keepalive (accepted, no effect), snc_mode (0 only: our wire has no
// SNC), snc_partnername, snc_qop, snc_myname, snc_lib (accepted, unused).
// Any other name is refused, naming it.
//
// Thread rules: pure functions.
#pragma once

#include <string>

#include "client/ConnectString.h"
#include "nwrfc/NwRfcApi.h"

namespace nwsim {

bool ParseLogonParameters(const nwrfc::RFC_CONNECTION_PARAMETER* parameters, unsigned count,
                          rfclib::ConnectParameters& out, std::string& error);

}  // namespace nwsim
