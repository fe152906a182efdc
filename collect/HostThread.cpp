#include "collect/HostThread.h"

#include "collect/core/CatchConvention.h"
#include "collect/core/RecordAppend.h"
#include "collect/host/HostFigures.h"
#include "collect/host/HostFiles.h"
#include "collect/host/RemoteIdentity.h"
#include "collect/host/SaposcolRows.h"
#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/catalogue/ControlPerfRequest.h"
#include "rfc/catalogue/SmonReadHardwareDescrFile.h"
#include "rfc/catalogue/ThEnvironment.h"

namespace {

constexpr std::u16string_view kSystemExport = u"E_RFCSI_EXPORT";
// CONTROL_PERF_REQUEST: the name of the host's hardware description file.
constexpr int32_t kHardwareDescrFileRequest = 112;

// The rows' text field, one line per row.
std::vector<std::u16string> TableLines(CTableRfc& call, std::u16string_view field) {
    std::vector<std::u16string> lines;
    const int rows = call.GetRowCount();
    for (int i = 1; i <= rows; ++i) {
        std::u16string line;
        if (const void* row = call.GetRow(i)) call.GetTableField(call.TableKey(), field, row, line);
        lines.push_back(std::move(line));
    }
    return lines;
}

template <size_t N>
void CopyExportField(CBaseRfc& call, std::u16string_view field, char16_t (&out)[N]) {
    call.GetExportField(kSystemExport, field, out, sizeof out);
}

}  // namespace

CHostThread::CHostThread() {
    AddEvent();  // kHardwareRequest
    AddEvent();  // kEnvironmentRequest
    AddEvent();  // kHostStatsRequest
}

CHostThread::~CHostThread() {
    EndThread();
}

void CHostThread::Configure(std::u16string sessionDir, std::u16string serverName,
                            std::u16string host, std::u16string systemNumber) {
    m_strSessionDir = std::move(sessionDir);
    m_strServerName = std::move(serverName);
    m_strHost = std::move(host);
    m_strSystemNumber = std::move(systemNumber);
}

void CHostThread::Configure(const tagSERVERLIST& entry, std::u16string sessionDir) {
    Configure(std::move(sessionDir), ::ServerName(entry), ServerHost(entry),
              ServerSystemNumber(entry));
}

void CHostThread::BuildPaths() {
    m_Paths = MakeHostPaths(m_strSessionDir, m_strHost);
}

void CHostThread::Initialize() {
    BuildPaths();
    m_Connection.CallRfcOpen();

    m_SystemInfo.CallFunctionModule(m_Connection);
    m_SystemInfo.GetExportField(kSystemExport, u"RFCOPSYS", m_strOpSys);
    m_nRelease = m_Connection.GetRelease();

    PrepareStatistics();

    HostControlRecord& record = m_ControlRecord;
    record = HostControlRecord{};
    platform::CopyToField(record.name, m_strHost);
    CopyExportField(m_SystemInfo, u"RFCIPADDR", record.ipAddress);
    platform::CopyToField(record.vendor, VendorText(m_strOpSys));
    platform::CopyToField(record.opSys, m_strOpSys);
    CopyExportField(m_SystemInfo, u"RFCCHARTYP", record.charType);
    CopyExportField(m_SystemInfo, u"RFCINTTYP", record.intType);
    CopyExportField(m_SystemInfo, u"RFCFLOTYP", record.floatType);
    CopyExportField(m_SystemInfo, u"RFCMACH", record.machine);
    CopyExportField(m_SystemInfo, u"RFCDAYST", record.daylightSaving);
    int32_t timeZone = 0;  // the record is packed: no reference into it
    m_SystemInfo.GetExportField(kSystemExport, u"RFCTZONE", timeZone);
    record.timeZone = timeZone;
    WriteIdentityFiles();
    CloseConnection();
}

void CHostThread::WriteIdentityFiles() {
    if (!IsOmbrith()) WriteDiskControlFile(m_strHost);
    WriteHostControlFile(m_ControlRecord);
    m_Metrics.SetFiles(m_Paths.cpu, m_Paths.hostControl, m_strHost);
}

void CHostThread::EnterFolder(const std::u16string& folder) {
    WriteHostMessage(platform::Format(u"continued in %s", folder));
    m_strSessionDir = folder;
    BuildPaths();
    RunReported(
        u"CHostThread::EnterFolder", TrapStyle::Posted,
        [this] {
            CheckConnection();
            WriteIdentityFiles();
        },
        [this](const std::u16string& text) { WriteHostMessage(text); });
    WriteListings();
}

