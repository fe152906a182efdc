// The logon check of an application server: client, user, password,
// language, locks and servers that refuse logons. User names and passwords
// compare without regard to case, as the logon screens of these releases do.
//
// Thread rules: pure function over the scenario.
#pragma once

#include "r3sim/CallContext.h"
#include "r3sim/Scenario.h"
#include "wire/Messages.h"

namespace r3sim {

struct LogonResult {
    bool accepted = false;
    rfcwire::ErrorRecord error;  // group 103 when refused
    SessionInfo session;         // when accepted
    std::string isoLanguage;
};

LogonResult CheckLogon(const Scenario& scenario, const ServerSpec& server,
                       const rfcwire::OpenRequest& request);

// The attributes the server reports after a logon.
rfcwire::SystemAttributes AttributesFor(const Scenario& scenario, const ServerSpec& server,
                                        const LogonResult& logon);

}  // namespace r3sim
