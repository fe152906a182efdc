// One function call over our wire protocol: the active imports (and
// changing parameters) and the active tables go to the partner in its
// layout; the reply's exports and tables come back into the container. A
// table the reply names is replaced by its rows; the others keep theirs.
//
//   module exception  -> RFC_ABAP_EXCEPTION, key = its name; connection open
//   system failure    -> RFC_ABAP_RUNTIME_FAILURE; connection closed
//   lost, time-out    -> RFC_COMMUNICATION_FAILURE; connection closed
//   RfcCancel         -> RFC_CANCELED; connection closed
//
// Thread rules: called with the connection's CallMutex held.
#pragma once

#include "Connection.h"
#include "Containers.h"

namespace nwsim {

bool Invoke(Connection& connection, FunctionContainer& function, Failure& failure);
bool Ping(Connection& connection, Failure& failure);

}  // namespace nwsim
