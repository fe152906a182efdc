// How the NetWeaver library's results become the classic library's: the
// error record (group, key, message) and the result code a caller of
// rfc32u.h relies on, and which failures leave the connection closed.
//
// Thread rules: pure functions.
#pragma once

#include <string_view>

#include "nwrfc/NwRfcApi.h"
#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib::nw {

// The classic error group of a NetWeaver result and its error group.
int ClassicGroup(nwrfc::RFC_RC code, nwrfc::RFC_ERROR_GROUP group);

// The classic record: key and message as the library gave them (cut to the
// classic widths when they are copied out), the group mapped.
rfcwire::ErrorRecord ClassicError(const nwrfc::RFC_ERROR_INFO& info);

// The classic result of a failed call: 2 for a module's exception, 3 when
// the partner aborted the call, otherwise 1.
RFC_RC ClassicCallResult(nwrfc::RFC_RC code);

// The library documents that it has closed the connection after these.
bool ClosesConnection(nwrfc::RFC_RC code);

}  // namespace rfclib::nw
