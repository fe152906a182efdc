#include "collect/InstanceThread.h"

#include "collect/core/CatchConvention.h"
#include "collect/core/RecordAppend.h"
#include "collect/instance/CapturePosition.h"
#include "collect/instance/InstanceFiles.h"
#include "collect/instance/InstanceRecordRules.h"
#include "collect/instance/TransferGate.h"
#include "platform/Directory.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/TimeFormat.h"
#include "rfc/RfcException.h"

CInstanceThread::CInstanceThread(const tagSERVERLIST& server, std::u16string sessionDir)
    : m_strSessionDir(std::move(sessionDir)),
      m_strName(ServerName(server)),
      m_strHost(ServerHost(server)),
      m_strSystemNumber(ServerSystemNumber(server)),
      m_strServices(ServerServices(server)) {
    for (size_t i = kProfileRequest; i <= kDialogStepRequest; ++i) AddEvent();
}

CInstanceThread::~CInstanceThread() {
    EndThread();
    CloseConnection();
}

void CInstanceThread::BuildPaths() {
    const auto path = [this](const char16_t* extension) {
        return platform::Format(u"%s%s.%s", m_strSessionDir, platform::FileNamePart(m_strName),
                                extension);
    };
    m_strLogFile = path(u"log");
    m_strControlFile = platform::Format(u"%sinstance.ctl", m_strSessionDir);
    m_strProfileFile = path(u"pfl");
    m_strDialogStepFile = path(u"dss");
    m_strWorkProcessFile = path(u"wp");
    m_strStorageFile = path(u"stg");
    m_strRequestQueueFile = path(u"drq");
    m_strMemoryFile = path(u"mem");
    m_strSummaryFile = path(u"sum");
    m_strTableFile = path(u"tbl");
    m_strBufferFile = path(u"buf");
    m_strTableQualityFile = path(u"tql");
    m_strCursorCacheFile = path(u"ccs");
    m_strPositionFile = path(u"pos");
}

void CInstanceThread::Initialize() {
    BuildPaths();
    m_Metrics.SetFiles(
        {m_strWorkProcessFile, m_strMemoryFile, m_strRequestQueueFile, m_strDialogStepFile});
    m_Connection.CallRfcOpen();
    m_SystemInfo.CallFunctionModule(m_Connection);
    m_Saprel.CallFunctionModule(m_Connection);
    m_GetParameter.CallFunctionModule(m_Connection);
    m_nRelease = m_Connection.GetRelease();

    m_ProfileParameters.PrepareInterface(m_Connection);
    m_SummaryStatistic.PrepareInterface(m_Connection);
    m_StatrecReadFile.PrepareInterface(m_Connection);
    m_RequestQueue.PrepareInterface(m_Connection);
    m_WpInfo.PrepareInterface(m_Connection);

    FixTimeOffset();
    ResumeFromUnfinishedFolder();
    const instfile::InstanceIdentity identity{m_strName, m_strHost, m_strServices};
    m_ControlRecord =
        instfile::BuildControlRecord(identity, m_SystemInfo, m_Saprel, m_GetParameter);
    instrec::EnsureControlRecord(m_strControlFile, m_strName, m_ControlRecord);
    CloseConnection();
}

void CInstanceThread::ResumeFromUnfinishedFolder() {
    if (m_strResumeFolder.empty()) return;
    const auto file = [this](const char16_t* extension) {
        return platform::Format(u"%s%s.%s", m_strResumeFolder, platform::FileNamePart(m_strName),
                                extension);
    };
    const std::optional<double> from =
        instfile::ResumeUnfinishedCapture(file(u"pos"), file(u"dss"));
    // Older than a day: the statistics file has likely moved on; the gap stays a gap.
    if (!from || *from >= m_dLastRead || *from < m_dLastRead - 1.0) return;
    m_dLastRead = *from;
    platform::DateTime since;
    platform::OleDate(*from).ToDateTime(since);
    WriteInstanceMessage(platform::Format(
        u"catching up the dialog steps since %s left by the unfinished session in %s",
        platform::FormatDateTime(u"%Y-%m-%d %H:%M:%S", since), m_strResumeFolder));
}

void CInstanceThread::EnterFolder(const std::u16string& folder) {
    WriteInstanceMessage(platform::Format(u"continued in %s", folder));
    m_strSessionDir = folder;
    BuildPaths();
    m_Metrics.SetFiles(
        {m_strWorkProcessFile, m_strMemoryFile, m_strRequestQueueFile, m_strDialogStepFile});
    RunReported(
        u"CInstanceThread::EnterFolder", TrapStyle::Posted,
        [this] { instrec::EnsureControlRecord(m_strControlFile, m_strName, m_ControlRecord); },
        [this](const std::u16string& text) { WriteInstanceMessage(text); });
    GetProfileParameters();
    GetWorkProcessInformation();
    CallSaptuneGetStorageInfos();
    WriteStorageInformation();
}

