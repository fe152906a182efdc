#include "wire/MessageCodec.h"

#include "wire/ByteCodec.h"

namespace rfcwire {
namespace {

// --- writers -----------------------------------------------------------------

void Put(ByteWriter& w, const ErrorRecord& e) {
    w.I32(e.group);
    w.Text(e.key);
    w.Text(e.message);
}

void Put(ByteWriter& w, const Value& v) {
    w.Text(v.name);
    w.U32(v.type);
    w.Text(v.structure);
    w.Bytes(v.bytes);
}

void Put(ByteWriter& w, const TableData& t) {
    w.Text(t.name);
    w.U32(t.type);
    w.Text(t.structure);
    w.U32(t.rowLength);
    w.U32(t.rowCount);
    w.Bytes(t.rows);
}

void Put(ByteWriter& w, const RowBlock& b) {
    w.U32(b.rowLength);
    w.U32(b.rowCount);
    w.Bytes(b.rows);
}

template <typename T>
void PutList(ByteWriter& w, const std::vector<T>& items) {
    w.U32(static_cast<uint32_t>(items.size()));
    for (const T& item : items) Put(w, item);
}

std::vector<uint8_t> Frame(MessageType type, ByteWriter& w) {
    const std::vector<uint8_t> payload = w.Take();
    return EncodeFrame(type, payload);
}

// --- readers -----------------------------------------------------------------

// Smallest encodings, used to bound list counts by the bytes left.
constexpr size_t kMinValueBytes = 4 + 4 + 4 + 4;
constexpr size_t kMinTableBytes = 4 + 4 + 4 + 4 + 4 + 4;

bool Get(ByteReader& r, ErrorRecord& e) {
    return r.I32(e.group) && r.Text(e.key, kMaxNameUnits) && r.Text(e.message, kMaxTextUnits);
}

bool Get(ByteReader& r, Value& v) {
    return r.Text(v.name, kMaxNameUnits) && r.U32(v.type) && r.Text(v.structure, kMaxNameUnits) &&
           r.Bytes(v.bytes, r.Remaining());
}

// Rows must be exactly count * length bytes; a row length of 0 carries no rows.
bool RowsConsistent(uint32_t rowLength, uint32_t rowCount, size_t bytes) {
    if (rowLength == 0) return rowCount == 0 && bytes == 0;
    return bytes % rowLength == 0 && bytes / rowLength == rowCount;
}

bool Get(ByteReader& r, TableData& t) {
    return r.Text(t.name, kMaxNameUnits) && r.U32(t.type) && r.Text(t.structure, kMaxNameUnits) &&
           r.U32(t.rowLength) && r.U32(t.rowCount) && r.Bytes(t.rows, r.Remaining()) &&
           RowsConsistent(t.rowLength, t.rowCount, t.rows.size());
}

bool Get(ByteReader& r, RowBlock& b) {
    return r.U32(b.rowLength) && r.U32(b.rowCount) && r.Bytes(b.rows, r.Remaining()) &&
           RowsConsistent(b.rowLength, b.rowCount, b.rows.size());
}

template <typename T>
bool GetList(ByteReader& r, std::vector<T>& items, size_t minBytes) {
    uint32_t count = 0;
    if (!r.Count(count, minBytes) || count > kMaxListEntries) return false;
    items.resize(count);
    for (T& item : items)
        if (!Get(r, item)) return false;
    return true;
}

bool GetBool(ByteReader& r, bool& value) {
    uint8_t raw = 0;
    if (!r.U8(raw) || raw > 1) return false;
    value = raw == 1;
    return true;
}

bool Get(ByteReader& r, OpenRequest& m) {
    uint32_t port = 0;
    bool ok = r.Text(m.targetHost, kMaxTextUnits) && r.U32(port) && port <= 65535 &&
              r.Text(m.route, kMaxTextUnits) && r.U8(m.systemNumber) && m.systemNumber <= 99 &&
              r.Text(m.client, kMaxTextUnits) && r.Text(m.user, kMaxTextUnits) &&
              r.Text(m.password, kMaxTextUnits) && r.Text(m.language, kMaxTextUnits) &&
              r.Text(m.ownHost, kMaxTextUnits);
    m.targetPort = static_cast<uint16_t>(port);
    return ok;
}

bool Get(ByteReader& r, SystemAttributes& a) {
    return r.Text(a.systemId, kMaxTextUnits) && r.Text(a.partnerHost, kMaxTextUnits) &&
           r.Text(a.systemNumber, kMaxTextUnits) && r.Text(a.partnerRelease, kMaxTextUnits) &&
           r.Text(a.kernelRelease, kMaxTextUnits) && r.Text(a.partnerCodepage, kMaxTextUnits) &&
           r.Text(a.language, kMaxTextUnits) && r.Text(a.isoLanguage, kMaxTextUnits) &&
           r.U8(a.unicode) && a.unicode <= 1;
}

bool Get(ByteReader& r, OpenReply& m) {
    if (!GetBool(r, m.accepted)) return false;
    return m.accepted ? Get(r, m.attributes) : Get(r, m.error);
}

bool Get(ByteReader& r, CallRequest& m) {
    return r.Text(m.function, kMaxNameUnits) && GetList(r, m.exporting, kMinValueBytes) &&
           GetList(r, m.tables, kMinTableBytes);
}

bool Get(ByteReader& r, CallReply& m) {
    uint8_t outcome = 0;
    if (!r.U8(outcome) || outcome > static_cast<uint8_t>(CallOutcome::kSystemFailure)) return false;
    m.outcome = static_cast<CallOutcome>(outcome);
    return Get(r, m.error) && GetList(r, m.importing, kMinValueBytes) &&
           GetList(r, m.tables, kMinTableBytes);
}

bool Get(ByteReader& r, InterfaceRequest& m) {
    return r.Text(m.function, kMaxNameUnits);
}

bool Get(ByteReader& r, InterfaceReply& m) {
    if (!GetBool(r, m.found)) return false;
    return m.found ? Get(r, m.params) : Get(r, m.error);
}

bool Get(ByteReader& r, StructureRequest& m) {
    return r.Text(m.name, kMaxNameUnits);
}

bool Get(ByteReader& r, StructureReply& m) {
    if (!GetBool(r, m.found)) return false;
    if (!m.found) return Get(r, m.error);
    return r.U32(m.lengthB1) && r.U32(m.lengthB2) && r.U32(m.lengthB4) && r.U32(m.fieldCount) &&
           r.U32(m.alignment) && Get(r, m.fields);
}

bool Get(ByteReader&, CloseRequest&) {
    return true;
}

bool Get(ByteReader& r, ErrorReply& m) {
    return Get(r, m.error);
}

bool Get(ByteReader& r, TableRows& m) {
    return Get(r, m.table);
}

template <typename Message, typename Variant>
bool DecodeAs(std::span<const uint8_t> payload, Variant& out, std::string& error) {
    Message message;
    ByteReader reader(payload);
    if (!Get(reader, message)) {
        error = "malformed message: a value runs past the payload or over a limit";
        return false;
    }
    if (!reader.AtEnd()) {
        error = "malformed message: stray bytes after the last value";
        return false;
    }
    out = std::move(message);
    return true;
}

template <typename Variant, typename Decoder>
bool DecodeFrame(std::span<const uint8_t> frame, uint32_t maxPayload, Variant& out,
                 std::string& error, Decoder decode) {
    FrameHeader header;
    const FrameError frameError = DecodeFrameHeader(frame, maxPayload, header);
    if (frameError != FrameError::kNone) {
        error = FrameErrorText(frameError, header);
        return false;
    }
    const auto payload = frame.subspan(kFrameHeaderSize);
    if (payload.size() != header.length) {
        error = "frame length does not match its header";
        return false;
    }
    return decode(header.type, payload, out, error);
}

}  // namespace

std::vector<uint8_t> Encode(const OpenRequest& m) {
    ByteWriter w;
    w.Text(m.targetHost);
    w.U32(m.targetPort);
    w.Text(m.route);
    w.U8(m.systemNumber);
    w.Text(m.client);
    w.Text(m.user);
    w.Text(m.password);
    w.Text(m.language);
    w.Text(m.ownHost);
    return Frame(MessageType::kOpenRequest, w);
}

std::vector<uint8_t> Encode(const CallRequest& m) {
    ByteWriter w;
    w.Text(m.function);
    PutList(w, m.exporting);
    PutList(w, m.tables);
    return Frame(MessageType::kCallRequest, w);
}

std::vector<uint8_t> Encode(const InterfaceRequest& m) {
    ByteWriter w;
    w.Text(m.function);
    return Frame(MessageType::kInterfaceRequest, w);
}

std::vector<uint8_t> Encode(const StructureRequest& m) {
    ByteWriter w;
    w.Text(m.name);
    return Frame(MessageType::kStructureRequest, w);
}

std::vector<uint8_t> Encode(const CloseRequest&) {
    ByteWriter w;
    return Frame(MessageType::kCloseRequest, w);
}

std::vector<uint8_t> Encode(const ClientMessage& m) {
    return std::visit([](const auto& message) { return Encode(message); }, m);
}

std::vector<uint8_t> Encode(const OpenReply& m) {
    ByteWriter w;
    w.U8(m.accepted ? 1 : 0);
    if (m.accepted) {
        const SystemAttributes& a = m.attributes;
        w.Text(a.systemId);
        w.Text(a.partnerHost);
        w.Text(a.systemNumber);
        w.Text(a.partnerRelease);
        w.Text(a.kernelRelease);
        w.Text(a.partnerCodepage);
        w.Text(a.language);
        w.Text(a.isoLanguage);
        w.U8(a.unicode);
    } else {
        Put(w, m.error);
    }
    return Frame(MessageType::kOpenReply, w);
}

std::vector<uint8_t> Encode(const CallReply& m) {
    ByteWriter w;
    w.U8(static_cast<uint8_t>(m.outcome));
    Put(w, m.error);
    PutList(w, m.importing);
    PutList(w, m.tables);
    return Frame(MessageType::kCallReply, w);
}

std::vector<uint8_t> Encode(const InterfaceReply& m) {
    ByteWriter w;
    w.U8(m.found ? 1 : 0);
    if (m.found)
        Put(w, m.params);
    else
        Put(w, m.error);
    return Frame(MessageType::kInterfaceReply, w);
}

std::vector<uint8_t> Encode(const StructureReply& m) {
    ByteWriter w;
    w.U8(m.found ? 1 : 0);
    if (m.found) {
        w.U32(m.lengthB1);
        w.U32(m.lengthB2);
        w.U32(m.lengthB4);
        w.U32(m.fieldCount);
        w.U32(m.alignment);
        Put(w, m.fields);
    } else {
        Put(w, m.error);
    }
    return Frame(MessageType::kStructureReply, w);
}

std::vector<uint8_t> Encode(const ErrorReply& m) {
    ByteWriter w;
    Put(w, m.error);
    return Frame(MessageType::kErrorReply, w);
}

std::vector<uint8_t> Encode(const TableRows& m) {
    return EncodeTableRows(m.table);
}

std::vector<uint8_t> EncodeTableRows(const TableData& rows) {
    ByteWriter w;
    Put(w, rows);
    return Frame(MessageType::kTableRows, w);
}

std::vector<uint8_t> Encode(const ServerMessage& m) {
    return std::visit([](const auto& message) { return Encode(message); }, m);
}

bool DecodeClientMessage(MessageType type, std::span<const uint8_t> payload, ClientMessage& out,
                         std::string& error) {
    switch (type) {
        case MessageType::kOpenRequest:
            return DecodeAs<OpenRequest>(payload, out, error);
        case MessageType::kCallRequest:
            return DecodeAs<CallRequest>(payload, out, error);
        case MessageType::kInterfaceRequest:
            return DecodeAs<InterfaceRequest>(payload, out, error);
        case MessageType::kStructureRequest:
            return DecodeAs<StructureRequest>(payload, out, error);
        case MessageType::kCloseRequest:
            return DecodeAs<CloseRequest>(payload, out, error);
        default:
            break;
    }
    error = "unexpected message type " + std::to_string(static_cast<int>(type)) + " from client";
    return false;
}

bool DecodeServerMessage(MessageType type, std::span<const uint8_t> payload, ServerMessage& out,
                         std::string& error) {
    switch (type) {
        case MessageType::kOpenReply:
            return DecodeAs<OpenReply>(payload, out, error);
        case MessageType::kCallReply:
            return DecodeAs<CallReply>(payload, out, error);
        case MessageType::kInterfaceReply:
            return DecodeAs<InterfaceReply>(payload, out, error);
        case MessageType::kStructureReply:
            return DecodeAs<StructureReply>(payload, out, error);
        case MessageType::kErrorReply:
            return DecodeAs<ErrorReply>(payload, out, error);
        case MessageType::kTableRows:
            return DecodeAs<TableRows>(payload, out, error);
        default:
            break;
    }
    error = "unexpected message type " + std::to_string(static_cast<int>(type)) + " from server";
    return false;
}

bool DecodeClientFrame(std::span<const uint8_t> frame, uint32_t maxPayload, ClientMessage& out,
                       std::string& error) {
    return DecodeFrame(frame, maxPayload, out, error, DecodeClientMessage);
}

bool DecodeServerFrame(std::span<const uint8_t> frame, uint32_t maxPayload, ServerMessage& out,
                       std::string& error) {
    return DecodeFrame(frame, maxPayload, out, error, DecodeServerMessage);
}

}  // namespace rfcwire
