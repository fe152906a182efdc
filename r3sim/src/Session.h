// One client connection to an application server: logon first, then calls
// until the client logs off, the connection breaks, a frame is malformed or
// the system stops. A malformed frame is answered with an error frame (best
// effort) and ends the connection; it never affects other connections.
//
// Thread rules: runs on its own thread; it touches only its socket, the
// shared counters (locked) and read-only shared state.
#pragma once

#include <optional>

#include "LogonCheck.h"
#include "SystemShared.h"
#include "net/Socket.h"
#include "wire/Frame.h"
#include "wire/Messages.h"

namespace r3sim {

class Session {
  public:
    Session(SystemShared& shared, const ServerSpec& server, rfcnet::Socket socket);
    void Run();
    // Ends the connection from another thread (at stop).
    void Abort();

  private:
    bool Serve(const rfcwire::ClientMessage& message);
    bool ServeCall(const rfcwire::CallRequest& request);
    bool Reply(const std::vector<uint8_t>& frame);
    // Sends the call's first table piece again and again until the client
    // goes or the system stops; always false (the connection ends).
    bool ReplyWithoutEnd(const rfcwire::CallReply& reply,
                         const std::vector<rfcwire::TableData>& pieces);
    void ProtocolError(const std::string& reason);
    // Waits up to ms (< 0: until the client goes or the system stops);
    // false when the call should be abandoned.
    bool Pause(int ms);
    const FaultSpec* FaultFor(const std::string& module) const;
    const FaultSpec* StructureFaultFor(const std::string& structure, uint64_t query) const;
    // The transport side of a fault (delay, drop, hang, garbage): true when
    // the request is still to be answered, else keep says whether the
    // connection goes on.
    bool PlayTransportFault(const FaultSpec& fault, rfcwire::MessageType replyType, bool& keep);
    bool ServeStructure(const std::string& name);
    rfcwire::InterfaceReply InterfaceOf(const std::string& function) const;
    rfcwire::StructureReply StructureOf(const std::string& name) const;

    SystemShared& shared_;
    const ServerSpec& server_;
    rfcnet::Socket socket_;
    std::optional<LogonResult> logon_;
    int trickleMs_ = 0;  // > 0: the current reply goes out one byte at a time
};

}  // namespace r3sim
