// Encoding and decoding of protocol messages: pure functions, bytes in,
// values out. Encode* return a complete frame (Frame.h); Decode* take the
// header's type and the payload and fail with a reason on anything that is
// truncated, over a limit, inconsistent or followed by stray bytes.
//
// Thread rules: pure functions.
#pragma once

#include <span>
#include <string>

#include "wire/Frame.h"
#include "wire/Messages.h"

namespace rfcwire {

std::vector<uint8_t> Encode(const OpenRequest& message);
std::vector<uint8_t> Encode(const CallRequest& message);
std::vector<uint8_t> Encode(const InterfaceRequest& message);
std::vector<uint8_t> Encode(const StructureRequest& message);
std::vector<uint8_t> Encode(const CloseRequest& message);
std::vector<uint8_t> Encode(const ClientMessage& message);

std::vector<uint8_t> Encode(const OpenReply& message);
std::vector<uint8_t> Encode(const CallReply& message);
std::vector<uint8_t> Encode(const InterfaceReply& message);
std::vector<uint8_t> Encode(const StructureReply& message);
std::vector<uint8_t> Encode(const ErrorReply& message);
std::vector<uint8_t> Encode(const TableRows& message);
// The TableRows frame of rows, without copying them into a message first.
std::vector<uint8_t> EncodeTableRows(const TableData& rows);
std::vector<uint8_t> Encode(const ServerMessage& message);

// What a server accepts: the request types only.
bool DecodeClientMessage(MessageType type, std::span<const uint8_t> payload, ClientMessage& out,
                         std::string& error);

// What a client accepts: the reply types only.
bool DecodeServerMessage(MessageType type, std::span<const uint8_t> payload, ServerMessage& out,
                         std::string& error);

// A whole frame held in memory: header checks, then the payload decoder.
bool DecodeClientFrame(std::span<const uint8_t> frame, uint32_t maxPayload, ClientMessage& out,
                       std::string& error);
bool DecodeServerFrame(std::span<const uint8_t> frame, uint32_t maxPayload, ServerMessage& out,
                       std::string& error);

}  // namespace rfcwire
