#include "wizard/logic/LogonStep.h"

#include "collect/ConnectionSettings.h"
#include "collect/core/CollectorException.h"
#include "platform/FixedText.h"
#include "rfc/RfcException.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/ThServerList.h"

namespace {

constexpr char16_t kSection[] = u"Logon";

// The RFC error group of a refused logon.
constexpr int kLogonRefusedGroup = 103;

struct LogonField {
    WizardField field;
    std::u16string CLogonStep::*value;
    InputRule rule;
};

using CS = ConnectionSettings;

// In the order of the page's edits, which is the order they are checked in.
constexpr LogonField kLogonFields[] = {
    {WizardField::HostName, &CLogonStep::m_strHostName, {u"a short host name", CS::kHostNameLimit}},
    {WizardField::Domain, &CLogonStep::m_strDomain, {u"a domain", CS::kDomainLimit}},
    {WizardField::SapRouter, &CLogonStep::m_strSapRouter,
     {u"a SAP router string", CS::kRouterLimit}},
    {WizardField::SystemNumber, &CLogonStep::m_strSystemNumber,
     {u"a system number", CS::kSystemNumberLimit, true}},
    {WizardField::Client, &CLogonStep::m_strClient, {u"a client", CS::kClientLimit, true}},
    {WizardField::User, &CLogonStep::m_strUser, {u"a SAP user id", CS::kUserLimit, false, true}},
    // The case of a password is LogonPassword's decision.
    {WizardField::Password, &CLogonStep::m_strPassword, {u"a password", CS::kPasswordLimit}},
    {WizardField::Language, &CLogonStep::m_strLanguage,
     {u"a language", CS::kLanguageLimit, false, true}},
};

}  // namespace

const InputRule& CLogonStep::Rule(WizardField field) {
    static constexpr InputRule kNone{};
    for (const LogonField& f : kLogonFields)
        if (f.field == field) return f.rule;
    return kNone;
}

void CLogonStep::TakeCapitals() {
    for (const LogonField& f : kLogonFields) this->*f.value = f.rule.Normalised(this->*f.value);
}

CLogonStep::CLogonStep(IWizardFace& face)
    : CWizardStep(face), m_settings(settings::kCollectorApp) {}

void CLogonStep::LoadLogon() {
    auto read = [this](const char16_t* key, std::u16string_view placeholder) {
        std::u16string value = m_settings.GetString(kSection, key);
        return value.empty() ? std::u16string(placeholder) : value;
    };
    m_strHostName = read(u"HostName", u"?");
    m_strDomain = read(u"Domain", u"");
    m_strSapRouter = read(u"SapRouter", u"");
    m_strSystemNumber = read(u"SystemNumber", u"00");
    m_strClient = read(u"Client", u"000");
    m_strUser = read(u"User", u"?");
    m_strLanguage = read(u"Language", u"EN");
    m_strPassword = m_settings.GetString(kSection, u"Password");
    if (!m_strPassword.empty()) {
        m_connection.UnscramblePassword(m_strPassword);
    } else {
        m_strPassword = kPasswordPlaceholder;
    }
}

std::u16string CLogonStep::LogonPassword(std::u16string typed) {
    if (typed.size() > kCapitalPasswordLimit || typed == kPasswordPlaceholder) return typed;
    for (char16_t& c : typed)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return typed;
}

bool CLogonStep::ProveLogon(const char16_t* routine, bool store) {
    return RunStep(
        routine,
        [&] {
            m_strPassword = LogonPassword(std::move(m_strPassword));
            TakeCapitals();
            ValidateLogon();
            TestLogon();
            if (store) SaveLogon();
        },
        [this](const CException* e) {
            m_connection.CloseConnection();
            if (auto* rfc = dynamic_cast<const CRfcException*>(e)) {
                // A refused logon is the password's fault; anything else, such
                // as a host that does not answer, is the host's.
                Face().Focus(rfc->m_nGroup == kLogonRefusedGroup ? WizardField::Password
                                                                 : WizardField::HostName,
                             0);
            }
        });
}

void CLogonStep::ValidateLogon() {
    using F = WizardField;
    if (m_strHostName.empty() || m_strHostName == u"?") {
        RefuseAt(F::HostName, 0, u"Please enter a short host name.");
    }
    if (m_strHostName.find(u'.') != std::u16string::npos) {
        RefuseAt(F::HostName, 0,
                 u"Please do not enter an IP address or\n domain suffix for the short host name.");
    }
    if (m_strSystemNumber.empty()) RefuseAt(F::SystemNumber, 0, u"Please enter a system number.");
    if (m_strClient.empty()) RefuseAt(F::Client, 0, u"Please enter a client.");
    if (m_strUser.empty() || m_strUser == u"?")
        RefuseAt(F::User, 0, u"Please enter a SAP user id.");
    if (m_strPassword.empty() || m_strPassword == kPasswordPlaceholder) {
        RefuseAt(F::Password, 0, u"Please enter a password.");
    }
    if (m_strLanguage.empty()) RefuseAt(F::Language, 0, u"Please enter a language.");
    for (const LogonField& f : kLogonFields) {
        const std::u16string breach = f.rule.Breach(this->*f.value);
        if (!breach.empty()) RefuseAt(f.field, 0, breach);
    }
}

void CLogonStep::TestLogon() {
    m_connection.SetLogonData(m_strHostName, m_strSystemNumber, m_strClient, m_strUser,
                              m_strPassword, m_strLanguage, m_strDomain, m_strSapRouter);
    m_connection.CallRfcOpen();
    CRfcSystemInfo systemInfo;
    systemInfo.CallFunctionModule(m_connection);
    std::u16string value;
    systemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCSYSID", value);
    m_strSystemId = platform::Trim(value);
    systemInfo.GetExportField(u"E_RFCSI_EXPORT", u"RFCOPSYS", value);
    m_strOpSys = platform::Trim(value);
    ReadServerList();
    m_connection.CloseConnection();
}

void CLogonStep::ReadServerList() {
    if (!m_pServerList) return;
    CThServerList serverList;
    serverList.CallFunctionModule(m_connection);
    ReadServerRows(serverList, m_strOpSys == u"Windows NT", *m_pServerList);
}

void CLogonStep::SaveLogon() {
    // Only the settings file holds the scrambled form; the field keeps the
    // plain password for the hand-over.
    std::u16string scrambled = m_strPassword;
    m_connection.ScramblePassword(scrambled);
    std::vector<std::pair<std::u16string, std::u16string>> values = {
        {u"HostName", m_strHostName},   {u"Domain", m_strDomain}, {u"SapRouter", m_strSapRouter},
        {u"SystemNumber", m_strSystemNumber}, {u"Client", m_strClient},  {u"User", m_strUser},
        {u"Language", m_strLanguage}};
    if (!m_bPasswordFromOutside) values.emplace_back(u"Password", scrambled);
    std::u16string error;
    const bool saved = m_settings.SetStrings(kSection, values, &error);
    if (!saved) ThrowCollectorException(u"unable to save the logon settings: " + error);
}
