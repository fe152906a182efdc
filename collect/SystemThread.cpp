#include "collect/SystemThread.h"

#include <algorithm>

#include "collect/UserInterface.h"
#include "collect/core/CatchConvention.h"
#include "collect/core/CollectorException.h"
#include "collect/system/RunMarker.h"
#include "platform/Directory.h"
#include "platform/FixedText.h"
#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"

CSystemThread::CSystemThread() {
    AddEvent();  // 3 kJoinRequest
    AddEvent();  // 4 kHostStatsRequest
    AddEvent();  // 5 kRemoteStatsRequest
    AddEvent();  // 6 kInstanceStatsRequest
    AddEvent();  // 7 kBufferStatsRequest
    AddEvent();  // 8 kDialogStepRequest
}

CSystemThread::~CSystemThread() {
    // A stop never waits for a partner: every call in flight is cancelled,
    // then every thread is asked to stop, so each ends its operation at once.
    // Only a running session does so; a check or a failed start has no
    // calls in flight to cancel, and must not cut anyone else's.
    const bool running = HasWorker();
    if (running) CRfcConnection::CancelAllCalls();
    RequestStopOfAllThreads();
    EndThread();
    CloseConnection();
    DeleteThreads();
    m_Unreachable.clear();  // each waits for its check, cancelled above
    if (running) CRfcConnection::ResumeAllCalls();
    // Every thread has ended: the folder is finished cleanly.
    if (!m_strSessionDir.empty()) RemoveRunMarker(m_strSessionDir, m_strSystemId);
    if (m_pMetrics) m_pMetrics->ForgetSystem(platform::ToUtf8(m_strSystemId));
}

void CSystemThread::RequestStopOfAllThreads() {
    SetEvent(kStopEvent);
    const auto stop = [](auto& threads, std::mutex& lock) {
        std::lock_guard guard(lock);
        for (auto& [name, thread] : threads)
            if (thread) thread->SetEvent(kStopEvent);
    };
    stop(m_InstanceThreads, m_InstanceLock);
    stop(m_RemoteThreads, m_RemoteLock);
    stop(m_HostThreads, m_HostLock);
}

void CSystemThread::DeleteThreads() {
    // Each deletion stops that thread and waits for the capture in progress.
    {
        std::lock_guard lock(m_InstanceLock);
        for (auto& [name, thread] : m_InstanceThreads) thread.reset();
        m_InstanceThreads.clear();
    }
    {
        std::lock_guard lock(m_RemoteLock);
        for (auto& [name, thread] : m_RemoteThreads) thread.reset();
        m_RemoteThreads.clear();
    }
    {
        std::lock_guard lock(m_HostLock);
        for (auto& [name, thread] : m_HostThreads) thread.reset();
        m_HostThreads.clear();
    }
}

void CSystemThread::WriteSystemMessage(std::u16string_view text) noexcept {
    WriteThreadMessage(
        WM_SYSTEM_MESSAGE, m_strLogFile, text,
        [](const std::u16string& stamp, std::u16string_view t) {
            return platform::Format(u"%s : %s", stamp, t);
        },
        u"CSystemThread::WriteSystemMessage() low-level exception trapped.");
}

template <typename Body>
bool CSystemThread::Reported(const char16_t* routine, Body body) {
    return RunReported(routine, TrapStyle::Posted, body,
                       [this](const std::u16string& text) { WriteSystemMessage(text); });
}

void CSystemThread::Initialize() {
    m_bInitializing = true;
    struct EndOfInitialize {
        bool& flag;
        ~EndOfInitialize() { flag = false; }
    } endOfInitialize{m_bInitializing};
    IUserInterface* ui = CurrentUserInterface();
    if (ui == nullptr) ThrowCollectorException(u"no user interface for the connection dialog.");
    ConnectionSettings settings;
    if (!ui->RunConnectionWizard(settings, m_ServerList, m_RemoteList))
        ThrowCollectorException(u"connection dialog canceled.");
    ui->RepaintMainWindow();

    m_strSessionDir = settings.sessionPath;
    m_strSystemId = settings.systemId;
    // A folder that held nothing before this start is this start's own: a
    // failed start takes it away again, so retries leave no remains.
    const bool ownFolder = platform::DirectoryIsEmpty(m_strSessionDir);
    try {
        TakeCollectorLock();
        StartSession(settings);
    } catch (...) {
        if (ownFolder) platform::RemoveFolderWithFiles(m_strSessionDir);
        m_CollectorLock.Release();
        throw;
    }
}

