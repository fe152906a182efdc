// The system thread's proof, before collection starts, that the system is
// ready: the RFC user's authorisations, every application server reachable
// with its saposcol data fresh, and every standalone database server's
// saposcol reachable through its gateway instance.
#include <array>

#include "collect/SystemThread.h"
#include "collect/UserInterface.h"
#include "collect/core/CatchConvention.h"
#include "collect/core/CollectorException.h"
#include "collect/host/RemoteIdentity.h"
#include "collect/system/SaposcolSums.h"
#include "collect/system/SaposcolTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/catalogue/ControlPerfRequest.h"
#include "rfc/catalogue/GetConfigDefined.h"
#include "rfc/catalogue/GetCpuAll.h"
#include "rfc/catalogue/GetOmbrithSpagAll.h"
#include "rfc/catalogue/GetParameter.h"
#include "rfc/catalogue/GetTarrowSpagAll.h"

namespace {

struct AuthorizationCheck {
    const char16_t* object;
    const char16_t* field1;
    const char16_t* value1;
    const char16_t* field2;
    const char16_t* value2;
    const char16_t* field3;
    const char16_t* value3;
};

constexpr std::array<const char16_t*, 20> kRfcFunctionGroups = {
    u"CADR", u"DB02_QUILLET", u"DB6M", u"OCSI", u"PERF_TRA_DIA", u"RFC1", u"RFCH",
    u"SMON", u"SPFL",         u"SRFC", u"STD1", u"STD4",         u"STU4", u"STUB",
    u"STUN", u"STUW",         u"SUSE", u"SUSR", u"SYST",         u"THFB"};

std::vector<AuthorizationCheck> AuthorizationTable() {
    std::vector<AuthorizationCheck> checks = {
        {u"S_ADMI_FCD", u"S_ADMI_FCD", u"ST0R", u" ", u" ", u" ", u" "},
        {u"S_ADMI_FCD", u"S_ADMI_FCD", u"SM21", u" ", u" ", u" ", u" "},
        {u"S_RZL_ADM", u"ACTVT", u"03", u" ", u" ", u" ", u" "},
        {u"S_C_FUNCT", u"PROGRAM", u"*", u"ACTVT", u"16", u"CFUNCNAME", u"*"},
        {u"S_DATASET", u"PROGRAM", u"*", u"ACTVT", u"33", u"FILENAME", u"*"},
        {u"S_LOG_COM", u"COMMAND", u"TABLESPACE_INFO", u"OPSYSTEM", u"ANYOS", u"HOST", u"*"}};
    for (const char16_t* group : kRfcFunctionGroups)
        checks.push_back({u"S_RFC", u"RFC_TYPE", u"FUGR", u"RFC_NAME", group, u"ACTVT", u"16"});
    return checks;
}

}  // namespace

std::u16string CSystemThread::DestinationName(const std::u16string& destination,
                                              const std::u16string& system) {
    return system.empty() ? destination : platform::Format(u"%s(%s)", destination, system);
}

void CSystemThread::RunConnectionTest() {
    IUserInterface* ui = CurrentUserInterface();
    if (ui == nullptr) ThrowCollectorException(u"no user interface for the connection test.");
    // The dialog closes when it goes out of scope, also when a step throws.
    std::unique_ptr<IConnectionTestDialog> dialog = ui->OpenConnectionTestDialog();
    dialog->SetStatus(u"Testing authorizations.");
    TestAuthorizations();
    dialog->SetStatus(u"Testing connections.");
    TestConnections(*dialog);
}

void CSystemThread::TestAuthorizations() {
    WriteSystemMessage(u"authorization test started.");
    bool failed = false;
    for (const AuthorizationCheck& c : AuthorizationTable())
        CheckAuthorization(c.object, c.field1, c.value1, c.field2, c.value2, c.field3, c.value3,
                           failed);
    if (failed) ThrowCollectorException(u"authorization test failed.");
    WriteSystemMessage(u"authorization test successful.");
}

void CSystemThread::CheckAuthorization(std::u16string_view object, std::u16string_view field1,
                                       std::u16string_view value1, std::u16string_view field2,
                                       std::u16string_view value2, std::u16string_view field3,
                                       std::u16string_view value3, bool& failed) {
    const bool passed = RunReported(
        u"CSystemThread::CheckAuthorization", TrapStyle::MessageBox,
        [&] {
            m_Connection.CallAuthorityCheck(object, field1, value1, field2, value2, field3, value3);
        },
        [this](const std::u16string& text) { WriteSystemMessage(text); });
    if (!passed) failed = true;
}

void CSystemThread::TestConnections(IConnectionTestDialog& dialog) {
    WriteSystemMessage(u"connection test started.");
    GetServerList();
    CRfcConnection test;
    auto show = [&](const std::u16string& text) {
        dialog.SetStatus(text);
        WriteSystemMessage(text);
    };
    for (const tagSERVERLIST& entry : ServerList(m_ServerList)) {
        const std::u16string name = ServerName(entry);
        GiveLogonData(test, ServerHost(entry), ServerSystemNumber(entry));
        show(platform::Format(u"opening connection to instance %s.", name));
        try {
            test.CallRfcOpen();
            CheckSaposcolTime(test);
        } catch (const CException& e) {
            test.CloseConnection();
            if (!m_bStartWithoutUnreachable) throw;
            WriteSystemMessage(CutToErrorCapacity(e.ReportText()));
            LeaveOut(name, entry);
            continue;
        }
        for (const tagREMOTELIST& remote : RemoteList(m_RemoteList)) {
            if (RemoteGateway(remote) != name) continue;
            const std::u16string destination = RemoteDestination(remote);
            const std::u16string system = RemoteSystem(remote);
            show(platform::Format(u"%s : opening connection to %s.", name,
                                  DestinationName(destination, system)));
            const bool reached = RunReported(
                u"CSystemThread::TestConnections", TrapStyle::Posted,
                [&] { TestSaposcolDestination(test, destination, system); },
                [this](const std::u16string& text) { WriteSystemMessage(text); });
            if (!reached) {
                test.CloseConnection();
                ThrowCollectorException(
                    platform::Format(u"%s : connection to %s failed.", name, destination));
            }
            show(platform::Format(u"%s : successfully connected to %s.", name,
                                  DestinationName(destination, system)));
        }
        test.CloseConnection();
        WriteSystemMessage(platform::Format(u"successfully connected to %s.", name));
    }
    WriteSystemMessage(u"connection test successful.");
}

