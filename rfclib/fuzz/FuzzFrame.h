// Shared by the frame fuzzers: inputs that do not begin with the protocol
// mark get a valid header put in front (type from the first byte, length of
// the rest), so random bytes reach the payload decoders too.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "wire/Frame.h"

namespace rfcfuzz {

inline std::vector<uint8_t> AsFrame(const uint8_t* data, size_t size) {
    std::vector<uint8_t> input(data, data + size);
    if (size >= 4 && std::memcmp(data, rfcwire::kFrameMagic, 4) == 0) return input;
    if (size == 0) return input;
    const auto type = static_cast<rfcwire::MessageType>(1 + data[0] % 10);
    return rfcwire::EncodeFrame(type, std::vector<uint8_t>(data + 1, data + size));
}

}  // namespace rfcfuzz
