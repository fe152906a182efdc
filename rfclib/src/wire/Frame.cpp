#include "wire/Frame.h"

#include <cstring>

#include "wire/ByteCodec.h"

namespace rfcwire {

bool IsKnownMessageType(uint16_t type) {
    return type >= static_cast<uint16_t>(MessageType::kOpenRequest) &&
           type <= static_cast<uint16_t>(MessageType::kTableRows);
}

FrameError DecodeFrameHeader(std::span<const uint8_t> header, uint32_t maxPayload,
                             FrameHeader& out) {
    if (header.size() < kFrameHeaderSize) return FrameError::kTruncated;
    if (std::memcmp(header.data(), kFrameMagic, sizeof kFrameMagic) != 0)
        return FrameError::kBadMagic;
    ByteReader reader(header.subspan(4, kFrameHeaderSize - 4));
    uint16_t type = 0;
    reader.U16(out.version);
    reader.U16(type);
    reader.U32(out.length);
    if (out.version != kProtocolVersion) return FrameError::kBadVersion;
    if (!IsKnownMessageType(type)) return FrameError::kUnknownType;
    out.type = static_cast<MessageType>(type);
    if (out.length > maxPayload) return FrameError::kTooLarge;
    return FrameError::kNone;
}

std::string FrameErrorText(FrameError error, const FrameHeader& header) {
    switch (error) {
        case FrameError::kNone:
            return "no error";
        case FrameError::kTruncated:
            return "frame header truncated";
        case FrameError::kBadMagic:
            return "frame does not start with the protocol mark";
        case FrameError::kBadVersion:
            return "protocol version " + std::to_string(header.version) + " not supported (" +
                   std::to_string(kProtocolVersion) + " expected)";
        case FrameError::kUnknownType:
            return "unknown message type in frame";
        case FrameError::kTooLarge:
            return "frame of " + std::to_string(header.length) + " bytes exceeds the size limit";
    }
    return "bad frame";
}

std::vector<uint8_t> EncodeFrame(MessageType type, std::span<const uint8_t> payload) {
    ByteWriter writer;
    writer.Raw(kFrameMagic);
    writer.U16(kProtocolVersion);
    writer.U16(static_cast<uint16_t>(type));
    writer.U32(static_cast<uint32_t>(payload.size()));
    writer.Raw(payload);
    return writer.Take();
}

}  // namespace rfcwire
