// One connection opened by RfcOpenConnection: our client's connection to
// the application server and what the library adds to it: one call at a
// time (CallMutex), closing after the failures that close it, and RfcCancel
// from any thread.
//
// Handles are numbers counted up from 1 and never reused, so a handle of a
// closed connection is reported invalid, never confused with a newer one.
//
// Thread rules: CallMutex() guards every exchange; Cancel() and the handle
// registry may be used from any thread.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "Errors.h"
#include "client/ClientConnection.h"
#include "nwrfc/NwRfcApi.h"

namespace nwsim {

class Connection {
  public:
    // Connects and logs on; nullptr with the failure.
    static std::shared_ptr<Connection> Open(const rfclib::ConnectParameters& parameters,
                                            Failure& failure);
    ~Connection();

    nwrfc::RFC_CONNECTION_HANDLE Handle() const { return handle_; }
    std::mutex& CallMutex() { return callMutex_; }
    const rfcwire::SystemAttributes& Attributes() const { return client_->Attributes(); }
    const rfclib::ConnectParameters& Parameters() const { return client_->Parameters(); }
    bool UnicodePartner() const { return client_->Attributes().unicode != 0; }

    // Sends a request and waits for one message; a failure closes the
    // connection (RFC_CANCELED when RfcCancel ended the wait).
    bool Send(const std::vector<uint8_t>& frame, Failure& failure);
    bool Receive(rfcwire::ServerMessage& message, Failure& failure);

    // Ends the connection after a failure that closes it: the handle is no
    // longer valid. Called with CallMutex held.
    void CloseAfter(const Failure& failure);
    // Logs off and releases the handle. Called with CallMutex held.
    void Close();
    // Ends a call in progress from another thread; it returns RFC_CANCELED.
    void Cancel();

  private:
    explicit Connection(std::unique_ptr<rfclib::ClientConnection> client);
    Failure Lost(const rfcwire::ErrorRecord& error) const;

    nwrfc::RFC_CONNECTION_HANDLE handle_ = nullptr;
    std::mutex callMutex_;
    std::unique_ptr<rfclib::ClientConnection> client_;
    std::atomic<bool> canceled_{false};
};

// The registry of open connections.
nwrfc::RFC_CONNECTION_HANDLE RegisterConnection(const std::shared_ptr<Connection>& connection);
std::shared_ptr<Connection> FindConnection(nwrfc::RFC_CONNECTION_HANDLE handle);
std::shared_ptr<Connection> RemoveConnection(nwrfc::RFC_CONNECTION_HANDLE handle);

// The connection of a handle, locked for one operation; false (and the
// failure reported into info) for a handle that is not open.
struct LockedConnection {
    std::shared_ptr<Connection> connection;
    std::unique_lock<std::mutex> lock;
};
bool LockConnection(nwrfc::RFC_CONNECTION_HANDLE handle, const char* function,
                    LockedConnection& out, Failure& failure);

}  // namespace nwsim
