// One open RFC connection of the client: the socket to the application
// server (or to the first router on the way), the attributes the server sent
// at logon, and the state of a call between RfcCallU and RfcReceiveU.
//
// Every reply is bounded: its bytes count against the bound of one reply and
// against the process's budget of replies arriving at once (ReplyBudget); a
// reply past either fails with key RFC_KEY_REPLY_TOO_LARGE and closes the
// connection, since the rest of it is still on the way.
//
// Thread rules: Mutex() guards everything below except Abort() and Cancel(),
// which any thread may call to end a wait in progress. The API layer holds
// Mutex() for each operation on the handle.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client/ClientSettings.h"
#include "client/ConnectString.h"
#include "net/FrameTransport.h"
#include "net/Socket.h"
#include "wire/Messages.h"

namespace rfclib {

using rfcwire::ErrorRecord;

class ClientConnection {
  public:
    // Connects, logs on and returns the connection; nullptr with the reason
    // in error (group 102 communication, 103 logon, 107 protocol).
    static std::unique_ptr<ClientConnection> Open(const ConnectParameters& parameters,
                                                  const ClientSettings& settings,
                                                  ErrorRecord& error);
    ~ClientConnection();

    std::mutex& Mutex() { return mutex_; }

    // A broken connection answers every call with its failure record.
    bool Broken() const { return broken_; }
    const ErrorRecord& Failure() const { return failure_; }

    const rfcwire::SystemAttributes& Attributes() const { return attributes_; }
    const ConnectParameters& Parameters() const { return parameters_; }

    // Sends a request frame; false (and broken) on failure.
    bool Send(const std::vector<uint8_t>& frame, ErrorRecord& error);

    // Waits for one reply within the read time-out; an ErrorReply from the
    // server is a failure too. false (and broken) on failure.
    bool Receive(rfcwire::ServerMessage& reply, ErrorRecord& error);

    // Gives the connection up in the middle of a reply: broken with error.
    void Abandon(const ErrorRecord& error) { MarkBroken(error); }

    // Logs off (best effort) and closes the socket.
    void Close();

    // Ends any wait in progress from another thread.
    void Abort();
    // Abort for a stop (see CallCanceller): a send or wait in progress ends
    // at once with key RFC_KEY_CANCELLED and breaks the connection; an idle
    // connection is left whole, so that it can still log off, while every
    // later call on it fails the same way.
    void Cancel();

    // State of the pending call.
    bool callPending = false;
    std::u16string pendingFunction;
    std::u16string exceptionText;  // what RfcReceiveU hands out as the exception name

  private:
    ClientConnection(ConnectParameters parameters, ClientSettings settings);
    bool Connect(ErrorRecord& error);
    bool Logon(ErrorRecord& error);
    void MarkBroken(const ErrorRecord& error);
    std::string Partner() const;
    ErrorRecord CancelledError() const;
    // Reserves a frame's payload for the reply in progress; false with the
    // reason when the reply would pass its bound or the process's budget.
    bool AdmitReplyBytes(uint32_t length, std::string& error);
    void EndReply();

    std::mutex mutex_;
    ConnectParameters parameters_;
    ClientSettings settings_;
    std::string peerHost_;  // where the socket goes: router or application server
    uint16_t peerPort_ = 0;
    std::mutex socketLock_;  // guards changes of socket_ against Abort and Cancel
    rfcnet::Socket socket_;
    rfcnet::ReceivedFrame received_;
    uint64_t replyBytes_ = 0;  // reserved for the reply in progress
    bool replyRefused_ = false;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> busy_{false};  // in a send or a wait: a cancel shuts the socket
    std::atomic<bool> broken_{false};
    ErrorRecord failure_;
    rfcwire::SystemAttributes attributes_;
};

}  // namespace rfclib