void CSystemThread::TakeCollectorLock() {
    // One collector per system and data directory: a second would write a
    // second record of each minute into the same files.
    const std::u16string lockFile =
        platform::Format(u"%s.%s.lock", DataDirectory(), m_strSystemId);
    long holder = 0;
    std::u16string error;
    switch (m_CollectorLock.Take(lockFile, holder, error)) {
        case platform::ProcessLock::Result::kTaken:
            return;
        case platform::ProcessLock::Result::kHeld:
            ThrowCollectorException(platform::Format(
                u"another collector (process %d) collects from system %s into %s.",
                static_cast<int>(holder), m_strSystemId, DataDirectory()));
        case platform::ProcessLock::Result::kFailed:
            break;
    }
    ThrowCollectorException(platform::Format(u"cannot lock %s: %s", lockFile, error));
}

void CSystemThread::StartSession(const ConnectionSettings& settings) {
    IUserInterface* ui = CurrentUserInterface();
    m_Connection.SetLogonData(settings.hostName, settings.systemNumber, settings.client,
                              settings.user, settings.password, settings.language, settings.domain,
                              settings.routerString);
    m_strSystemId = settings.systemId;
    SetFolderPaths(settings.sessionPath);
    m_nFolderPeriod = PeriodIndex(platform::CurrentLocalTime(), m_Rotation);
    WriteSystemMessage(platform::Format(u"created directory  %s", m_strSessionDir));

    GetPcInformation();
    m_Connection.CallRfcOpen();
    GetSystemInformation();
    m_ServerListCall.PrepareInterface(m_Connection);
    RunConnectionTest();
    ui->RepaintMainWindow();
    GetDatabaseInformation();
    GetSoftwareInformation();
    WriteSystemFile();
    m_Connection.CloseConnection();
    TakeOverUnfinishedFolder();
    WriteRunMarker(m_strSessionDir, m_strSystemId);
    WriteSystemMessage(u"data capture started.");
}

void CSystemThread::TakeOverUnfinishedFolder() {
    const std::optional<std::u16string> unfinished =
        FindUnfinishedFolder(DataDirectory(), m_strSystemId, platform::CurrentTimeSource()->Now());
    if (!unfinished) return;
    m_strResumeFolder = *unfinished;
    MarkUnfinished(m_strResumeFolder, m_strSystemId, m_strSessionDir);
    WriteSystemMessage(platform::Format(
        u"the session in %s ended uncleanly; its dialog steps since the last record written are "
        u"caught up in %s",
        m_strResumeFolder, m_strSessionDir));
}

void CSystemThread::SetFolderPaths(const std::u16string& folder) {
    m_strSessionDir = folder;
    m_strLogFile = platform::Format(u"%s%s.log", m_strSessionDir, m_strSystemId);
    m_strComponentFile = platform::Format(u"%s%s.cmp", m_strSessionDir, m_strSystemId);
    m_strPatchFile = platform::Format(u"%s%s.ptc", m_strSessionDir, m_strSystemId);
    m_strPcFile = platform::Format(u"%spc.ctl", m_strSessionDir);
    m_strSystemFile = platform::Format(u"%ssystem.ctl", m_strSessionDir);
}

void CSystemThread::GetSystemInformation() {
    WriteSystemMessage(u"capturing system information.");
    m_SystemInfo.PrepareInterface(m_Connection);
    m_SystemInfo.CallFunctionModule(m_Connection);
    std::u16string value;
    m_SystemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCOPSYS", value);
    m_strOpSys = platform::Trim(value);
    m_SystemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCDBSYS", value);
    m_strDbSys = platform::Trim(value);
    m_nRelease = m_Connection.GetRelease();
}

void CSystemThread::OpenConnection() {
    ApplyRetention();
    // Steps after a failure are not done; the next AutoJoin pings, fails and reopens.
    const bool done = Reported(u"CSystemThread::OpenConnection", [this] {
        m_Connection.CallRfcOpen();
        GetServerList();
        StartServerThreads();
        StartRemoteThreads();
    });
    if (!done) m_Connection.CloseConnection();
}

void CSystemThread::ReopenConnection() {
    if (!m_bInitializing) {
        OpenConnection();
        return;
    }
    if (!Reported(u"CSystemThread::OpenConnection", [this] { m_Connection.CallRfcOpen(); }))
        m_Connection.CloseConnection();
}

