// The collector's heap: its hundreds of threads would each get an allocator
// arena of their own (up to eight a core), and the quarter hour's big
// dialog-step tables, freed in one arena and allocated anew in another,
// leave each arena holding pages the next quarter hour does not reuse: the
// resting memory steps up at every quarter hour. Two arenas serve the
// collector's mostly waiting threads and keep the level flat.
//
// Thread rules: BoundHeapArenas at the start of main, before any thread
// exists; ReleaseFreeHeap from any thread.
#pragma once

namespace platform {

inline constexpr int kCollectorHeapArenas = 2;

// Bounds the arenas unless the operator chose already (MALLOC_ARENA_MAX or
// GLIBC_TUNABLES in the environment).
void BoundHeapArenas();

// Hands the free pages inside the arenas back to the system. Each minute's
// captures allocate and free some megabytes among blocks that live on; the
// allocator gives back only the top of a heap by itself, so the pages they
// touched elsewhere would stay resident and the resting memory creep up.
void ReleaseFreeHeap();

}  // namespace platform