void CInstanceThread::FixTimeOffset() {
    m_dLastRead = instrec::LocalNowOle();
    platform::OleDate serverTime;
    if (m_nRelease < 47) {
        m_GetParameter.CallFunctionModule(m_Connection);
        std::u16string stamp;
        m_GetParameter.GetExport(u"E_FP_LASTCOLLWRT", stamp);
        serverTime = GetLastCollectorWriteTime(platform::Trim(stamp));
    } else {
        serverTime = GetRemoteTime();
    }
    // A stamp such as 31 February passes the field checks but names no day;
    // an offset from it would move every window by a century.
    if (!serverTime.IsValid())
        ThrowRfcDetailException(u"CInstanceThread::Initialize", u"invalid server time");
    m_dTimeOffset = m_dLastRead - serverTime.Value();
}

void CInstanceThread::WriteInstanceMessage(std::u16string_view text) noexcept {
    WriteThreadMessage(
        WM_INSTANCE_MESSAGE, m_strLogFile, text,
        [this](const std::u16string& stamp, std::u16string_view t) {
            return platform::Format(u"%s : %s : %s", stamp, m_strName, t);
        },
        u"CInstanceThread::WriteInstanceMessage() low-level exception trapped.");
}

template <typename Body>
bool CInstanceThread::Capture(const char16_t* routine, Body body) {
    return RunReported(routine, TrapStyle::Posted, m_Metrics.Timed(routine, body),
                       [this](const std::u16string& text) { WriteInstanceMessage(text); });
}

void CInstanceThread::OpenConnection() {
    Capture(u"CInstanceThread::OpenConnection", [this] { m_Connection.CallRfcOpen(); });
}

void CInstanceThread::OnEvent(size_t index) {
    switch (index) {
        case kProfileRequest:
            GetProfileParameters();
            break;
        case kWorkProcessRequest:
            GetWorkProcessInformation();
            break;
        case kStorageRequest:
            CallSaptuneGetStorageInfos();
            WriteStorageInformation();
            break;
        case kInstanceStatsRequest:
            GetMemoryStatistics();
            GetRequestQueueStatistics();
            ResetEvent(kInstanceStatsRequest);
            break;
        case kBufferStatsRequest:
            GetBufferStatistics();
            ResetEvent(kBufferStatsRequest);
            break;
        case kDialogStepRequest:
            GetDialogStepStatistics();
            ResetEvent(kDialogStepRequest);
            break;
        default:
            break;
    }
}

void CInstanceThread::GetProfileParameters() {
    Capture(u"CInstanceThread::GetProfileParameters", [this] {
        WriteInstanceMessage(u"capturing profile parameters");
        CheckConnection();
        m_ProfileParameters.CallFunctionModule(m_Connection);
        instfile::WriteProfileFile(m_ProfileParameters, m_strProfileFile);
        m_ProfileParameters.GiveBackTables();  // read once, at the start
    });
}

void CInstanceThread::GetWorkProcessInformation() {
    Capture(u"CInstanceThread::GetWorkProcessInformation", [this] {
        WriteInstanceMessage(u"capturing work process information.");
        CheckConnection();
        m_WpInfo.CallFunctionModule(m_Connection);  // sets I_WITH_CPU to "01" first
        instfile::WriteWorkProcessFile(m_WpInfo, m_strWorkProcessFile);
        m_WpInfo.GiveBackTables();
    });
}

void CInstanceThread::CallSaptuneGetStorageInfos() {
    Capture(u"CInstanceThread::CallSaptuneGetStorageInfos", [this] {
        WriteInstanceMessage(u"capturing storage information.");
        CheckConnection();
        m_StorageInfos.CallFunctionModule(m_Connection);
    });
}

void CInstanceThread::WriteStorageInformation() {
    // Runs after a failed call too and then records what the exports hold.
    Capture(u"CInstanceThread::WriteStorageInformation",
            [this] { instfile::WriteStorageFile(m_StorageInfos, m_strStorageFile); });
}

void CInstanceThread::GetMemoryStatistics() {
    Capture(u"CInstanceThread::GetMemoryStatistics", [this] {
        WriteInstanceMessage(u"capturing instance statistics.");
        CheckConnection();
        m_SummaryStatistic.CallFunctionModule(m_Connection);
        ReportTailCut(m_strMemoryFile,
                      instfile::AppendMemoryRecord(m_SummaryStatistic, m_strMemoryFile));
    });
}