void CSystemThread::OnEvent(size_t index) {
    switch (index) {
        case kJoinRequest:
            if (m_bQuarterTick.exchange(false)) {
                RotateIfDue();
                ApplyRetention();
            }
            AutoJoin();
            break;
        case kHostStatsRequest:
            GetHostStatistics();
            break;
        case kRemoteStatsRequest:
            GetRemoteStatistics();
            break;
        case kInstanceStatsRequest:
            GetInstanceStatistics();
            break;
        case kBufferStatsRequest:
            GetBufferStatistics();
            break;
        case kDialogStepRequest:
            GetDialogStepStatistics();
            break;
        default:
            break;
    }
}

void CSystemThread::OnStopping() {
    WriteSystemMessage(u"data capture stopped.");
}

void CSystemThread::LeaveOut(const std::u16string& name, const tagSERVERLIST& entry) {
    WriteSystemMessage(platform::Format(
        u"%s does not answer: the session starts without it and joins it when it answers.",
        name));
    auto probe = std::make_unique<CServerProbe>();
    GiveLogonData(probe->Connection(), ServerHost(entry), ServerSystemNumber(entry));
    m_Unreachable[name] = std::move(probe);
}

void CSystemThread::ProbeUnreachable() {
    for (auto it = m_Unreachable.begin(); it != m_Unreachable.end();) {
        CServerProbe& probe = *it->second;
        if (probe.GetState() == CServerProbe::kAnswered) {
            WriteSystemMessage(platform::Format(u"%s answers now: joining it.", it->first));
            it = m_Unreachable.erase(it);
            continue;
        }
        probe.Start();  // unless the last check still runs
        ++it;
    }
}

void CSystemThread::AutoJoin() {
    Reported(u"CSystemThread::AutoJoin", [this] {
        ProbeUnreachable();
        CheckConnection();
        GetServerList();
        StartServerThreads();
    });
}

void CSystemThread::GetServerList() {
    m_ServerListCall.CallFunctionModule(m_Connection);
    ReadServerRows(m_ServerListCall, m_strOpSys == u"Windows NT", m_ServerList);
    if (m_pMetrics)
        m_pMetrics->SetServerCount(platform::ToUtf8(m_strSystemId), m_ServerList.size());
}

void CSystemThread::StartServerThreads() {
    for (const tagSERVERLIST& entry : ServerList(m_ServerList)) {
        const std::u16string name = ServerName(entry), host = ServerHost(entry),
                             number = ServerSystemNumber(entry);
        if (m_Unreachable.count(name) != 0) continue;
        AddInstanceThread(name, host, number, ServerServices(entry));
        AddHostThread(name, host, number);
    }
}

void CSystemThread::StartRemoteThreads() {
    for (const tagREMOTELIST& entry : RemoteList(m_RemoteList))
        AddRemoteThread(RemoteDestination(entry), RemoteSystem(entry), RemoteGateway(entry));
}

void CSystemThread::GiveLogonData(CRfcConnection& target, const std::u16string& host,
                                  const std::u16string& systemNumber) {
    std::u16string hostName, number, client, user, password, language, domain, router;
    m_Connection.GetLogonData(hostName, number, client, user, password, language, domain, router);
    target.SetLogonData(host, systemNumber, client, user, password, language, domain, router);
}

void CSystemThread::AddInstanceThread(const std::u16string& name, const std::u16string& host,
                                      const std::u16string& systemNumber,
                                      const std::u16string& services) {
    std::lock_guard lock(m_InstanceLock);
    if (m_InstanceThreads.count(name) != 0) return;
    auto& thread = m_InstanceThreads[name];
    thread = std::make_unique<CInstanceThread>(MakeServerEntry(name, host, systemNumber, services),
                                               m_strSessionDir);
    GiveLogonData(thread->Connection(), host, systemNumber);
    thread->SetResumeFolder(m_strResumeFolder);
    thread->Metrics().Attach(m_pMetrics, metrics::SourceKind::Instance,
                             {m_strSystemId, name, host});
    thread->Start();  // a failing Initialize leaves it in the table without a worker
    thread->SetOpenRequest();
    thread->SetEvent(CInstanceThread::kProfileRequest);
    thread->SetEvent(CInstanceThread::kWorkProcessRequest);
    thread->SetEvent(CInstanceThread::kStorageRequest);
}

