// The messages of the wire protocol, as plain values. MessageCodec.h turns
// them into frame payloads and back.
//
// Values travel as the bytes the caller's buffers hold: character-like types
// as UTF-16LE, integers and floats little endian, structures and table rows
// in the 2-byte (UTF-16) layout.
//
// Thread rules: plain values.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace rfcwire {

// Limits every decoder enforces.
inline constexpr size_t kMaxNameUnits = 256;      // module, parameter, structure names
inline constexpr size_t kMaxTextUnits = 4096;     // logon values, error texts, routes
inline constexpr size_t kMaxListEntries = 65536;  // parameters or tables in one message

struct ErrorRecord {
    int32_t group = 0;
    std::u16string key;
    std::u16string message;
};

struct OpenRequest {
    std::u16string targetHost;  // application server as the client named it
    uint16_t targetPort = 0;
    std::u16string route;  // router hops still to take ("" when direct)
    uint8_t systemNumber = 0;
    std::u16string client;
    std::u16string user;
    std::u16string password;
    std::u16string language;
    std::u16string ownHost;
};

struct SystemAttributes {
    std::u16string systemId;
    std::u16string partnerHost;
    std::u16string systemNumber;
    std::u16string partnerRelease;  // may be empty
    std::u16string kernelRelease;
    std::u16string partnerCodepage;
    std::u16string language;  // one-character logon language
    std::u16string isoLanguage;
    uint8_t unicode = 1;
};

struct OpenReply {
    bool accepted = false;
    ErrorRecord error;            // when not accepted
    SystemAttributes attributes;  // when accepted
};

struct Value {
    std::u16string name;
    uint32_t type = 0;  // RFC type code; structures carry their name
    std::u16string structure;
    std::vector<uint8_t> bytes;
};

struct TableData {
    std::u16string name;
    uint32_t type = 0;
    std::u16string structure;
    uint32_t rowLength = 0;
    uint32_t rowCount = 0;
    std::vector<uint8_t> rows;  // rowCount * rowLength bytes
};

struct CallRequest {
    std::u16string function;
    std::vector<Value> exporting;
    std::vector<TableData> tables;  // the only tables the module transfers back
};

enum class CallOutcome : uint8_t {
    kDone = 0,
    kException = 1,      // error.key = exception name
    kSystemFailure = 2,  // e.g. function module unknown, module aborted
};

// A reply's tables may come ahead of it in pieces (TableRows): the rows of
// a table are those of its pieces, in order, followed by those the reply
// carries for it.
struct CallReply {
    CallOutcome outcome = CallOutcome::kDone;
    ErrorRecord error;
    std::vector<Value> importing;  // the module's export parameters
    std::vector<TableData> tables;
};

// Rows of one table of the call being answered.
struct TableRows {
    TableData table;
};

struct InterfaceRequest {
    std::u16string function;
};

// Rows of a fixed-length record table (PARAMS or FIELDS).
struct RowBlock {
    uint32_t rowLength = 0;
    uint32_t rowCount = 0;
    std::vector<uint8_t> rows;
};

struct InterfaceReply {
    bool found = false;
    ErrorRecord error;
    RowBlock params;
};

struct StructureRequest {
    std::u16string name;
};

struct StructureReply {
    bool found = false;
    ErrorRecord error;
    uint32_t lengthB1 = 0, lengthB2 = 0, lengthB4 = 0, fieldCount = 0, alignment = 0;
    RowBlock fields;
};

struct CloseRequest {};

struct ErrorReply {
    ErrorRecord error;
};

using ClientMessage =
    std::variant<OpenRequest, CallRequest, InterfaceRequest, StructureRequest, CloseRequest>;
using ServerMessage =
    std::variant<OpenReply, CallReply, InterfaceReply, StructureReply, ErrorReply, TableRows>;

}  // namespace rfcwire