void CHostThread::WriteListings() {
    GetHardwareInformation();
    GetEnvironment();
}

CSpagAllRfc& CHostThread::PagingCall() {
    if (m_nRelease >= kOmbrithSpagRelease) return m_OmbrithSpagAll;
    return m_TarrowSpagAll;
}

void CHostThread::PrepareStatistics() {
    auto prepare = [this](CBaseRfc& call) {
        call.PrepareInterface(m_Connection);
        BindDestination(call);
    };
    if (IsOmbrith()) {
        prepare(PagingCall());
        return;
    }
    prepare(m_CpuAll);
    prepare(m_MemAll);
    prepare(m_DiskSingle);
    prepare(m_FsysSingle);
    prepare(m_TopSingle);
}

void CHostThread::WriteDiskControlFile(std::u16string_view key) {
    if (ControlFileHasName(m_Paths.diskControl, sizeof(DiskControlRecord), key)) return;
    m_DiskSingle.CallFunctionModule(m_Connection);
    std::vector<DiskControlRecord> records;
    const int rows = m_DiskSingle.GetRowCount();
    for (int i = 1; i <= rows; ++i) {
        std::u16string name = ReadDiskFigures(m_DiskSingle, i).name;
        CleanFileName(name);
        DiskControlRecord& record = records.emplace_back();
        record = DiskControlRecord{};
        platform::CopyToField(record.host, key);
        platform::CopyToField(record.diskName, name);
    }
    // Created also for a host without disks, so the session has the file the reduction reads.
    AppendToControlFile(m_Paths.diskControl, records.data(),
                        records.size() * sizeof(DiskControlRecord));
}

void CHostThread::WriteHostControlFile(HostControlRecord record) {
    const std::u16string name = platform::FieldText(record.name);
    if (ControlFileHasName(m_Paths.hostControl, sizeof record, name)) return;
    if (!IsOmbrith()) FillStorageFigures(record);
    AppendToControlFile(m_Paths.hostControl, &record, sizeof record);
}

void CHostThread::FillStorageFigures(HostControlRecord& record) {
    m_MemAll.CallFunctionModule(m_Connection);
    const MemoryFigures memory = ReadMemoryFigures(m_MemAll, 1);
    m_FsysSingle.CallFunctionModule(m_Connection);
    std::vector<int32_t> capacities;
    const int rows = m_FsysSingle.GetRowCount();
    for (int i = 1; i <= rows; ++i) capacities.push_back(ReadFileSystemCapacity(m_FsysSingle, i));
    FillStorage(record, memory, capacities);
}

void CHostThread::OnEvent(size_t index) {
    switch (index) {
        case kHardwareRequest:
            GetHardwareInformation();
            break;
        case kEnvironmentRequest:
            GetEnvironment();
            break;
        case kHostStatsRequest:
            GetHostStatistics();
            break;
        default:
            break;
    }
}

void CHostThread::OpenConnection() {
    RunReported(
        u"CHostThread::OpenConnection", TrapStyle::Posted,
        m_Metrics.Timed(u"CHostThread::OpenConnection", [this] { m_Connection.CallRfcOpen(); }),
        [this](const std::u16string& text) {
            WriteHostMessage(text);
            CloseConnection();
        });
}

std::u16string CHostThread::CallControlPerfRequest(int32_t requestType,
                                                   std::u16string_view param1) {
    CControlPerfRequest request;
    request.PrepareInterface(m_Connection);
    BindDestination(request);
    request.SetImport(u"I_REQUEST_TYP", requestType);
    request.SetImport(u"I_REQUEST_ID", int32_t{-1});
    request.SetImport(u"I_REQUEST_MODE", std::u16string_view(u"S"));
    if (!param1.empty()) request.SetImport(u"I_REQUEST_PARAM1", param1);
    request.CallFunctionModule(m_Connection);
    std::u16string reply;
    request.GetExport(u"E_REQUEST_PARAM1", reply);
    return reply;
}

void CHostThread::ReadHardwareDescrFileName() {
    m_strHardwareDescrFile.clear();
    try {
        m_strHardwareDescrFile = CallControlPerfRequest(kHardwareDescrFileRequest, {});
    } catch (...) {
        // A host without a description file simply gets no listing.
        m_strHardwareDescrFile.clear();
        CheckConnection();
    }
}

