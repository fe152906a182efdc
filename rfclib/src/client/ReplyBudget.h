// The bytes that replies may take while they arrive: a bound for one reply
// and one for all replies of the process at once, so that a partner that
// never ends its reply, or many at once, cannot take the machine's memory.
//
// A connection reserves the bytes of each frame of a reply before it reads
// the frame's payload and gives them all back when the reply ends.
//
// Thread rules: Reserve and Release may be called from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rfclib {

class ReplyBudget {
  public:
    static ReplyBudget& Instance();

    // Takes bytes from the process's budget; false (nothing taken) when
    // they would pass it.
    bool Reserve(uint64_t bytes, uint64_t limit);
    void Release(uint64_t bytes);
    uint64_t InUse() const;
};

}  // namespace rfclib
