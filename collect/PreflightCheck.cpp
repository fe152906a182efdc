#include "collect/PreflightCheck.h"

#include "collect/core/CatchConvention.h"
#include "platform/FixedText.h"
#include "platform/Format.h"

std::u16string AuthorizationName(std::u16string_view object, std::u16string_view field1,
                                 std::u16string_view value1, std::u16string_view field2,
                                 std::u16string_view value2, std::u16string_view field3,
                                 std::u16string_view value3) {
    std::u16string name(object);
    const std::pair<std::u16string_view, std::u16string_view> fields[] = {
        {field1, value1}, {field2, value2}, {field3, value3}};
    for (const auto& [field, value] : fields) {
        const std::u16string f = platform::Trim(field);
        if (!f.empty()) name += platform::Format(u" %s=%s", f, platform::Trim(value));
    }
    return name;
}

CPreflightCheck::CPreflightCheck(const ConnectionSettings& settings, const ServerList& servers,
                                 const RemoteList& remotes, Report report)
    : m_report(std::move(report)) {
    m_Connection.SetLogonData(settings.hostName, settings.systemNumber, settings.client,
                              settings.user, settings.password, settings.language, settings.domain,
                              settings.routerString);
    m_strSystemId = settings.systemId;
    m_strOpSys = settings.operatingSystem;
    m_ServerList = servers;
    m_RemoteList = remotes;
}

bool CPreflightCheck::Check(std::u16string_view what, const std::function<void()>& body) {
    ++m_nChecks;
    std::u16string failure;
    const bool passed = RunReported(u"CPreflightCheck::Check", TrapStyle::Posted, body,
                                    [&failure](const std::u16string& text) { failure = text; });
    if (!passed) {
        ++m_nFailed;
        // A failure always has a text to show.
        if (failure.empty()) failure = u"failed.";
    }
    m_report(what, failure);
    return passed;
}

void CPreflightCheck::OpenConnection() {
    m_Connection.CallRfcOpen();
}

bool CPreflightCheck::RunChecks() {
    const bool open = Check(u"connection to the system", [this] {
        m_Connection.CallRfcOpen();
        GetSystemInformation();
    });
    if (!open) return false;
    // Each authorisation is a check of its own; the summary failure that
    // ends a session start is not.
    try {
        TestAuthorizations();
    } catch (const CException&) {
    }
    // The system connection stays open for the servers' checks: a
    // database server's system id is asked for over it, as a start does.
    for (const tagSERVERLIST& server : m_ServerList) CheckServer(server);
    m_Connection.CloseConnection();
    return m_nFailed == 0;
}

void CPreflightCheck::EnsureSystemConnection() {
    // An earlier failure may have broken it; the next check must not
    // depend on which one that was.
    if (RfcIsValidHandleU(m_Connection.Handle(), nullptr) != RFC_OK) m_Connection.CallRfcOpen();
}

void CPreflightCheck::CheckAuthorization(std::u16string_view object, std::u16string_view field1,
                                         std::u16string_view value1, std::u16string_view field2,
                                         std::u16string_view value2, std::u16string_view field3,
                                         std::u16string_view value3, bool& failed) {
    const bool passed = Check(
        u"authorization " +
            AuthorizationName(object, field1, value1, field2, value2, field3, value3),
        [&] {
            m_Connection.CallAuthorityCheck(object, field1, value1, field2, value2, field3, value3);
        });
    if (!passed) failed = true;
}

void CPreflightCheck::CheckServer(const tagSERVERLIST& server) {
    const std::u16string name = ServerName(server);
    CRfcConnection test;
    GiveLogonData(test, ServerHost(server), ServerSystemNumber(server));
    const bool reached =
        Check(platform::Format(u"connection to instance %s", name), [&] { test.CallRfcOpen(); });
    if (!reached) return;
    Check(platform::Format(u"saposcol of instance %s", name), [&] { CheckSaposcolTime(test); });
    for (const tagREMOTELIST& remote : m_RemoteList) {
        if (RemoteGateway(remote) != name) continue;
        const std::u16string destination = RemoteDestination(remote);
        const std::u16string system = RemoteSystem(remote);
        Check(platform::Format(u"database server %s through %s",
                               DestinationName(destination, system), name),
              [&] {
                  if (RfcIsValidHandleU(test.Handle(), nullptr) != RFC_OK) test.CallRfcOpen();
                  EnsureSystemConnection();
                  TestSaposcolDestination(test, destination, system);
              });
    }
    test.CloseConnection();
}
