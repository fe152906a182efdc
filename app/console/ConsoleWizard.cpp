#include "app/console/ConsoleWizard.h"

#include "app/console/StopSignals.h"
#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"
#include "wizard/logic/HandOver.h"

std::u16string OneLine(std::u16string_view text) {
    std::u16string line(text);
    for (char16_t& c : line)
        if (c == u'\n' || c == u'\r') c = u' ';
    return line;
}

CConsoleWizard::CConsoleWizard(const ConsoleOptions& options,
                               std::optional<std::u16string> password, std::FILE* errors,
                               bool passwordFromOutside)
    : m_options(options),
      m_password(std::move(password)),
      m_pErrors(errors),
      m_bPasswordFromOutside(passwordFromOutside),
      m_logon(*this),
      m_directory(*this),
      m_databases(*this) {
    m_directory.SetLogonPage(&m_logon);
    m_databases.SetLogonPage(&m_logon);
}

void CConsoleWizard::Refuse(std::u16string_view text, RefusalKind kind) {
    const std::string line = "quorvel-console: " + platform::ToUtf8(OneLine(text)) + "\n";
    std::fwrite(line.data(), 1, line.size(), m_pErrors);
    std::fflush(m_pErrors);
    m_refusal = kind == RefusalKind::Input ? Outcome::Refused : Outcome::Failed;
}

void CConsoleWizard::Fail(std::u16string_view text) {
    Refuse(text, RefusalKind::Trap);
}

void CConsoleWizard::GiveLogonValues() {
    // As if typed into the edits: the logon step takes them to capitals and
    // refuses what breaks its fields' rules, as it does for the page.
    const std::pair<const std::u16string*, std::u16string*> given[] = {
        {&m_options.host, &m_logon.m_strHostName},
        {&m_options.systemNumber, &m_logon.m_strSystemNumber},
        {&m_options.client, &m_logon.m_strClient},
        {&m_options.user, &m_logon.m_strUser},
        {&m_options.language, &m_logon.m_strLanguage}};
    for (const auto& [value, field] : given)
        if (!value->empty()) *field = *value;
    if (m_password) m_logon.m_strPassword = *m_password;
    m_logon.m_bPasswordFromOutside = m_password.has_value() && m_bPasswordFromOutside;
}

bool CConsoleWizard::GiveDatabaseServers(const std::vector<tagSERVERLIST>& servers) {
    if (m_options.databases.empty()) return true;
    std::vector<DatabaseServerRow>& rows = m_databases.m_Rows;
    if (m_options.databases.size() > rows.size()) {
        Refuse(platform::Format(
                   u"%d standalone database servers given; the system has %d application servers.",
                   static_cast<int>(m_options.databases.size()), static_cast<int>(rows.size())),
               RefusalKind::Input);
        return false;
    }
    const std::u16string first = servers.empty() ? u"" : ServerName(servers.front());
    for (size_t i = 0; i < rows.size(); ++i) {
        const ConsoleDatabaseServer none;
        const ConsoleDatabaseServer& db =
            i < m_options.databases.size() ? m_options.databases[i] : none;
        rows[i] = {db.destination, db.system,
                   db.destination.empty() ? u""
                   : db.gateway.empty()   ? first
                                          : db.gateway};
    }
    return true;
}

bool CConsoleWizard::StoreDataDirectory() {
    if (m_options.dataDirectory.empty()) return true;
    // Checked as a start would check it, so that a stored directory can be used.
    m_directory.LoadDirectories(u"CConsoleWizard::LoadDirectories");
    if (m_refusal != Outcome::Finished) return false;
    m_directory.m_strDirectory = m_options.dataDirectory;
    if (!m_directory.CheckDataDirectory(u"CConsoleWizard::CheckDataDirectory")) return false;
    settings::SettingsStore store(settings::kCollectorApp);
    std::u16string error;
    if (store.SetString(u"Data", u"Path", platform::WithTrailingSeparator(m_options.dataDirectory),
                        &error))
        return true;
    Fail(u"unable to save the directory settings: " + error);
    return false;
}

CConsoleWizard::Outcome CConsoleWizard::Run(Mode mode, ConnectionSettings& settings,
                                            std::vector<tagSERVERLIST>& servers,
                                            std::vector<tagREMOTELIST>& remotes) {
    const bool store = mode != Mode::Check;
    m_refusal = Outcome::Finished;
    m_logon.SetServerList(&servers);
    m_logon.LoadLogon();
    GiveLogonValues();
    if (!m_logon.ProveLogon(u"CConsoleWizard::ProveLogon", store)) return m_refusal;

    if (mode == Mode::Session) {
        m_directory.LoadDirectories(u"CConsoleWizard::LoadDirectories");
        if (m_refusal != Outcome::Finished) return m_refusal;
        if (!m_options.dataDirectory.empty()) m_directory.m_strDirectory = m_options.dataDirectory;
        const bool made = m_directory.MakeSessionFolder(u"CConsoleWizard::MakeSessionFolder");
        if (!m_directory.m_strSessionPath.empty())
            StopSignals::Instance().SetSessionFolder(
                platform::ToUtf8(m_directory.m_strSessionPath));
        if (!made) return m_refusal;
    } else if (mode == Mode::StoreOnly && !StoreDataDirectory()) {
        return m_refusal;
    }

    m_databases.SetServerList(&servers);
    m_databases.SetRemoteList(&remotes);
    m_databases.LoadRows();
    if (!GiveDatabaseServers(servers) ||
        !m_databases.TakeRows(u"CConsoleWizard::TakeDatabaseServers", store)) {
        if (mode == Mode::Session) m_directory.RemoveSessionFolderReported();
        return m_refusal;
    }

    settings = HandOver(m_logon, m_directory);
    return Outcome::Finished;
}
