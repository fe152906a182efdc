// The session driver: one collection session against one R/3 system.
//
// In the main window's thread, Initialize runs the connection wizard,
// writes the system-level files and proves the connections and
// authorisations; the worker then opens the system connection, reads the
// server list and creates one instance and one host thread per application
// server and one remote thread per standalone database server. From then on
// it dispatches the schedule events the main window's clock sets to the
// threads it owns, and every minute it re-reads the server list so that
// servers that joined get their threads. Deleting it ends the session: its
// own worker first, then every thread it created.
//
//   auto* session = new CSystemThread;
//   session->Start();             // Initialize in this thread; throws on failure or cancel
//   session->SetOpenRequest();
//   ... each minute: session->SetEvent(CSystemThread::kJoinRequest) ... (events 3-8)
//   delete session;
//
// Thread rules: Initialize and the destructor run in the main window's
// thread, all other operations on the worker. Each thread table is read and
// changed only under its mutex; lock order m_RemoteLock before
// m_InstanceLock, no other operation holds two. The child threads are
// created, configured and started by the worker.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "collect/ConnectionSettings.h"
#include "collect/HostThread.h"
#include "collect/InstanceThread.h"
#include "collect/RemoteThread.h"
#include "collect/RfcThread.h"
#include "collect/ServerProbe.h"
#include "collect/ServerList.h"
#include "collect/metrics/Registry.h"
#include "collect/system/DiskGuard.h"
#include "collect/system/FolderRetention.h"
#include "collect/system/FolderRotation.h"
#include "platform/ProcessLock.h"
#include "rfc/catalogue/OcsGetInfo.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/ThServerList.h"

class IConnectionTestDialog;

class CSystemThread : public CRfcThread {
  public:
    static constexpr size_t kJoinRequest = 3;
    static constexpr size_t kHostStatsRequest = 4;
    static constexpr size_t kRemoteStatsRequest = 5;
    static constexpr size_t kInstanceStatsRequest = 6;
    static constexpr size_t kBufferStatsRequest = 7;
    static constexpr size_t kDialogStepRequest = 8;

    CSystemThread();
    ~CSystemThread() override;

    void Initialize() override;
    void OpenConnection() override;
    // In Initialize the system connection alone; on the worker OpenConnection.
    void ReopenConnection() override;

    // Where the session's threads publish their live figures; set before
    // Start (null: none). The registry may outlive the session.
    void SetMetricsRegistry(std::shared_ptr<metrics::Registry> registry) {
        m_pMetrics = std::move(registry);
    }

    // The free space to keep on the data directory's file system; none: the
    // default (1 GiB or 2% of it, whichever is smaller). Takes effect at the
    // next check (each minute).
    void SetMinimumFreeBytes(std::optional<uint64_t> bytes) { m_DiskGuard.SetMinimum(bytes); }

    // Hand over to a new session folder at the first quarter-hour tick of
    // each period (none: one folder for the whole session). Set before Start.
    void SetRotation(RotationPeriod period) { m_Rotation = period; }
    // Removes this system's oldest finished folders past these bounds, at the
    // open request and at every quarter hour. Set before Start.
    void SetRetention(RetentionRules rules) { m_Retention = rules; }
    // The clock says the coming join request belongs to a quarter-hour tick:
    // the moment a hand-over may happen. Any thread.
    void NoteQuarterHourTick() { m_bQuarterTick = true; }
    // By default a server that fails the connection test fails the start.
    // With this, the start goes on without it (naming it), and the server
    // joins at the first minute it answers. Set before Start.
    void SetStartWithoutUnreachable(bool on) { m_bStartWithoutUnreachable = on; }

    // The message writer: "%s : %s" (time stamp, text).
    void WriteSystemMessage(std::u16string_view text) noexcept;
    void WriteConnectionMessage(std::u16string_view text) override { WriteSystemMessage(text); }

    // What the session knows, for the front ends and tests.
    const std::u16string& SessionDir() const { return m_strSessionDir; }
    const std::u16string& LogFile() const { return m_strLogFile; }
    const std::u16string& SystemId() const { return m_strSystemId; }
    size_t InstanceThreadCount();
    size_t HostThreadCount();
    size_t RemoteThreadCount();
    bool HasRemoteThread(const std::u16string& key);

  protected:
    void OnEvent(size_t index) override;
    void OnStopping() override;

    // Session start (the main window's thread).
    virtual void GetSystemInformation();
    virtual void RunConnectionTest();
    virtual void TestAuthorizations();
    virtual void CheckAuthorization(std::u16string_view object, std::u16string_view field1,
                                    std::u16string_view value1, std::u16string_view field2,
                                    std::u16string_view value2, std::u16string_view field3,
                                    std::u16string_view value3, bool& failed);
    virtual void TestConnections(IConnectionTestDialog& dialog);
    virtual void CheckSaposcolTime(CRfcConnection& connection);
    virtual void TestSaposcolDestination(CRfcConnection& connection,
                                         const std::u16string& destination,
                                         const std::u16string& system);
    virtual int32_t GetSystemID(const std::u16string& mode, const std::u16string& destination,
                                const std::u16string& system);

