// Error records of the library: every failing entry point fills the
// caller's RFC_ERROR_INFO (when one is given) and returns the code; a
// succeeding one sets its code to RFC_OK.
//
// Thread rules: pure functions.
#pragma once

#include <string>
#include <string_view>

#include "nwrfc/NwRfcApi.h"
#include "wire/Messages.h"

namespace nwsim {

struct Failure {
    nwrfc::RFC_RC code = nwrfc::RFC_OK;
    nwrfc::RFC_ERROR_GROUP group = nwrfc::OK;
    std::u16string key;  // empty: the code's name
    std::u16string message;
};

// The code's name, e.g. u"RFC_COMMUNICATION_FAILURE"; u"RFC_UNKNOWN_ERROR"
// for a number that is no code.
const nwrfc::SAP_UC* CodeName(nwrfc::RFC_RC code);

Failure MakeFailure(nwrfc::RFC_RC code, nwrfc::RFC_ERROR_GROUP group, std::string_view message);
// A bad argument of the caller's.
Failure InvalidParameter(std::string_view message);

// Fills info with the failure and returns its code.
nwrfc::RFC_RC Report(const Failure& failure, nwrfc::RFC_ERROR_INFO* info);
// Marks info as a success and returns RFC_OK.
nwrfc::RFC_RC Succeed(nwrfc::RFC_ERROR_INFO* info);

// A failure of our client's transport or logon, as the library reports it:
// a refused logon is a logon failure, everything else a communication one.
Failure FromClientError(const rfcwire::ErrorRecord& error);

}  // namespace nwsim
