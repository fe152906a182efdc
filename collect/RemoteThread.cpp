#include "collect/RemoteThread.h"

#include "collect/host/RemoteIdentity.h"
#include "platform/FixedText.h"
#include "rfc/RfcException.h"
#include "rfc/catalogue/GetConfigDefined.h"

CRemoteThread::~CRemoteThread() {
    EndThread();
}

void CRemoteThread::Configure(std::u16string sessionDir, std::u16string gatewayName,
                              std::u16string destination, std::u16string system,
                              std::u16string systemNumber) {
    if (destination.size() > kDestinationWidth) destination.resize(kDestinationWidth);
    if (system.size() > kSystemWidth) system.resize(kSystemWidth);
    CHostThread::Configure(std::move(sessionDir), std::move(gatewayName), std::move(destination),
                           std::move(systemNumber));
    m_strSystem = std::move(system);
}

void CRemoteThread::Configure(const tagREMOTELIST& entry, std::u16string sessionDir,
                              std::u16string gatewaySystemNumber) {
    Configure(std::move(sessionDir), RemoteGateway(entry), RemoteDestination(entry),
              RemoteSystem(entry), std::move(gatewaySystemNumber));
}

void CRemoteThread::BuildPaths() {
    m_Paths = MakeRemotePaths(m_strSessionDir, m_strHost, m_strSystem);
}

void CRemoteThread::BindDestination(CBaseRfc& call) {
    call.SetImport(u"I_LOCAL_REMOTE", std::u16string_view(m_strLocalRemote));
    call.SetImport(u"I_LOGICAL_DESTINATION", std::u16string_view(m_strHost));
    if (&call == &m_OmbrithSpagAll) call.SetImport(u"I_SYSTEM_ID", int32_t{m_nSystemId});
}

void CRemoteThread::Initialize() {
    BuildPaths();
    m_strLocalRemote = LocalRemoteMode(m_strHost);
    m_Connection.CallRfcOpen();

    m_SystemInfo.CallFunctionModule(m_Connection);
    m_SystemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCDBSYS", m_strDbSys);
    m_nRelease = m_Connection.GetRelease();
    ReadOperatingSystem();
    ReadSystemId();

    PrepareStatistics();
    WriteIdentityFiles();
    CloseConnection();
}

void CRemoteThread::WriteIdentityFiles() {
    if (!IsOmbrith()) {
        try {
            WriteDiskControlFile(m_strHost);
        } catch (const CRfcException&) {
            // The destination does not answer: its disks are not known yet.
            // The thread still starts and reports each minute's failure.
            CheckConnection();
        }
    }

    // RFC_SYSTEM_INFO describes the gateway instance, not the database
    // server, so its fields stay empty here.
    HostControlRecord record{};
    platform::CopyToField(record.name, RemoteName(m_strHost, m_strSystem));
    platform::CopyToField(record.vendor, VendorText(m_strOpSys));
    platform::CopyToField(record.opSys, m_strOpSys);
    WriteHostControlFile(record);
    m_Metrics.SetFiles(m_Paths.cpu, m_Paths.hostControl, RemoteName(m_strHost, m_strSystem));
}

void CRemoteThread::FillStorageFigures(HostControlRecord& record) {
    try {
        CHostThread::FillStorageFigures(record);
    } catch (const CRfcException&) {
        CheckConnection();
    }
}

void CRemoteThread::ReadOperatingSystem() {
    std::u16string reported;
    try {
        CGetConfigDefined config;
        config.PrepareInterface(m_Connection);
        BindDestination(config);
        config.CallFunctionModule(m_Connection);
        config.GetExport(u"E_FP_OPSYSTEM", reported);
    } catch (...) {
        // A destination that does not answer falls back on the database.
        reported.clear();
        CheckConnection();
    }
    m_strOpSys = NormaliseOperatingSystem(reported, m_strDbSys);
}

void CRemoteThread::ReadSystemId() {
    m_nSystemId = 0;
    try {
        m_nSystemId =
            ClavernSystemId(CallControlPerfRequest(kClavernRequest, u"CLAVERN"), m_strSystem);
    } catch (...) {
        m_nSystemId = 0;
        CheckConnection();
    }
}
