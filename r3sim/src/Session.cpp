#include "Session.h"

#include <poll.h>

#include <cerrno>

#include "MetadataRows.h"
#include "net/FrameTransport.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"
#include "wire/MessageCodec.h"

namespace r3sim {
namespace {

constexpr int kSendTimeoutMs = 10000;
constexpr int kDefaultTrickleMs = 100;

rfcwire::ErrorRecord Error(int group, std::u16string key, const std::string& message) {
    return {group, std::move(key), platform::FromUtf8(message)};
}

}  // namespace

Session::Session(SystemShared& shared, const ServerSpec& server, rfcnet::Socket socket)
    : shared_(shared), server_(server), socket_(std::move(socket)) {}

void Session::Abort() {
    socket_.ShutdownBoth();
}

void Session::Run() {
    shared_.counters.CountConnection();
    for (;;) {
        rfcnet::ReceiveLimits limits;
        limits.maxPayload = shared_.options.maxPayload;
        limits.frameTimeoutMs = shared_.options.frameTimeoutMs;
        // A client must log on promptly; after that it may stay idle.
        limits.idleTimeoutMs = logon_ ? -1 : shared_.options.frameTimeoutMs;
        rfcnet::ReceivedFrame frame;
        std::string reason;
        const rfcnet::ReceiveStatus status =
            rfcnet::ReceiveFrame(socket_.Fd(), limits, shared_.stop->Fd(), frame, reason);
        if (status == rfcnet::ReceiveStatus::kMalformed) {
            ProtocolError(reason);
            return;
        }
        if (status != rfcnet::ReceiveStatus::kOk) return;
        rfcwire::ClientMessage message;
        if (!rfcwire::DecodeClientMessage(frame.type, frame.payload, message, reason)) {
            ProtocolError(reason);
            return;
        }
        if (!Serve(message)) return;
    }
}

bool Session::Serve(const rfcwire::ClientMessage& message) {
    // A stopped instance answers nothing: the connection just ends, whether
    // or not its server has noticed the clock yet.
    if (!shared_.presence.InServiceNow(server_)) return false;
    if (const auto* open = std::get_if<rfcwire::OpenRequest>(&message)) {
        if (logon_) {
            ProtocolError("second logon on one connection");
            return false;
        }
        LogonResult result = CheckLogon(shared_.scenario, server_, *open);
        shared_.counters.CountLogon(result.accepted);
        rfcwire::OpenReply reply;
        reply.accepted = result.accepted;
        if (result.accepted)
            reply.attributes = AttributesFor(shared_.scenario, server_, result);
        else
            reply.error = result.error;
        if (!Reply(rfcwire::Encode(reply)) || !result.accepted) return false;
        logon_ = std::move(result);
        return true;
    }
    if (std::holds_alternative<rfcwire::CloseRequest>(message)) {
        if (logon_) shared_.counters.CountLogoff();
        return false;
    }
    if (!logon_) {
        ProtocolError("request before logon");
        return false;
    }
    if (const auto* call = std::get_if<rfcwire::CallRequest>(&message)) return ServeCall(*call);
    if (const auto* query = std::get_if<rfcwire::InterfaceRequest>(&message))
        return Reply(rfcwire::Encode(InterfaceOf(platform::ToUtf8(query->function))));
    if (const auto* query = std::get_if<rfcwire::StructureRequest>(&message))
        return ServeStructure(platform::ToUtf8(query->name));
    return false;
}

rfcwire::InterfaceReply Session::InterfaceOf(const std::string& function) const {
    rfcwire::InterfaceReply reply;
    const ModuleEntry* entry = shared_.modules.Find(function);
    if (entry == nullptr || !entry->interface) {
        reply.error = Error(RFC_ERROR_SYSTEM_FAILURE, u"FU_NOT_FOUND",
                            "Interface of function module " + function + " is not available");
        return reply;
    }
    reply.found = true;
    reply.params = ParamsRows(*entry->interface, shared_.modules.Structures());
    return reply;
}

rfcwire::StructureReply Session::StructureOf(const std::string& name) const {
    rfcwire::StructureReply reply;
    const StructureDef* structure = shared_.modules.Structures().Find(name);
    if (structure == nullptr) {
        reply.error = Error(RFC_ERROR_SYSTEM_FAILURE, u"NOT_FOUND",
                            "Structure " + name + " is not active in the dictionary");
        return reply;
    }
    reply.found = true;
    reply.lengthB1 = structure->length[kWidth1];
    reply.lengthB2 = structure->length[kWidth2];
    reply.lengthB4 = structure->length[kWidth4];
    reply.fieldCount = static_cast<uint32_t>(structure->fields.size());
    reply.alignment = structure->alignment;
    reply.fields = FieldsRows(*structure);
    return reply;
}

const FaultSpec* Session::FaultFor(const std::string& module) const {
    for (const FaultSpec& fault : shared_.scenario.faults) {
        if (fault.module != module || (!fault.server.empty() && fault.server != server_.name))
            continue;
        const uint64_t calls = fault.server.empty() ? shared_.counters.Calls(module)
                                                    : shared_.counters.Calls(server_.name, module);
        if (fault.times == 0 || calls <= static_cast<uint64_t>(fault.times)) return &fault;
    }
    return nullptr;
}

const FaultSpec* Session::StructureFaultFor(const std::string& structure, uint64_t query) const {
    for (const FaultSpec& fault : shared_.scenario.faults) {
        if (fault.structure != structure || (!fault.server.empty() && fault.server != server_.name))
            continue;
        if (fault.times == 0 || query <= static_cast<uint64_t>(fault.times)) return &fault;
    }
    return nullptr;
}

bool Session::PlayTransportFault(const FaultSpec& fault, rfcwire::MessageType replyType,
                                 bool& keep) {
    keep = false;
    switch (fault.action) {
        case FaultAction::kDelay:
            keep = Pause(fault.delayMs);
            return keep;
        case FaultAction::kDrop:
            return false;
        case FaultAction::kHang:
            Pause(-1);
            return false;
        case FaultAction::kGarbage: {
            // A reply header with a payload no decoder accepts.
            const std::vector<uint8_t> junk(7, 0xFF);
            keep = Reply(rfcwire::EncodeFrame(replyType, junk));
            return false;
        }
        case FaultAction::kTrickle:
            trickleMs_ = fault.delayMs > 0 ? fault.delayMs : kDefaultTrickleMs;
            return true;
        case FaultAction::kRaise:
        case FaultAction::kFail:
        case FaultAction::kEndless:
            return true;
    }
    return true;
}

bool Session::ReplyWithoutEnd(const rfcwire::CallReply& reply,
                               const std::vector<rfcwire::TableData>& pieces) {
    rfcwire::TableData piece;
    if (!pieces.empty()) {
        piece = pieces.front();
    } else {
        for (const rfcwire::TableData& table : reply.tables)
            if (table.rowCount > 0) piece = table;
    }
    if (piece.rowCount == 0) {  // a module without rows: rows of a table nobody asked for
        piece.name = u"ENDLESS";
        piece.rowLength = 1024;
        piece.rowCount = static_cast<uint32_t>(rfcwire::kTablePieceBytes / piece.rowLength);
        piece.rows.assign(rfcwire::kTablePieceBytes, 0x20);
    }
    const std::vector<uint8_t> frame = rfcwire::EncodeTableRows(piece);
    while (Pause(0) && Reply(frame)) {
    }
    return false;
}

bool Session::ServeStructure(const std::string& name) {
    const uint64_t query = shared_.counters.CountStructureQuery(name);
    trickleMs_ = 0;
    rfcwire::StructureReply reply;
    if (const FaultSpec* fault = StructureFaultFor(name, query)) {
        bool keep = false;
        if (!PlayTransportFault(*fault, rfcwire::MessageType::kStructureReply, keep)) return keep;
        if (fault->action == FaultAction::kRaise || fault->action == FaultAction::kFail) {
            reply.error = Error(
                RFC_ERROR_SYSTEM_FAILURE, u"SYSTEM_FAILURE",
                fault->message.empty() ? "Structure " + name + " is not readable" : fault->message);
            return Reply(rfcwire::Encode(reply));
        }
    }
    return Reply(rfcwire::Encode(StructureOf(name)));
}

bool Session::ServeCall(const rfcwire::CallRequest& request) {
    const std::string module = platform::ToUtf8(request.function);
    shared_.counters.CountCall(server_.name, module);
    rfcwire::CallReply reply;
    const ModuleEntry* entry = shared_.modules.Find(module);
    CallContext call(shared_.scenario, server_, logon_->session, request, reply,
                     entry != nullptr && entry->interface ? &*entry->interface : nullptr,
                     shared_.modules.Structures(), shared_.presence);
    trickleMs_ = 0;
    const FaultSpec* fault = FaultFor(module);
    const bool endless = fault != nullptr && fault->action == FaultAction::kEndless;
    std::vector<rfcwire::TableData> endlessPieces;

    if (fault != nullptr) {
        bool keep = false;
        if (!PlayTransportFault(*fault, rfcwire::MessageType::kCallReply, keep)) return keep;
        if (fault->action == FaultAction::kRaise) call.Raise(fault->exception, fault->message);
        if (fault->action == FaultAction::kFail)
            call.Fail("SYSTEM_FAILURE",
                      fault->message.empty() ? "Module " + module + " terminated" : fault->message);
    }
    // A big table goes in pieces while the module builds it, so neither side
    // holds more than the table and a piece.
    call.SetPieceSink([&](const rfcwire::TableData& piece) {
        if (endless) {
            if (endlessPieces.empty()) endlessPieces.push_back(piece);
            return true;
        }
        shared_.counters.CountRows(module, platform::ToUtf8(piece.name), piece.rowCount);
        return Reply(rfcwire::EncodeTableRows(piece));
    });
    if (!call.Ended()) {
        if (entry == nullptr) {
            call.Fail("FU_NOT_FOUND", "Function module \"" + module + "\" not found");
        } else {
            try {
                entry->handler(call);
            } catch (const std::exception& e) {
                call.Fail("SYSTEM_FAILURE", "Module " + module + " terminated: " + e.what());
            }
        }
    }
    if (call.PiecesFailed()) return false;
    if (endless) return ReplyWithoutEnd(reply, endlessPieces);
    for (const rfcwire::TableData& table : reply.tables)
        shared_.counters.CountRows(module, platform::ToUtf8(table.name), table.rowCount);
    return Reply(rfcwire::Encode(reply));
}

bool Session::Reply(const std::vector<uint8_t>& frame) {
    std::string ignored;
    if (trickleMs_ <= 0)
        return rfcnet::SendFrame(socket_.Fd(), frame, kSendTimeoutMs, ignored) ==
               rfcnet::IoStatus::kOk;
    for (const uint8_t& byte : frame) {
        if (rfcnet::WriteAll(socket_.Fd(), std::span<const uint8_t>(&byte, 1), kSendTimeoutMs,
                             ignored) != rfcnet::IoStatus::kOk ||
            !Pause(trickleMs_))
            return false;
    }
    return true;
}

void Session::ProtocolError(const std::string& reason) {
    shared_.counters.CountProtocolError();
    rfcwire::ErrorReply reply{Error(RFC_ERROR_PROTOCOL, u"RFC_ERROR_PROTOCOL",
                                    "Connection closed by the partner: " + reason)};
    Reply(rfcwire::Encode(reply));
}

bool Session::Pause(int ms) {
    pollfd fds[2] = {{socket_.Fd(), POLLRDHUP, 0}, {shared_.stop->Fd(), POLLIN, 0}};
    for (;;) {
        const int rc = ::poll(fds, 2, ms);
        if (rc < 0 && errno == EINTR) continue;
        if (rc == 0) return true;  // the delay passed
        return false;              // client gone, system stopping, or poll failed
    }
}

}  // namespace r3sim
