// The collection thread of one application server (instance): its own RFC
// connection to that server, one call object per function module, and nine
// request events. Each request runs one capture: a call and the writing of
// one or more files in the session folder (collect/instance/InstanceFiles.h).
//
// How the system thread drives it: construct with the server-list entry and
// the session folder, give Connection() the system's logon data with this
// server's host and system number (SetLogonData), Start() (Initialize runs in
// the caller's thread and may throw), then set the open request and events
// kProfileRequest, kWorkProcessRequest and kStorageRequest once; later the
// schedule sets kInstanceStatsRequest every minute and kBufferStatsRequest
// and kDialogStepRequest at each quarter hour. Deleting it stops the worker
// after the capture in progress.
//
// Thread rules: Initialize runs in the owner's thread before the worker
// exists; afterwards only the worker touches the call objects and members.
// SetEvent may be called from any thread. The connection locks its calls.
#pragma once

#include <cstdint>
#include <string>

#include "collect/RfcThread.h"
#include "collect/ServerList.h"
#include "collect/metrics/InstanceMetrics.h"
#include "collect/records/InstanceRecords.h"
#include "rfc/catalogue/GetParameter.h"
#include "rfc/catalogue/PflGetServerParamValues.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/SaptuneGetStorageInfos.h"
#include "rfc/catalogue/SaptuneGetSummaryStatistic.h"
#include "rfc/catalogue/SapwlStatrecReadFile.h"
#include "rfc/catalogue/ThRequestQueue.h"
#include "rfc/catalogue/ThSaprel.h"
#include "rfc/catalogue/ThWpInfo.h"

class CInstanceThread : public CRfcThread {
  public:
    static constexpr size_t kProfileRequest = 3;
    static constexpr size_t kWorkProcessRequest = 4;
    static constexpr size_t kStorageRequest = 5;
    static constexpr size_t kInstanceStatsRequest = 6;
    static constexpr size_t kBufferStatsRequest = 7;
    static constexpr size_t kDialogStepRequest = 8;

    // sessionDir ends in the separator.
    CInstanceThread(const tagSERVERLIST& server, std::u16string sessionDir);
    ~CInstanceThread() override;

    void Initialize() override;
    void OpenConnection() override;

    // A session folder left by a collector that ended uncleanly (ending in the
    // separator): Initialize cuts a killed append there back and starts the
    // first window where that capture stood. Set before Start.
    void SetResumeFolder(std::u16string folder) { m_strResumeFolder = std::move(folder); }

    // The message writer: "%s : %s : %s" (time stamp, name, text).
    void WriteInstanceMessage(std::u16string_view text) noexcept;
    void WriteConnectionMessage(std::u16string_view text) override { WriteInstanceMessage(text); }

    const std::u16string& Name() const { return m_strName; }
    const std::u16string& Host() const { return m_strHost; }
    const std::u16string& SystemNumber() const { return m_strSystemNumber; }
    const std::u16string& LogFile() const { return m_strLogFile; }
    const std::u16string& SessionDir() const { return m_strSessionDir; }
    // The live figures; attached by the owner before Start.
    metrics::InstanceMetrics& Metrics() { return m_Metrics; }

  protected:
    void OnEvent(size_t index) override;
    // The new folder's log, instance.ctl, profile, work processes and storage.
    void EnterFolder(const std::u16string& folder) override;
    // Step 1 of Initialize: the thirteen file paths.
    void BuildPaths();

    // The captures, one per request.
    void GetProfileParameters();
    void GetWorkProcessInformation();
    void CallSaptuneGetStorageInfos();
    void WriteStorageInformation();
    void GetMemoryStatistics();
    void GetRequestQueueStatistics();
    void GetBufferStatistics();
    void GetDialogStepStatistics();
    // Reads the steps of [from, to) and appends them, advancing the window
    // over each part written; a window whose reply passes the reply bound is
    // read in halves, so that nothing is lost. The number of steps written.
    uint32_t ReadDialogStepWindow(double from, double to, int depth);

    // Runs body; a failure becomes a message (routine names the fixed text).
    template <typename Body>
    bool Capture(const char16_t* routine, Body body);
    // Local now minus the server's clock, by saposcol's stamp before 4.7.
    void FixTimeOffset();
    // From the unfinished folder's capture position, when within a day.
    void ResumeFromUnfinishedFolder();
    // A message when an append had to cut an incomplete last record first.
    void ReportTailCut(const std::u16string& path, int64_t bytes);

    std::u16string m_strSessionDir, m_strName, m_strHost, m_strSystemNumber, m_strServices;
    std::u16string m_strLogFile, m_strControlFile, m_strProfileFile, m_strDialogStepFile,
        m_strWorkProcessFile, m_strStorageFile, m_strRequestQueueFile, m_strMemoryFile,
        m_strSummaryFile, m_strTableFile, m_strBufferFile, m_strTableQualityFile,
        m_strCursorCacheFile, m_strPositionFile, m_strResumeFolder;
    int32_t m_nRelease = 0;
    instrec::ControlRecord m_ControlRecord{};  // written to each folder's instance.ctl
    double m_dLastRead = 0.0;                  // collector's local time read up to
    double m_dTimeOffset = 0.0;                // days: our clock minus the server's

    CRfcSystemInfo m_SystemInfo;
    CGetParameter m_GetParameter;
    CPflGetServerParamValues m_ProfileParameters;
    CSaptuneGetStorageInfosEx m_StorageInfos;
    CSaptuneGetSummaryStatisticEx m_SummaryStatistic;
    CSapwlStatrecReadFileEx m_StatrecReadFile;
    CThRequestQueue m_RequestQueue;
    CThSaprel m_Saprel;
    CThWpInfo m_WpInfo;
    metrics::InstanceMetrics m_Metrics;
};
