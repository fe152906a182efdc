#include "wizard/logic/DatabaseServerStep.h"

#include "collect/core/CollectorException.h"
#include "platform/Format.h"
#include "wizard/logic/LogonStep.h"

CDatabaseServerStep::CDatabaseServerStep(IWizardFace& face)
    : CWizardStep(face), m_settings(settings::kCollectorApp) {}

void CDatabaseServerStep::LoadRows() {
    m_strSection = m_pLogonStep ? m_pLogonStep->m_strSystemId : u"";
    m_Rows.assign(m_pServerList ? m_pServerList->size() : 0, DatabaseServerRow{});
    for (size_t i = 0; i < m_Rows.size(); ++i) {
        const unsigned n = static_cast<unsigned>(i + 1);
        DatabaseServerRow& row = m_Rows[i];
        row.destination = m_settings.GetString(m_strSection, platform::Format(u"Destination%u", n));
        row.system = m_settings.GetString(m_strSection, platform::Format(u"System%u", n));
        row.gateway = m_settings.GetString(m_strSection, platform::Format(u"Gateway%u", n));
        if (!IsServerName(row.gateway)) row.gateway.clear();
    }
}

std::u16string CDatabaseServerStep::StoredDestinations() const {
    return m_settings.GetString(m_strSection, u"DestinationList");
}

std::u16string CDatabaseServerStep::StoredSystems() const {
    return m_settings.GetString(m_strSection, u"SystemList");
}

std::u16string CDatabaseServerStep::GatewayChoices() const {
    std::u16string names;
    if (!m_pServerList) return names;
    for (const tagSERVERLIST& server : *m_pServerList) names += ServerName(server) + u'\n';
    return names;
}

bool CDatabaseServerStep::IsServerName(std::u16string_view text) const {
    if (!m_pServerList || text.empty()) return false;
    for (const tagSERVERLIST& server : *m_pServerList) {
        if (ServerName(server) == text) return true;
    }
    return false;
}

bool CDatabaseServerStep::TakeRows(const char16_t* routine, bool store) {
    return RunStep(routine, [&] {
        ValidateRemoteList();
        BuildRemoteList();
        if (store) SaveRemoteList();
    });
}

void CDatabaseServerStep::ValidateRemoteList() {
    for (size_t i = 0; i < m_Rows.size(); ++i) {
        const DatabaseServerRow& row = m_Rows[i];
        // The gateway must be a server of the system, whichever face took it:
        // a destination without one is never collected.
        if (!row.destination.empty() &&
            (row.gateway.empty() || (m_pServerList && !IsServerName(row.gateway)))) {
            RefuseAt(WizardField::Gateway, static_cast<int>(i + 1),
                     platform::Format(u"Please enter gateway instance for destination %s",
                                      row.destination));
        }
    }
}

void CDatabaseServerStep::BuildRemoteList() {
    if (!m_pRemoteList) return;
    m_strDestinationList.clear();
    m_strSystemList.clear();
    m_pRemoteList->clear();
    for (const DatabaseServerRow& row : m_Rows) {
        const std::u16string destination = kDestinationRule.Normalised(row.destination);
        if (destination.empty()) continue;
        const std::u16string system = kSystemRule.Normalised(row.system);
        m_strDestinationList += destination + u'\n';
        m_strSystemList += system + u'\n';
        m_pRemoteList->push_back(MakeRemoteEntry(destination, system, row.gateway));
    }
}

void CDatabaseServerStep::SaveRemoteList() {
    settings::SettingsStore::Values values = {{u"DestinationList", m_strDestinationList},
                                              {u"SystemList", m_strSystemList}};
    for (size_t i = 0; i < m_Rows.size(); ++i) {
        const DatabaseServerRow& row = m_Rows[i];
        const std::u16string destination = kDestinationRule.Normalised(row.destination);
        const bool used = !destination.empty();
        const unsigned n = static_cast<unsigned>(i + 1);
        values.emplace_back(platform::Format(u"Destination%u", n), destination);
        values.emplace_back(platform::Format(u"System%u", n),
                            used ? kSystemRule.Normalised(row.system) : u"");
        values.emplace_back(platform::Format(u"Gateway%u", n), used ? row.gateway : u"");
    }
    std::u16string error;
    if (!m_settings.SetStrings(m_strSection, values, &error)) {
        ThrowCollectorException(u"unable to save the database servers: " + error);
    }
}