void CHostThread::GetHardwareInformation() {
    if (m_Paths.hardware.empty()) return;  // remote threads keep no listings
    RunReported(
        u"CHostThread::GetHardwareInformation", TrapStyle::Posted,
        [this] {
            WriteHostMessage(u"capturing hardware information.");
            CheckConnection();
            ReadHardwareDescrFileName();
            if (m_strHardwareDescrFile.empty()) return;
            WriteHostMessage(
                platform::Format(u"reading hardware information file: %s", m_strHardwareDescrFile));
            CSmonReadHardwareDescrFile descriptions;
            descriptions.PrepareInterface(m_Connection);
            descriptions.SetImport(u"I_FILE_NAME", std::u16string_view(m_strHardwareDescrFile));
            descriptions.CallFunctionModule(m_Connection);
            WriteTextListing(m_Paths.hardware, TableLines(descriptions, u"DESCR"));
        },
        [this](const std::u16string& text) { WriteHostMessage(text); });
}

void CHostThread::GetEnvironment() {
    if (m_Paths.environment.empty()) return;
    RunReported(
        u"CHostThread::GetEnvironment", TrapStyle::Posted,
        [this] {
            WriteHostMessage(u"capturing environment.");
            CheckConnection();
            CThEnvironment environment;
            environment.CallFunctionModule(m_Connection);
            WriteTextListing(m_Paths.environment, TableLines(environment, u"LINE"));
        },
        [this](const std::u16string& text) { WriteHostMessage(text); });
}

void CHostThread::GetHostStatistics() {
    RunReported(
        u"CHostThread::GetHostStatistics", TrapStyle::Posted,
        m_Metrics.Timed(u"CHostThread::GetHostStatistics", [this] { CaptureHostStatistics(); }),
        [this](const std::u16string& text) { WriteHostMessage(text); });
    // A request that arrived during the capture is dropped, also after a
    // failure, so a slow host does not capture twice in a row.
    ResetEvent(kHostStatsRequest);
}

void CHostThread::CaptureHostStatistics() {
    WriteHostMessage(u"capturing host statistics.");
    CheckConnection();

    HostCpuRecord cpu{};
    cpu.time = platform::OleDate::FromDateTime(platform::CurrentLocalTime()).Value();
    if (IsOmbrith()) {
        CSpagAllRfc& paging = PagingCall();
        paging.CallFunctionModule(m_Connection);
        if (paging.GetRowCount() > 0) FillPaging(cpu, ReadPagingFigures(paging, 1));
    } else {
        m_CpuAll.CallFunctionModule(m_Connection);
        if (m_CpuAll.GetRowCount() > 0) FillCpu(cpu, ReadCpuFigures(m_CpuAll, 1));
        m_MemAll.CallFunctionModule(m_Connection);
        if (m_MemAll.GetRowCount() > 0) FillMemory(cpu, ReadMemoryFigures(m_MemAll, 1));
        CaptureDisks(cpu);
    }
    if (const int64_t cut = AppendRecord(m_Paths.cpu, cpu); cut > 0)
        WriteHostMessage(TailCutMessage(m_Paths.cpu, cut));

    m_Processes.clear();
    if (!IsOmbrith()) {
        m_TopSingle.CallFunctionModule(m_Connection);
        const int rows = m_TopSingle.GetRowCount();
        for (int i = 1; i <= rows; ++i) m_Processes.push_back(ReadTopProcess(m_TopSingle, i));
    }
    WriteProcessSnapshot(m_Paths.process, m_Processes);
}

void CHostThread::CaptureDisks(HostCpuRecord& cpu) {
    m_DiskSingle.CallFunctionModule(m_Connection);
    DiskTotals totals;
    const int rows = m_DiskSingle.GetRowCount();
    for (int i = 1; i <= rows; ++i) {
        DiskFigures disk = ReadDiskFigures(m_DiskSingle, i);
        const HostDiskRecord record = MakeDiskRecord(cpu.time, disk);
        totals.Add(record);
        CleanFileName(disk.name);
        const std::u16string path = m_Paths.DiskFile(disk.name);
        if (const int64_t cut = AppendRecord(path, record); cut > 0)
            WriteHostMessage(TailCutMessage(path, cut));
    }
    totals.FillCpu(cpu);
}

void CHostThread::WriteHostMessage(std::u16string_view text) noexcept {
    WriteThreadMessage(
        WM_HOST_MESSAGE, m_Paths.log, text,
        [this](const std::u16string& stamp, std::u16string_view line) {
            if (m_strSystem.empty())
                return platform::Format(u"%s : %s : %s", stamp, m_strHost, line);
            return platform::Format(u"%s : %s(%s) : %s", stamp, m_strHost, m_strSystem, line);
        },
        u"CHostThread::WriteHostMessage() low-level exception trapped.");
}
