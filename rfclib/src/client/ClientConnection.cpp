#include "client/ClientConnection.h"

#include <unistd.h>

#include "client/CallCanceller.h"
#include "client/ErrorState.h"
#include "client/HostResolver.h"
#include "client/ReplyBudget.h"
#include "net/FrameTransport.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"
#include "wire/MessageCodec.h"

namespace rfclib {
namespace {

constexpr int kLogoffTimeoutMs = 1000;
constexpr size_t kKeptReceiveBytes = 64 * 1024;

// Marks a send or wait in progress. Set before the cancel flags are read,
// so that a cancel either sees the mark or is seen.
struct BusyMark {
    explicit BusyMark(std::atomic<bool>& busy) : busy_(busy) { busy_ = true; }
    ~BusyMark() { busy_ = false; }
    std::atomic<bool>& busy_;
};

std::u16string OwnHost() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return u"localhost";
    return platform::FromUtf8(name);
}

}  // namespace

ClientConnection::ClientConnection(ConnectParameters parameters, ClientSettings settings)
    : parameters_(std::move(parameters)), settings_(std::move(settings)) {
    CallCanceller::Instance().Enlist(this);
}

ClientConnection::~ClientConnection() {
    CallCanceller::Instance().Delist(this);
    Close();
}

std::unique_ptr<ClientConnection> ClientConnection::Open(const ConnectParameters& parameters,
                                                         const ClientSettings& settings,
                                                         ErrorRecord& error) {
    std::unique_ptr<ClientConnection> connection(new ClientConnection(parameters, settings));
    if (CallCanceller::Instance().Cancelled()) {
        error = connection->CancelledError();
        return nullptr;
    }
    if (!connection->Connect(error) || !connection->Logon(error)) return nullptr;
    return connection;
}

std::string ClientConnection::Partner() const {
    return peerHost_ + ":" + std::to_string(peerPort_);
}

bool ClientConnection::Connect(ErrorRecord& error) {
    const int serverPort = settings_.portBase + parameters_.systemNumber;
    const bool routed = !parameters_.routers.empty();
    peerHost_ = platform::ToUtf8(routed ? parameters_.routers.front().host : parameters_.host);
    peerPort_ = static_cast<uint16_t>(routed ? parameters_.routers.front().port : serverPort);
    const std::string what = routed ? "router " : "partner ";

    sockaddr_in address{};
    std::string reason;
    if (!ResolveHost(peerHost_, peerPort_, settings_.hosts, settings_.connectTimeoutMs, address,
                     reason)) {
        error = MakeError(RFC_ERROR_COMMUNICATION,
                          "connection to " + what + "'" + Partner() + "' failed: " + reason);
        return false;
    }
    rfcnet::Socket connected = rfcnet::ConnectTcp(address, settings_.connectTimeoutMs, reason);
    {
        std::lock_guard lock(socketLock_);
        socket_ = std::move(connected);
    }
    if (cancelled_) {
        error = CancelledError();
        return false;
    }
    if (!socket_.IsOpen()) {
        error = MakeError(RFC_ERROR_COMMUNICATION,
                          "connection to " + what + "'" + Partner() + "' failed: " + reason);
        return false;
    }
    return true;
}

bool ClientConnection::Logon(ErrorRecord& error) {
    rfcwire::OpenRequest request;
    request.targetHost = parameters_.host;
    request.targetPort = static_cast<uint16_t>(settings_.portBase + parameters_.systemNumber);
    request.route = FormatRoute(parameters_.routers, 1, parameters_.host);
    request.systemNumber = static_cast<uint8_t>(parameters_.systemNumber);
    request.client = parameters_.client;
    request.user = parameters_.user;
    request.password = parameters_.password;
    request.language = parameters_.language;
    request.ownHost = OwnHost();

    rfcwire::ServerMessage reply;
    if (!Send(rfcwire::Encode(request), error) || !Receive(reply, error)) return false;
    auto* open = std::get_if<rfcwire::OpenReply>(&reply);
    if (open == nullptr) {
        error = MakeError(RFC_ERROR_PROTOCOL,
                          "partner '" + Partner() + "' answered the logon with another message");
        MarkBroken(error);
        return false;
    }
    if (!open->accepted) {
        error = open->error;
        return false;
    }
    attributes_ = open->attributes;
    return true;
}

void ClientConnection::MarkBroken(const ErrorRecord& error) {
    if (!broken_) failure_ = error;
    broken_ = true;
    EndReply();
    std::lock_guard lock(socketLock_);
    socket_.ShutdownBoth();
}

ErrorRecord ClientConnection::CancelledError() const {
    ErrorRecord error = MakeError(RFC_ERROR_COMMUNICATION,
                                  "call to partner '" + Partner() + "' cancelled: stopping");
    error.key = RFC_KEY_CANCELLED;
    return error;
}

bool ClientConnection::AdmitReplyBytes(uint32_t length, std::string& error) {
    const std::string what = pendingFunction.empty()
                                 ? std::string("the logon reply")
                                 : "the reply of " + platform::ToUtf8(pendingFunction);
    if (replyBytes_ + length > settings_.maxReplyBytes) {
        error = what + " from partner '" + Partner() + "' passes the reply bound of " +
                std::to_string(settings_.maxReplyBytes) + " bytes";
        return false;
    }
    if (!ReplyBudget::Instance().Reserve(length, settings_.maxRepliesBytes)) {
        error = what + " from partner '" + Partner() +
                "' passes the bound of all replies at once, " +
                std::to_string(settings_.maxRepliesBytes) + " bytes";
        return false;
    }
    replyBytes_ += length;
    return true;
}