void CInstanceThread::GetRequestQueueStatistics() {
    Capture(u"CInstanceThread::GetRequestQueueStatistics", [this] {
        CheckConnection();
        m_RequestQueue.CallFunctionModule(m_Connection);
        ReportTailCut(m_strRequestQueueFile,
                      instfile::AppendRequestQueueRecord(m_RequestQueue, m_strRequestQueueFile));
    });
}

void CInstanceThread::GetBufferStatistics() {
    // No call: the files record the last instance-statistics result.
    Capture(u"CInstanceThread::GetBufferStatistics", [this] {
        WriteInstanceMessage(u"capturing buffer statistics.");
        instfile::WriteSummaryFile(m_SummaryStatistic, m_strSummaryFile);
        instfile::WriteTableStatisticFile(m_SummaryStatistic, m_strTableFile);
        instfile::WriteBufferStatisticFile(m_SummaryStatistic, m_strBufferFile);
        instfile::WriteTableQualityFile(m_SummaryStatistic, m_strTableQualityFile);
        instfile::WriteCursorCacheFile(m_SummaryStatistic, m_strCursorCacheFile);
    });
}

void CInstanceThread::GetDialogStepStatistics() {
    Capture(u"CInstanceThread::GetDialogStepStatistics", [this] {
        WriteInstanceMessage(u"capturing dialog step statistics");
        CheckConnection();
        const double now = instrec::LocalNowOle();
        // Holds a place while the window's table is in memory.
        const instfile::TransferGate::Pass pass = instfile::TransferGate::DialogSteps().Enter();
        const uint32_t steps = ReadDialogStepWindow(m_dLastRead, now, 0);
        WriteInstanceMessage(platform::Format(u"captured statistics for %u dialog steps.", steps));
    });
}

void CInstanceThread::ReportTailCut(const std::u16string& path, int64_t bytes) {
    if (bytes > 0) WriteInstanceMessage(TailCutMessage(path, bytes));
}

uint32_t CInstanceThread::ReadDialogStepWindow(double from, double to, int depth) {
    // Halves of a second are not split further: such a window's reply is
    // past any sensible bound anyway.
    constexpr double kSmallestWindow = 1.0 / 86400;
    constexpr int kDeepestSplit = 24;
    std::u16string startDate, startTime, endDate, endTime;
    instrec::FormatServerTime(from, m_dTimeOffset, startDate, startTime);
    instrec::FormatServerTime(to, m_dTimeOffset, endDate, endTime);
    CSapwlStatrecReadFile& call = m_StatrecReadFile;
    call.SetImport(u"I_READ_START_DATE", std::u16string_view(startDate));
    call.SetImport(u"I_READ_START_TIME", std::u16string_view(startTime));
    call.SetImport(u"I_READ_END_DATE", std::u16string_view(endDate));
    call.SetImport(u"I_READ_END_TIME", std::u16string_view(endTime));
    if (m_nRelease > 46) call.SetImport(u"I_READ_CONTINUE_RECORDNO", int32_t{0});
    try {
        call.CallFunctionModule(m_Connection);
    } catch (const CRfcException& e) {
        if (e.m_strKey != RFC_KEY_REPLY_TOO_LARGE || to - from < 2 * kSmallestWindow ||
            depth >= kDeepestSplit)
            throw;
        // The bound closed the connection; the window is read in halves.
        call.FreeTables();
        m_Connection.CallRfcOpen();
        const double middle = from + (to - from) / 2;
        const uint32_t first = ReadDialogStepWindow(from, middle, depth + 1);
        return first + ReadDialogStepWindow(middle, to, depth + 1);
    }
    int32_t forward = 0;
    call.GetExport(u"E_CONTINUE_RECORDNO_FORWARD", forward);
    if (forward == -1) {
        call.SetImport(u"I_READ_CONTINUE_RECORDNO", int32_t{0});
        call.CallFunctionModule(m_Connection);
    }
    call.SetImport(u"I_READ_CONTINUE_RECORDNO", forward);

    // On a failure the window stays where it was and the next capture reads it again.
    // The position before and after: a kill in between leaves what to cut and re-read.
    const instfile::AppendedSteps appended = instfile::AppendDialogSteps(
        call, m_strDialogStepFile, m_dTimeOffset, [this, from](int64_t length) {
            instfile::WriteCapturePosition(m_strPositionFile, {length, from});
        });
    call.FreeTables();
    ReportTailCut(m_strDialogStepFile, appended.tailCut);
    // The steps are written: the window advances over them, part by part, even
    // when the new position cannot be written; the old one still names bytes
    // and a time that agree.
    m_dLastRead = to;
    RunReported(
        u"CInstanceThread::WriteCapturePosition", TrapStyle::Posted,
        [&] { instfile::WriteCapturePosition(m_strPositionFile, {appended.length, to}); },
        [this](const std::u16string& text) { WriteInstanceMessage(text); });
    return appended.steps;
}
