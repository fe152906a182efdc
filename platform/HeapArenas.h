// The collector's heap: its hundreds of threads would each get an allocator
// arena of their own (up to eight a core), and the quarter hour's big
// dialog-step tables, freed in one arena and allocated anew in another,
// leave each arena holding pages the next quarter hour does not reuse: the
// resting memory steps up at every quarter hour. Two arenas serve the
// collector's mostly waiting threads and keep the level flat.
//
// Thread rules: call at the start of main, before any thread exists.
#pragma once

namespace platform {

inline constexpr int kCollectorHeapArenas = 2;

// Bounds the arenas unless the operator chose already (MALLOC_ARENA_MAX or
// GLIBC_TUNABLES in the environment).
void BoundHeapArenas();

}  // namespace platform