    // System-level files: pc.ctl, the database figures, <SID>.cmp and
    // <SID>.ptc, system.ctl.
    virtual void GetPcInformation();
    virtual void GetDatabaseInformation();
    virtual void GetSoftwareInformation();
    virtual void WriteSystemFile();

    // The worker's operations.
    virtual void AutoJoin();
    virtual void GetServerList();
    virtual void StartServerThreads();
    virtual void StartRemoteThreads();
    virtual void AddInstanceThread(const std::u16string& name, const std::u16string& host,
                                   const std::u16string& systemNumber,
                                   const std::u16string& services);
    virtual void AddHostThread(const std::u16string& name, const std::u16string& host,
                               const std::u16string& systemNumber);
    virtual void AddRemoteThread(const std::u16string& destination, const std::u16string& system,
                                 const std::u16string& gateway);
    void GetHostStatistics();
    void GetRemoteStatistics();
    void GetInstanceStatistics();
    void GetBufferStatistics();
    void GetDialogStepStatistics();
    // Checks the data directory's free space: a message when the guard's
    // state changes, and the storage figures for the endpoint.
    void WatchDiskSpace();
    // The folder that holds the session folder, with its separator.
    std::u16string DataDirectory() const;
    // The session folder and the paths of the system's files in it.
    void SetFolderPaths(const std::u16string& folder);
    // At a quarter-hour tick in a new period: the next folder.
    void RotateIfDue();
    void RotateFolder(const platform::DateTime& now, int64_t period);
    void ApplyRetention();
    // The folder a collector that ended uncleanly left, caught up by this session.
    void TakeOverUnfinishedFolder();

    // Runs body; a failure becomes a system message (routine names the trap).
    template <typename Body>
    bool Reported(const char16_t* routine, Body body);

    ServerList m_ServerList;
    RemoteList m_RemoteList;
    std::map<std::u16string, std::unique_ptr<CInstanceThread>> m_InstanceThreads;
    std::map<std::u16string, std::unique_ptr<CRemoteThread>> m_RemoteThreads;
    std::map<std::u16string, std::unique_ptr<CHostThread>> m_HostThreads;
    std::mutex m_InstanceLock, m_RemoteLock, m_HostLock;

    // Set while Initialize runs, before the worker exists: the server
    // threads start only with the worker's open request.
    bool m_bInitializing = false;
    std::u16string m_strSessionDir;
    std::u16string m_strSystemId;
    std::u16string m_strOpSys;
    std::u16string m_strDbSys;
    std::u16string m_strDbVersion;
    int32_t m_nDbSize = 0;
    int32_t m_nRelease = 0;
    std::u16string m_strLogFile, m_strPcFile, m_strSystemFile, m_strComponentFile, m_strPatchFile;

    CRfcSystemInfo m_SystemInfo;
    COcsGetInfo m_SoftwareInfo;
    CThServerList m_ServerListCall;
    std::shared_ptr<metrics::Registry> m_pMetrics;
    DiskGuard m_DiskGuard;
    RotationPeriod m_Rotation = RotationPeriod::None;
    int64_t m_nFolderPeriod = 0;  // the rotation period of the current folder
    std::atomic<bool> m_bQuarterTick{false};
    RetentionRules m_Retention;
    std::u16string m_strResumeFolder;               // empty: the last session ended cleanly
    std::unique_ptr<FolderRetention> m_pRetention;  // made on the worker
    platform::ProcessLock m_CollectorLock;  // held while the session lives
    bool m_bStartWithoutUnreachable = false;
    // Servers left out of the start, each with its probe; the worker's only.
    std::map<std::u16string, std::unique_ptr<CServerProbe>> m_Unreachable;
    // Leaves a server that failed the connection test out, or rethrows.
    void LeaveOut(const std::u16string& name, const tagSERVERLIST& entry);
    // Probes the servers left out; one that answers is no longer left out.
    void ProbeUnreachable();

    // The system's logon data with another application server's host and system number.
    void GiveLogonData(CRfcConnection& target, const std::u16string& host,
                       const std::u16string& systemNumber);
    // A remote-list entry's name as messages show it: "DEST" or "DEST(SYSTEM)".
    static std::u16string DestinationName(const std::u16string& destination,
                                          const std::u16string& system);

  private:
    void TakeCollectorLock();
    // Initialize after the wizard: the session's files and tests.
    void StartSession(const ConnectionSettings& settings);
    void RequestStopOfAllThreads();
    void DeleteThreads();
    // Runs visit under lock; a failure becomes a system message.
    template <typename Visit>
    void Dispatch(std::mutex& lock, const char16_t* routine, Visit visit);
    void SignalInstanceThreads(const char16_t* routine, size_t event);
};
