#include "platform/HeapArenas.h"

#include <malloc.h>

#include <cstdlib>

namespace platform {

void BoundHeapArenas() {
    if (std::getenv("MALLOC_ARENA_MAX") != nullptr || std::getenv("GLIBC_TUNABLES") != nullptr)
        return;
    ::mallopt(M_ARENA_MAX, kCollectorHeapArenas);
}

void ReleaseFreeHeap() {
    ::malloc_trim(0);
}

}  // namespace platform
