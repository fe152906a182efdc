#include "Connection.h"

#include <cstdint>
#include <map>

#include "client/ClientSettings.h"

namespace nwsim {
namespace {

struct Registry {
    std::mutex mutex;  // guards both members
    std::map<uintptr_t, std::shared_ptr<Connection>> open;
    uintptr_t next = 1;
};

Registry& TheRegistry() {
    static auto* registry = new Registry;  // outlives callers still running at exit
    return *registry;
}

uintptr_t Key(nwrfc::RFC_CONNECTION_HANDLE handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

Connection::Connection(std::unique_ptr<rfclib::ClientConnection> client)
    : client_(std::move(client)) {}

Connection::~Connection() {
    if (client_) client_->Close();
}

std::shared_ptr<Connection> Connection::Open(const rfclib::ConnectParameters& parameters,
                                             Failure& failure) {
    rfcwire::ErrorRecord error;
    auto client =
        rfclib::ClientConnection::Open(parameters, rfclib::SettingsFromEnvironment(), error);
    if (!client) {
        failure = FromClientError(error);
        return nullptr;
    }
    std::shared_ptr<Connection> connection(new Connection(std::move(client)));
    connection->handle_ = RegisterConnection(connection);
    return connection;
}

Failure Connection::Lost(const rfcwire::ErrorRecord& error) const {
    if (canceled_)
        return MakeFailure(nwrfc::RFC_CANCELED, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                           "the call was canceled; the connection is closed");
    Failure failure = FromClientError(error);
    failure.code = nwrfc::RFC_COMMUNICATION_FAILURE;
    failure.group = nwrfc::COMMUNICATION_FAILURE;
    return failure;
}

bool Connection::Send(const std::vector<uint8_t>& frame, Failure& failure) {
    rfcwire::ErrorRecord error;
    if (!canceled_ && client_->Send(frame, error)) return true;
    failure = Lost(error);
    CloseAfter(failure);
    return false;
}

bool Connection::Receive(rfcwire::ServerMessage& message, Failure& failure) {
    rfcwire::ErrorRecord error;
    if (!canceled_ && client_->Receive(message, error)) return true;
    failure = Lost(error);
    CloseAfter(failure);
    return false;
}

void Connection::CloseAfter(const Failure&) {
    RemoveConnection(handle_);
    // Shut down, not closed: RfcCancel may still be shutting the socket down
    // from another thread. The last holder of the connection closes it.
    client_->Abandon(rfcwire::ErrorRecord{});
}

void Connection::Close() {
    RemoveConnection(handle_);
    client_->Close();
}

void Connection::Cancel() {
    canceled_ = true;
    RemoveConnection(handle_);
    client_->Abort();
}

nwrfc::RFC_CONNECTION_HANDLE RegisterConnection(const std::shared_ptr<Connection>& connection) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const uintptr_t key = registry.next++;
    registry.open.emplace(key, connection);
    return reinterpret_cast<nwrfc::RFC_CONNECTION_HANDLE>(key);
}

std::shared_ptr<Connection> FindConnection(nwrfc::RFC_CONNECTION_HANDLE handle) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.open.find(Key(handle));
    return it == registry.open.end() ? nullptr : it->second;
}

std::shared_ptr<Connection> RemoveConnection(nwrfc::RFC_CONNECTION_HANDLE handle) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.open.find(Key(handle));
    if (it == registry.open.end()) return nullptr;
    std::shared_ptr<Connection> connection = std::move(it->second);
    registry.open.erase(it);
    return connection;
}

bool LockConnection(nwrfc::RFC_CONNECTION_HANDLE handle, const char* function,
                    LockedConnection& out, Failure& failure) {
    out.connection = FindConnection(handle);
    if (out.connection) {
        out.lock = std::unique_lock(out.connection->CallMutex());
        // Closed by a failure or a cancel while this thread waited.
        if (FindConnection(handle) == out.connection) return true;
        out.lock.unlock();
        out.connection.reset();
    }
    failure = MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                          std::string(function) + ": the connection handle is not open");
    return false;
}

}  // namespace nwsim
