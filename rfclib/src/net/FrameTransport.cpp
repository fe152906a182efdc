#include "net/FrameTransport.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace rfcnet {

ReceiveStatus ReceiveFrame(int fd, const ReceiveLimits& limits, int wakeFd, ReceivedFrame& out,
                           std::string& error) {
    switch (WaitReadable(fd, limits.idleTimeoutMs, wakeFd)) {
        case IoStatus::kOk:
            break;
        case IoStatus::kTimedOut:
            return ReceiveStatus::kTimedOut;
        case IoStatus::kWoken:
            return ReceiveStatus::kWoken;
        default:
            error = "wait for data failed";
            return ReceiveStatus::kIoError;
    }
    // One time limit for the whole frame, however many reads it takes.
    const bool limited = limits.frameTimeoutMs >= 0;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(limited ? limits.frameTimeoutMs : 0);
    const auto remainingMs = [&] {
        if (!limited) return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<int64_t>(0, left.count()));
    };
    uint8_t header[rfcwire::kFrameHeaderSize];
    IoStatus status = ReadExact(fd, header, remainingMs(), wakeFd, error);
    if (status == IoStatus::kClosed) return ReceiveStatus::kClosed;
    if (status == IoStatus::kWoken) return ReceiveStatus::kWoken;
    if (status == IoStatus::kTimedOut) {
        error = "frame header incomplete within " + std::to_string(limits.frameTimeoutMs) + " ms";
        return ReceiveStatus::kMalformed;
    }
    if (status != IoStatus::kOk) return ReceiveStatus::kIoError;

    rfcwire::FrameHeader decoded;
    const rfcwire::FrameError frameError =
        rfcwire::DecodeFrameHeader(header, limits.maxPayload, decoded);
    if (frameError != rfcwire::FrameError::kNone) {
        error = rfcwire::FrameErrorText(frameError, decoded);
        return ReceiveStatus::kMalformed;
    }
    if (limits.admit && !limits.admit(decoded.length, error)) return ReceiveStatus::kRefused;
    out.type = decoded.type;
    out.payload.clear();
    // Grow with the data actually received, so a header that claims a large
    // payload costs memory only when the bytes come.
    constexpr size_t kChunk = 1u << 20;
    status = IoStatus::kOk;
    while (status == IoStatus::kOk && out.payload.size() < decoded.length) {
        const size_t done = out.payload.size();
        const size_t step = std::min<size_t>(kChunk, decoded.length - done);
        out.payload.resize(done + step);
        status = ReadExact(fd, std::span<uint8_t>(out.payload).subspan(done), remainingMs(), wakeFd,
                           error);
    }
    switch (status) {
        case IoStatus::kOk:
            return ReceiveStatus::kOk;
        case IoStatus::kWoken:
            return ReceiveStatus::kWoken;
        case IoStatus::kClosed:
            error = "connection closed in the middle of a frame";
            break;
        case IoStatus::kTimedOut:
            error = "frame incomplete within " + std::to_string(limits.frameTimeoutMs) + " ms";
            break;
        case IoStatus::kError:
            return ReceiveStatus::kIoError;
    }
    return ReceiveStatus::kMalformed;
}

IoStatus SendFrame(int fd, const std::vector<uint8_t>& frame, int timeoutMs, std::string& error) {
    return WriteAll(fd, frame, timeoutMs, error);
}

}  // namespace rfcnet
