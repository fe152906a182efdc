// The process-wide table of open handles. Handles count up from 1 and are
// never reused, so a stale handle is reported as invalid, not confused with
// a newer connection.
//
// Thread rules: one mutex guards the map and the counter; connections are
// shared_ptr so a handle closed by one thread stays alive for another
// thread's call in progress.
#pragma once

#include <memory>

#include "client/ClientConnection.h"
#include "rfc32u.h"

namespace rfclib {

RFC_HANDLE RegisterConnection(std::shared_ptr<ClientConnection> connection);
std::shared_ptr<ClientConnection> FindConnection(RFC_HANDLE handle);
std::shared_ptr<ClientConnection> RemoveConnection(RFC_HANDLE handle);

}  // namespace rfclib
