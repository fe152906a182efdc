// A check, on a thread of its own, whether an application server answers:
// a logon and a ping on a connection of its own. The session driver keeps
// one for each server left out of a start, so that a server that does not
// answer never holds up the minute's dispatch.
//
//   CServerProbe probe;
//   session.GiveLogonData(probe.Connection(), host, systemNumber);
//   probe.Start();
//   ... later: if (probe.State() == CServerProbe::kAnswered) ...
//
// Thread rules: Start and the destructor in the owner's thread; State from
// any thread. The destructor waits for the check (a stop cancels its call).
#pragma once

#include <atomic>
#include <thread>

#include "rfc/RfcConnection.h"

class CServerProbe {
  public:
    enum State { kIdle, kRunning, kAnswered, kSilent };

    CServerProbe() = default;
    ~CServerProbe();
    CServerProbe(const CServerProbe&) = delete;
    CServerProbe& operator=(const CServerProbe&) = delete;

    CRfcConnection& Connection() { return m_Connection; }
    // Starts a check unless one is running.
    void Start();
    State GetState() const { return m_State; }

  private:
    CRfcConnection m_Connection;
    std::atomic<State> m_State{kIdle};
    std::thread m_Thread;
};