void CSystemThread::AddHostThread(const std::u16string& name, const std::u16string& host,
                                  const std::u16string& systemNumber) {
    std::lock_guard lock(m_HostLock);
    if (m_HostThreads.count(name) != 0) return;
    auto& thread = m_HostThreads[name];
    thread = std::make_unique<CHostThread>();
    GiveLogonData(thread->Connection(), host, systemNumber);
    thread->Configure(m_strSessionDir, name, host, systemNumber);
    thread->Metrics().Attach(m_pMetrics, metrics::SourceKind::Host, {m_strSystemId, name, host});
    thread->Start();
    thread->SetOpenRequest();
    thread->SetEvent(CHostThread::kHardwareRequest);
    thread->SetEvent(CHostThread::kEnvironmentRequest);
}

void CSystemThread::AddRemoteThread(const std::u16string& destination, const std::u16string& system,
                                    const std::u16string& gateway) {
    std::lock_guard remoteLock(m_RemoteLock);
    const std::u16string key =
        system.empty() ? destination : platform::Format(u"%s(%s)", destination, system);
    if (m_RemoteThreads.count(key) != 0) return;
    auto& thread = m_RemoteThreads[key];
    thread = std::make_unique<CRemoteThread>();
    std::lock_guard instanceLock(m_InstanceLock);
    auto gatewayThread = m_InstanceThreads.find(gateway);
    // Without its gateway's instance thread the entry stays unconfigured and never starts.
    if (gatewayThread == m_InstanceThreads.end()) return;
    const CInstanceThread& instance = *gatewayThread->second;
    GiveLogonData(thread->Connection(), instance.Host(), instance.SystemNumber());
    thread->Configure(m_strSessionDir, gateway, destination, system, instance.SystemNumber());
    thread->Metrics().Attach(m_pMetrics, metrics::SourceKind::Remote,
                             {m_strSystemId, gateway, key});
    thread->Start();
    thread->SetOpenRequest();
}

template <typename Visit>
void CSystemThread::Dispatch(std::mutex& lock, const char16_t* routine, Visit visit) {
    Reported(routine, [&] {
        std::lock_guard guard(lock);
        visit();
    });
}

void CSystemThread::GetHostStatistics() {
    // One host thread per distinct host: that of the first server listed on it.
    Dispatch(m_HostLock, u"CSystemThread::GetHostStatistics", [this] {
        std::vector<std::u16string> chosenHosts;
        for (const tagSERVERLIST& entry : m_ServerList) {
            const std::u16string host = ServerHost(entry);
            if (std::find(chosenHosts.begin(), chosenHosts.end(), host) != chosenHosts.end())
                continue;
            chosenHosts.push_back(host);
            auto thread = m_HostThreads.find(ServerName(entry));
            if (thread != m_HostThreads.end())
                thread->second->SetEvent(CHostThread::kHostStatsRequest);
        }
    });
}

void CSystemThread::GetRemoteStatistics() {
    Dispatch(m_RemoteLock, u"CSystemThread::GetRemoteStatistics", [this] {
        for (auto& [key, thread] : m_RemoteThreads)
            for (const tagSERVERLIST& entry : m_ServerList)
                if (platform::Trim(thread->ServerName()) == ServerName(entry))
                    thread->SetEvent(CHostThread::kHostStatsRequest);
    });
}

void CSystemThread::SignalInstanceThreads(const char16_t* routine, size_t event) {
    Dispatch(m_InstanceLock, routine, [this, event] {
        for (const tagSERVERLIST& entry : m_ServerList) {
            auto thread = m_InstanceThreads.find(ServerName(entry));
            if (thread != m_InstanceThreads.end()) thread->second->SetEvent(event);
        }
    });
}

void CSystemThread::GetInstanceStatistics() {
    WatchDiskSpace();
    SignalInstanceThreads(u"CSystemThread::GetInstanceStatistics",
                          CInstanceThread::kInstanceStatsRequest);
}

void CSystemThread::GetBufferStatistics() {
    SignalInstanceThreads(u"CSystemThread::GetBufferStatistics",
                          CInstanceThread::kBufferStatsRequest);
}

void CSystemThread::GetDialogStepStatistics() {
    WatchDiskSpace();
    // Paused: the windows stay where they are and the next capture reads them whole.
    if (m_DiskGuard.Paused()) return;
    SignalInstanceThreads(u"CSystemThread::GetDialogStepStatistics",
                          CInstanceThread::kDialogStepRequest);
}

