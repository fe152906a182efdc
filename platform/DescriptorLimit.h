// The process's limit of open descriptors. systemd and most shells give a
// soft limit of 1,024 under a far higher hard one; a collector of hundreds
// of servers, with their RFC connections and files and its scrapers, needs
// more, and must never starve its files for want of descriptors.
//
// Thread rules: call at start-up; setrlimit applies to the whole process.
#pragma once

#include <cstdint>

namespace platform {

// Raises the soft limit to the hard limit; returns the soft limit in force
// afterwards (the old one when the raise is refused).
uint64_t RaiseDescriptorLimit();

}  // namespace platform
