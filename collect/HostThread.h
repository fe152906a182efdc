// The host thread: the operating-system figures that saposcol gathers on
// the host of one application server, read through R/3. Once per thread it
// describes the host (host.ctl, disk.ctl, the .hw and .env listings); every
// minute it appends one CPU and memory record (.cpu) and one record per
// disk (.dsk) and rewrites the top-process snapshot (.ps).
//
// How the system thread drives it (one thread per server-list entry):
//
//   auto* t = new CHostThread;
//   t->Connection().SetLogonData(<system's logon data with the server's
//                                 host and system number>);
//   t->Configure(entry, sessionDir);   // or the four values one by one
//   t->Start();                 // Initialize runs here and may throw
//   t->SetOpenRequest();
//   t->SetEvent(CHostThread::kHardwareRequest);
//   t->SetEvent(CHostThread::kEnvironmentRequest);
//   ... every minute, for one host thread per distinct host:
//   t->SetEvent(CHostThread::kHostStatsRequest);
//   delete t;                   // stops the worker, closes the connection
//
// Events: 0 stop, 1 open, 2 check (CRfcThread), 3 hardware information,
// 4 environment, 5 host statistics.
//
// Thread rules: Configure and Initialize run in the owner's thread before
// the worker exists; afterwards the members and the call objects belong to
// the worker alone, and the owner only sets events. The accessors are for
// the owner before Start or after Initialize, and for tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "collect/RfcThread.h"
#include "collect/ServerList.h"
#include "collect/host/HostPaths.h"
#include "collect/metrics/HostMetrics.h"
#include "collect/records/HostRecords.h"
#include "rfc/catalogue/GetCpuAll.h"
#include "rfc/catalogue/GetDiskSingle.h"
#include "rfc/catalogue/GetFsysSingle.h"
#include "rfc/catalogue/GetMemAll.h"
#include "rfc/catalogue/GetOmbrithSpagAll.h"
#include "rfc/catalogue/GetTarrowSpagAll.h"
#include "rfc/catalogue/GetTopSingle.h"
#include "rfc/catalogue/RfcSystemInfo.h"

class CHostThread : public CRfcThread {
  public:
    static constexpr size_t kHardwareRequest = 3;
    static constexpr size_t kEnvironmentRequest = 4;
    static constexpr size_t kHostStatsRequest = 5;
    // The operating system whose figures come from the paging table.
    static constexpr std::u16string_view kOmbrith = u"OMBRITH";
    // From this release on, OMBRITH hosts are read with GET_OMBRITH_SPAG_ALL.
    static constexpr int kOmbrithSpagRelease = 46;

    CHostThread();
    ~CHostThread() override;

    // The server-list entry that created the thread; the session folder ends
    // in the separator.
    void Configure(std::u16string sessionDir, std::u16string serverName, std::u16string host,
                   std::u16string systemNumber);
    void Configure(const tagSERVERLIST& entry, std::u16string sessionDir);

    // Builds the paths, reads the host's identity, prepares the statistics
    // calls and adds the host's records to disk.ctl and host.ctl; throws.
    void Initialize() override;
    void OpenConnection() override;

    // The operations of events 3 to 5; each catches everything and reports
    // it as a host message.
    void GetHardwareInformation();
    void GetEnvironment();
    void GetHostStatistics();

    // "%s : %s : %s" (time stamp, host, text), or "%s : %s(%s) : %s" with
    // the system name; posted with WM_HOST_MESSAGE and appended to the log.
    void WriteHostMessage(std::u16string_view text) noexcept;
    void WriteConnectionMessage(std::u16string_view text) override { WriteHostMessage(text); }

    const std::u16string& SessionDir() const { return m_strSessionDir; }
    const std::u16string& ServerName() const { return m_strServerName; }
    const std::u16string& Host() const { return m_strHost; }
    const std::u16string& SystemNumber() const { return m_strSystemNumber; }
    const std::u16string& System() const { return m_strSystem; }
    const std::u16string& OpSys() const { return m_strOpSys; }
    const std::u16string& HardwareDescrFile() const { return m_strHardwareDescrFile; }
    int Release() const { return m_nRelease; }
    int SystemId() const { return m_nSystemId; }
    const HostPaths& Paths() const { return m_Paths; }
    bool IsOmbrith() const { return m_strOpSys == kOmbrith; }
    // The live figures; attached by the owner before Start.
    metrics::HostMetrics& Metrics() { return m_Metrics; }

  protected:
    void OnEvent(size_t index) override;
    // The new folder's log, disk.ctl and host.ctl entries and the listings.
    void EnterFolder(const std::u16string& folder) override;
    // Both listings (hardware, environment); none for a database server.
    virtual void WriteListings();

    virtual void BuildPaths();
    // disk.ctl and host.ctl entries and the figures' files: at the start and
    // in each new folder; throws.
    virtual void WriteIdentityFiles();
    // Called on every call object after its interface is read: a remote
    // thread passes its destination to saposcol here. Nothing for a host.
    virtual void BindDestination(CBaseRfc&) {}
    // Prepares the statistics calls for m_strOpSys and m_nRelease.
    void PrepareStatistics();
    // The call that reads an OMBRITH host, by release.
    CSpagAllRfc& PagingCall();
    // CONTROL_PERF_REQUEST with a fresh call object (mode "S", id -1, the
    // destination bound); returns E_REQUEST_PARAM1; throws.
    std::u16string CallControlPerfRequest(int32_t requestType, std::u16string_view param1);

    // Adds one record per disk named after key unless disk.ctl has the key.
    void WriteDiskControlFile(std::u16string_view key);
    // Adds the record unless host.ctl has its name; fills the memory and
    // file-system figures (not for OMBRITH) through the prepared calls.
    void WriteHostControlFile(HostControlRecord record);
    // The memory and file-system figures of host.ctl (GET_MEM_ALL,
    // GET_FSYS_SINGLE); throws.
    virtual void FillStorageFigures(HostControlRecord& record);

    std::u16string m_strSessionDir;
    std::u16string m_strServerName;
    std::u16string m_strHost;
    std::u16string m_strSystemNumber;
    std::u16string m_strSystem;
    HostPaths m_Paths;
    std::u16string m_strHardwareDescrFile;
    std::u16string m_strOpSys;
    int m_nRelease = 0;
    int m_nSystemId = 0;
    HostControlRecord m_ControlRecord{};  // host.ctl's record before its storage figures

    CRfcSystemInfo m_SystemInfo;
    CGetCpuAll m_CpuAll;
    CGetMemAll m_MemAll;
    CGetTarrowSpagAll m_TarrowSpagAll;
    CGetOmbrithSpagAll m_OmbrithSpagAll;
    CGetDiskSingle m_DiskSingle;
    CGetFsysSingle m_FsysSingle;
    CGetTopSingle m_TopSingle;
    metrics::HostMetrics m_Metrics;

  private:
    void CaptureHostStatistics();
    void CaptureDisks(HostCpuRecord& cpu);
    void ReadHardwareDescrFileName();

    std::vector<tagPS_STAT> m_Processes;
};
