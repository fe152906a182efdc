// Cancelling every call of the process at once, for a program that stops.
//
// Each connection enlists while it lives. CancelAll shuts down the socket of
// every enlisted connection, so that a wait for a partner that never answers
// ends at once, and refuses opens and calls until Resume.
//
// Thread rules: one mutex guards the set of connections; Cancelled may be
// read by any thread without it.
#pragma once

namespace rfclib {

class ClientConnection;

class CallCanceller {
  public:
    static CallCanceller& Instance();

    void Enlist(ClientConnection* connection);
    void Delist(ClientConnection* connection);

    void CancelAll();
    void Resume();
    bool Cancelled() const;
};

}  // namespace rfclib
