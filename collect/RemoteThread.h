// The remote thread: the operating-system figures of a standalone database
// server, read by saposcol on that computer and passed on by R/3 through an
// RFC destination. It logs on to the gateway instance of its remote-list
// entry and binds the destination (I_LOCAL_REMOTE, I_LOGICAL_DESTINATION)
// into every saposcol call it prepares; the minute capture, the run loop,
// the messages and the record layouts are the host thread's.
//
// How the system thread drives it (one thread per remote-list entry, keyed
// by RemoteName(destination, system)):
//
//   auto* t = new CRemoteThread;
//   t->Connection().SetLogonData(<system's logon data with the gateway
//                                 instance's host and system number>);
//   t->Configure(entry, sessionDir, <gateway's system number>);
//   t->Start();                 // Initialize runs here and may throw
//   t->SetOpenRequest();        // never the hardware or environment request
//   ... every minute: t->SetEvent(CHostThread::kHostStatsRequest);
//   delete t;
//
// Thread rules: as CHostThread.
#pragma once

#include <string>

#include "collect/HostThread.h"

class CRemoteThread : public CHostThread {
  public:
    // The widths of the remote-list entry's fields.
    static constexpr size_t kDestinationWidth = 32, kSystemWidth = 10;
    // The request number of the clavern member list.
    static constexpr int32_t kClavernRequest = 107;

    CRemoteThread() = default;
    ~CRemoteThread() override;

    // gatewayName is the application server that reaches the destination;
    // the destination and the system are cut to their list widths.
    void Configure(std::u16string sessionDir, std::u16string gatewayName,
                   std::u16string destination, std::u16string system, std::u16string systemNumber);
    // The gateway instance's system number comes from its server entry.
    void Configure(const tagREMOTELIST& entry, std::u16string sessionDir,
                   std::u16string gatewaySystemNumber);

    // Identifies the database server (operating system, clavern system id),
    // prepares and binds the statistics calls and adds its records to
    // disk.ctl and host.ctl. Only the logon and RFC_SYSTEM_INFO failures
    // are thrown; saposcol's silence is not.
    void Initialize() override;

    const std::u16string& LocalRemote() const { return m_strLocalRemote; }
    const std::u16string& DbSys() const { return m_strDbSys; }

  protected:
    void BuildPaths() override;
    void BindDestination(CBaseRfc& call) override;
    // A silent destination leaves the figures 0 instead of failing the start.
    void FillStorageFigures(HostControlRecord& record) override;
    void WriteIdentityFiles() override;
    // A database server has no hardware or environment listing.
    void WriteListings() override {}

  private:
    void ReadOperatingSystem();
    void ReadSystemId();

    std::u16string m_strLocalRemote = u"REMOTE";
    std::u16string m_strDbSys;
};
