// The frame of the wire protocol. Every message travels as one frame:
//
//   offset 0  4 bytes  magic "QRFC"
//   offset 4  u16      protocol version (kProtocolVersion)
//   offset 6  u16      message type (MessageType)
//   offset 8  u32      payload length in bytes
//   offset 12          payload (MessageCodec.h)
//
// All integers little endian. A frame whose payload exceeds the receiver's
// limit is refused before any of it is read.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rfcwire {

inline constexpr uint8_t kFrameMagic[4] = {'Q', 'R', 'F', 'C'};
inline constexpr uint16_t kProtocolVersion = 1;
inline constexpr size_t kFrameHeaderSize = 12;
// The limit of one frame. A reply has no limit of its own: its tables travel
// in pieces of about kTablePieceBytes of rows (kTableRows frames ahead of
// the kCallReply), so only a single frame is bounded.
inline constexpr uint32_t kDefaultMaxPayload = 64u * 1024u * 1024u;
inline constexpr size_t kTablePieceBytes = size_t{1} << 20;

enum class MessageType : uint16_t {
    kOpenRequest = 1,       // client: route, logon data
    kOpenReply = 2,         // server: attributes or logon error
    kCallRequest = 3,       // client: function module, exporting values, tables
    kCallReply = 4,         // server: importing values, tables, exception or failure
    kInterfaceRequest = 5,  // client: function module name
    kInterfaceReply = 6,    // server: PARAMS rows
    kStructureRequest = 7,  // client: structure name
    kStructureReply = 8,    // server: FIELDS rows and record lengths
    kCloseRequest = 9,      // client: logoff, no reply
    kErrorReply = 10,       // server: protocol failure; the server closes afterwards
    kTableRows = 11,        // server: a piece of a table's rows, ahead of its kCallReply
};

bool IsKnownMessageType(uint16_t type);

struct FrameHeader {
    uint16_t version = 0;
    MessageType type = MessageType::kErrorReply;
    uint32_t length = 0;
};

enum class FrameError {
    kNone,
    kTruncated,  // fewer than kFrameHeaderSize bytes
    kBadMagic,
    kBadVersion,
    kUnknownType,
    kTooLarge,  // payload length over the limit
};

// Decodes the first kFrameHeaderSize bytes of header.
FrameError DecodeFrameHeader(std::span<const uint8_t> header, uint32_t maxPayload,
                             FrameHeader& out);

std::string FrameErrorText(FrameError error, const FrameHeader& header);

// Header followed by payload.
std::vector<uint8_t> EncodeFrame(MessageType type, std::span<const uint8_t> payload);

}  // namespace rfcwire
