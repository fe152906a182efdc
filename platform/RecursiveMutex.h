// The re-entrant lock of an RFC connection and of a call object: its owner
// thread may take it again (the steps of an open run inside the open's lock).
#pragma once

#include <mutex>

namespace platform {

using RecursiveMutex = std::recursive_mutex;
using RecursiveLock = std::unique_lock<std::recursive_mutex>;

}  // namespace platform