void ClientConnection::EndReply() {
    ReplyBudget::Instance().Release(replyBytes_);
    replyBytes_ = 0;
}

bool ClientConnection::Send(const std::vector<uint8_t>& frame, ErrorRecord& error) {
    if (broken_) {
        error = failure_;
        return false;
    }
    EndReply();
    const BusyMark mark(busy_);
    if (cancelled_ || CallCanceller::Instance().Cancelled()) {
        error = CancelledError();  // nothing sent: the connection stays whole
        return false;
    }
    std::string reason;
    const rfcnet::IoStatus status =
        rfcnet::SendFrame(socket_.Fd(), frame, settings_.readTimeoutMs, reason);
    if (status == rfcnet::IoStatus::kOk) return true;
    if (status == rfcnet::IoStatus::kTimedOut) reason = "send timed out";
    if (status == rfcnet::IoStatus::kClosed) reason = "connection closed by the partner";
    error = cancelled_ ? CancelledError()
                       : MakeError(RFC_ERROR_COMMUNICATION,
                                   "send to partner '" + Partner() + "' failed: " + reason);
    MarkBroken(error);
    return false;
}

bool ClientConnection::Receive(rfcwire::ServerMessage& reply, ErrorRecord& error) {
    if (broken_) {
        error = failure_;
        return false;
    }
    const BusyMark mark(busy_);
    if (cancelled_ || CallCanceller::Instance().Cancelled()) {
        // The answer is still on its way: the connection cannot go on.
        error = CancelledError();
        MarkBroken(error);
        return false;
    }
    rfcnet::ReceiveLimits limits;
    limits.idleTimeoutMs = settings_.readTimeoutMs;
    limits.frameTimeoutMs = settings_.readTimeoutMs;
    limits.admit = [this](uint32_t length, std::string& why) {
        return AdmitReplyBytes(length, why);
    };
    rfcnet::ReceivedFrame& frame = received_;  // its buffer serves every piece of a reply
    std::string reason;
    const rfcnet::ReceiveStatus status =
        rfcnet::ReceiveFrame(socket_.Fd(), limits, -1, frame, reason);
    if (status != rfcnet::ReceiveStatus::kOk && cancelled_) {
        error = CancelledError();
        MarkBroken(error);
        return false;
    }
    switch (status) {
        case rfcnet::ReceiveStatus::kOk:
            break;
        case rfcnet::ReceiveStatus::kRefused:
            error = MakeError(RFC_ERROR_RESOURCE, reason);
            error.key = RFC_KEY_REPLY_TOO_LARGE;
            MarkBroken(error);
            return false;
        case rfcnet::ReceiveStatus::kTimedOut:
            error = MakeError(RFC_ERROR_COMMUNICATION,
                              "no answer from partner '" + Partner() + "' within " +
                                  std::to_string(settings_.readTimeoutMs) + " ms");
            MarkBroken(error);
            return false;
        case rfcnet::ReceiveStatus::kClosed:
            error = MakeError(RFC_ERROR_COMMUNICATION,
                              "connection to partner '" + Partner() + "' closed by the partner");
            MarkBroken(error);
            return false;
        case rfcnet::ReceiveStatus::kMalformed:
            error = MakeError(RFC_ERROR_PROTOCOL,
                              "bad frame from partner '" + Partner() + "': " + reason);
            MarkBroken(error);
            return false;
        default:
            error = MakeError(RFC_ERROR_COMMUNICATION,
                              "receive from partner '" + Partner() + "' failed: " + reason);
            MarkBroken(error);
            return false;
    }
    const bool decoded = rfcwire::DecodeServerMessage(frame.type, frame.payload, reply, reason);
    // The buffer serves the pieces of one reply; kept after it, a hundred
    // idle connections would each hold a piece's megabyte.
    if (!std::holds_alternative<rfcwire::TableRows>(reply) &&
        frame.payload.capacity() > kKeptReceiveBytes)
        frame.payload = std::vector<uint8_t>();
    if (!decoded) {
        error =
            MakeError(RFC_ERROR_PROTOCOL, "bad frame from partner '" + Partner() + "': " + reason);
        MarkBroken(error);
        return false;
    }
    if (!std::holds_alternative<rfcwire::TableRows>(reply)) EndReply();
    if (auto* failure = std::get_if<rfcwire::ErrorReply>(&reply)) {
        error = failure->error;
        MarkBroken(error);
        return false;
    }
    return true;
}

void ClientConnection::Close() {
    EndReply();
    if (!socket_.IsOpen()) return;
    if (!broken_) {
        std::string ignored;
        rfcnet::SendFrame(socket_.Fd(), rfcwire::Encode(rfcwire::CloseRequest{}), kLogoffTimeoutMs,
                          ignored);
    }
    std::lock_guard lock(socketLock_);
    socket_.Close();
}

void ClientConnection::Abort() {
    std::lock_guard lock(socketLock_);
    socket_.ShutdownBoth();
}

void ClientConnection::Cancel() {
    cancelled_ = true;
    if (busy_) Abort();
}

}  // namespace rfclib