std::u16string CSystemThread::DataDirectory() const {
    std::u16string_view folder = m_strSessionDir;
    while (!folder.empty() && folder.back() == platform::kPathSeparator) folder.remove_suffix(1);
    return platform::SplitPath(folder).directory;
}

void CSystemThread::RotateIfDue() {
    if (m_Rotation == RotationPeriod::None) return;
    const platform::DateTime now = platform::CurrentLocalTime();
    const int64_t period = PeriodIndex(now, m_Rotation);
    if (period == m_nFolderPeriod) return;
    // A folder that cannot be made keeps the session where it is; the next
    // quarter hour tries again.
    Reported(u"CSystemThread::RotateFolder", [&] { RotateFolder(now, period); });
}

void CSystemThread::RotateFolder(const platform::DateTime& now, int64_t period) {
    const std::u16string folder = SessionFolderPath(DataDirectory(), now, m_strSystemId);
    const int rc = platform::MakeDirectory(folder);
    if (rc != 0 && !(rc == EEXIST && platform::DirectoryExists(folder)))
        ThrowCollectorException(platform::Format(
            u"invalid path - unable to create directory %s: %s", folder, platform::ErrnoText(rc)));
    WriteSystemMessage(platform::Format(u"continued in %s", folder));
    const std::u16string previous = m_strSessionDir;
    SetFolderPaths(folder);
    Reported(u"CSystemThread::WriteRunMarker",
             [this] { WriteRunMarker(m_strSessionDir, m_strSystemId); });
    RemoveRunMarker(previous, m_strSystemId);
    m_nFolderPeriod = period;
    WriteSystemMessage(platform::Format(u"created directory  %s", folder));
    Reported(u"CSystemThread::GetPcInformation", [this] { GetPcInformation(); });
    Reported(u"CSystemThread::GetSoftwareInformation", [this] {
        CheckConnection();
        GetSoftwareInformation();
    });
    Reported(u"CSystemThread::WriteSystemFile", [this] { WriteSystemFile(); });
    // Each thread takes the folder before its next capture: those of this tick.
    {
        std::lock_guard lock(m_InstanceLock);
        for (auto& [name, thread] : m_InstanceThreads) thread->MoveToFolder(folder);
    }
    {
        std::lock_guard lock(m_RemoteLock);
        for (auto& [name, thread] : m_RemoteThreads) thread->MoveToFolder(folder);
    }
    {
        std::lock_guard lock(m_HostLock);
        for (auto& [name, thread] : m_HostThreads) thread->MoveToFolder(folder);
    }
}

void CSystemThread::ApplyRetention() {
    if (!m_Retention.Any()) return;
    Reported(u"CSystemThread::ApplyRetention", [this] {
        if (!m_pRetention)
            m_pRetention = std::make_unique<FolderRetention>(m_strSystemId, m_Retention);
        m_pRetention->Apply(DataDirectory(), m_strSessionDir, platform::CurrentTimeSource()->Now(),
                            [this](const std::u16string& line) { WriteSystemMessage(line); });
    });
}

void CSystemThread::WatchDiskSpace() {
    Reported(u"CSystemThread::WatchDiskSpace", [this] {
        const std::u16string dataDir = DataDirectory();
        const DiskGuard::Change change =
            m_DiskGuard.Check(dataDir.empty() ? m_strSessionDir : dataDir);
        if (change != DiskGuard::Change::None)
            WriteSystemMessage(m_DiskGuard.Message(change, dataDir));
        const DiskGuard::Reading& reading = m_DiskGuard.Last();
        if (m_pMetrics && reading.known)
            m_pMetrics->SetStorage(
                platform::ToUtf8(m_strSystemId),
                {reading.availableBytes, platform::FilesBytes(m_strSessionDir), reading.paused});
    });
}

size_t CSystemThread::InstanceThreadCount() {
    std::lock_guard lock(m_InstanceLock);
    return m_InstanceThreads.size();
}

size_t CSystemThread::HostThreadCount() {
    std::lock_guard lock(m_HostLock);
    return m_HostThreads.size();
}

size_t CSystemThread::RemoteThreadCount() {
    std::lock_guard lock(m_RemoteLock);
    return m_RemoteThreads.size();
}

bool CSystemThread::HasRemoteThread(const std::u16string& key) {
    std::lock_guard lock(m_RemoteLock);
    return m_RemoteThreads.count(key) != 0;
}
