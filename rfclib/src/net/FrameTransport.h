// Sending and receiving whole frames over a socket. The receiver reads the
// header, refuses a frame over its size limit before reading the payload, and
// needs the whole frame to arrive within the frame time-out once its first
// byte is there, so a peer that stops mid-frame cannot hold it for ever.
//
// Thread rules: functions on a descriptor owned by the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/Socket.h"
#include "wire/Frame.h"

namespace rfcnet {

struct ReceivedFrame {
    rfcwire::MessageType type = rfcwire::MessageType::kErrorReply;
    std::vector<uint8_t> payload;
};

enum class ReceiveStatus {
    kOk,
    kClosed,    // the peer closed before a frame began
    kTimedOut,  // nothing arrived within the idle time-out
    kWoken,
    kMalformed,  // bad header, over the limit, or the peer stopped mid-frame
    kIoError,
    kRefused,  // admit refused the payload; nothing of it was read
};

struct ReceiveLimits {
    uint32_t maxPayload = rfcwire::kDefaultMaxPayload;
    int idleTimeoutMs = -1;      // wait for the first byte; < 0 without limit
    int frameTimeoutMs = 10000;  // the whole frame, from its first byte
    // Asked with the payload's length before it is read; false (with the
    // reason in error) refuses the frame.
    std::function<bool(uint32_t length, std::string& error)> admit;
};

ReceiveStatus ReceiveFrame(int fd, const ReceiveLimits& limits, int wakeFd, ReceivedFrame& out,
                           std::string& error);

IoStatus SendFrame(int fd, const std::vector<uint8_t>& frame, int timeoutMs, std::string& error);

}  // namespace rfcnet
