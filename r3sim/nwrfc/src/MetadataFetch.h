// Reading descriptions from the partner into the repository of its system:
// a function's interface (PARAMS rows) with the structures its parameters
// use, and single structures (FIELDS rows). Each is asked for once per
// system; later calls find it in the repository.
//
// Thread rules: called with the connection's CallMutex held.
#pragma once

#include "Connection.h"
#include "Descriptions.h"

namespace nwsim {

// nullptr with the failure: RFC_ABAP_EXCEPTION keyed by the partner's
// reason (e.g. FU_NOT_FOUND) when the system does not know the name; the
// connection stays open then.
const FunctionDesc* FetchFunction(Connection& connection, std::u16string_view name,
                                  Failure& failure);
const TypeDesc* FetchType(Connection& connection, std::u16string_view name, Failure& failure);

}  // namespace nwsim
