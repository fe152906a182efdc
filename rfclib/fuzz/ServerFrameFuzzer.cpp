// Fuzzes what the server decodes: frames from a client. Whatever decodes
// must encode back to the same bytes.
#include <cstdlib>

#include "FuzzFrame.h"
#include "wire/MessageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> frame = rfcfuzz::AsFrame(data, size);
    rfcwire::ClientMessage message;
    std::string error;
    if (rfcwire::DecodeClientFrame(frame, 1u << 20, message, error)) {
        if (rfcwire::Encode(message) != frame) std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