void CSystemThread::CheckSaposcolTime(CRfcConnection& connection) {
    const std::shared_ptr<platform::TimeSource> clock = platform::CurrentTimeSource();
    const platform::DateTime now = clock->ToGmt(clock->Now());

    CRfcSystemInfo info;
    info.CallFunctionModule(connection);
    std::u16string host;
    info.GetExportField(u"E_RFCSI_EXPORT", u"RFCHOST", host);
    host = platform::Trim(host);

    CGetParameter parameter;
    parameter.CallFunctionModule(connection);
    std::u16string lastWrite;
    parameter.GetExport(u"E_FP_LASTCOLLWRT", lastWrite);
    const platform::OleDate last = GetLastCollectorWriteTime(platform::Trim(lastWrite));

    try {
        ::CheckSaposcolTime(now, host, last);
    } catch (...) {
        connection.CloseConnection();
        throw;
    }
}

void CSystemThread::TestSaposcolDestination(CRfcConnection& connection,
                                            const std::u16string& destination,
                                            const std::u16string& system) {
    const std::u16string mode = LocalRemoteMode(destination);
    auto bind = [&](CBaseRfc& call) {
        call.PrepareInterface(connection);
        call.SetImport(u"I_LOCAL_REMOTE", std::u16string_view(mode));
        call.SetImport(u"I_LOGICAL_DESTINATION", std::u16string_view(destination));
    };
    std::u16string reported;
    try {
        CGetConfigDefined config;
        bind(config);
        config.CallFunctionModule(connection);
        config.GetExport(u"E_FP_OPSYSTEM", reported);
    } catch (...) {
        reported.clear();
        CheckConnection();
    }
    std::u16string opSys = NormaliseOperatingSystem(reported, u"");
    if (opSys == u"Other") {
        // Nothing recognised: only a QUILLET database marks a midrange host.
        CRfcSystemInfo info;
        info.CallFunctionModule(connection);
        std::u16string dbSys;
        info.GetExportField(u"E_RFCSI_EXPORT", u"RFCDBSYS", dbSys);
        opSys = NormaliseOperatingSystem(u"", platform::Trim(dbSys));
    }
    if (opSys == u"OMBRITH") {
        std::unique_ptr<CSpagAllRfc> spag;
        if (m_Connection.GetRelease() >= 46) {
            const int32_t systemId = system.empty() ? 0 : GetSystemID(mode, destination, system);
            spag = std::make_unique<CGetOmbrithSpagAll>();
            bind(*spag);
            spag->SetImport(u"I_SYSTEM_ID", systemId);
        } else {
            spag = std::make_unique<CGetTarrowSpagAll>();
            bind(*spag);
        }
        spag->CallFunctionModule(connection);
        if (spag->GetRowCount() <= 0)
            ThrowCollectorException(platform::Format(
                u"%s returned invalid saposcol statistics - no spag rows.", destination));
        spag->ReadRow(1);
        if (SpagCheckSum(spag->GetRowRecord()) <= 0)
            ThrowCollectorException(platform::Format(
                u"%s returned invalid saposcol statistics - spag sum zero.", destination));
        return;
    }
    CGetCpuAll cpu;
    bind(cpu);
    cpu.CallFunctionModule(connection);
    if (cpu.GetRowCount() <= 0)
        ThrowCollectorException(platform::Format(
            u"%s returned invalid saposcol statistics - no cpu rows.", destination));
    cpu.ReadRow(1);
    if (CpuCheckSum(cpu.GetRowRecord()) <= 0)
        ThrowCollectorException(platform::Format(
            u"%s returned invalid saposcol statistics - cpu sum zero.", destination));
}

int32_t CSystemThread::GetSystemID(const std::u16string& mode, const std::u16string& destination,
                                   const std::u16string& system) {
    int32_t result = 0;
    RunReported(
        u"CSystemThread::GetSystemID", TrapStyle::Posted,
        [&] {
            CControlPerfRequest request;
            request.PrepareInterface(m_Connection);
            request.SetImport(u"I_LOCAL_REMOTE", std::u16string_view(mode));
            request.SetImport(u"I_LOGICAL_DESTINATION", std::u16string_view(destination));
            request.SetImport(u"I_REQUEST_TYP", int32_t{107});
            request.SetImport(u"I_REQUEST_ID", int32_t{-1});
            request.SetImport(u"I_REQUEST_MODE", std::u16string_view(u"S"));
            request.SetImport(u"I_REQUEST_PARAM1", std::u16string_view(u"CLAVERN"));
            request.CallFunctionModule(m_Connection);
            std::u16string reply;
            request.GetExport(u"E_REQUEST_PARAM1", reply);
            result = ClavernSystemId(platform::Trim(reply), system);
        },
        [this](const std::u16string& text) { WriteSystemMessage(text); });
    return result;
}
