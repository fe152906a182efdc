// Opening a record file for appending so that what follows starts on a
// record boundary: a last record left incomplete (a crash of the machine, a
// full disk under an older writer) is cut back first, and the writer says so
// in its log with TailCutMessage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/File.h"

// Opens path in append mode; returns the bytes cut from its end (0: none).
int64_t OpenForRecords(platform::File& file, const std::u16string& path, size_t recordSize);

// "removed an incomplete last record of N bytes from PATH."
std::u16string TailCutMessage(const std::u16string& path, int64_t bytes);
