#include "wizard/SaposcolPropertyPage.h"

#include <QVBoxLayout>

#include "app/core/CatchConvention.h"
#include "app/core/CollectorException.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "wizard/LogonPropertyPage.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"

CSaposcolPropertyPage::CSaposcolPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Standalone Database Server(s)"), parent),
      m_settings(settings::kCollectorApp) {
    m_pGrid = new CGridControl(this);
    m_pGrid->setObjectName(QStringLiteral("grid1013"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pGrid);
    setMinimumSize(480, 146);
}

bool CSaposcolPropertyPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_pGrid->SetColumnCount(3);
    m_pGrid->SetTableFont(QStringLiteral("Courier New"), 700);
    m_pGrid->SetHeader(0, QString(), 20);
    m_pGrid->SetHeader(kDestinationColumn, QStringLiteral("RFC Destination"), 200);
    m_pGrid->SetHeader(kSystemColumn, QStringLiteral("System"), 56);
    m_pGrid->SetHeader(kGatewayColumn, QStringLiteral("Gateway Instance"), 180);
    m_pGrid->SetColumnStyle(kDestinationColumn, CGridControl::CellKind::ComboEdit, {});
    m_pGrid->SetColumnStyle(kSystemColumn, CGridControl::CellKind::ComboEdit, {});
    m_pGrid->SetColumnStyle(kGatewayColumn, CGridControl::CellKind::DropDownList, {});
    if (m_bReloadGrid) ReloadGrid();
    return true;
}

void CSaposcolPropertyPage::ReloadGrid() {
    FillGrid();
    if (m_pGrid->GetRowCount() > 0) m_pGrid->SetCurrentCell(1, kDestinationColumn);
    m_pGrid->SetGridFocus();
    m_bReloadGrid = false;
}

void CSaposcolPropertyPage::FillGrid() {
    m_strSection = m_pLogonPage ? m_pLogonPage->m_strSystemId : u"";
    m_pGrid->RemoveRows();
    if (m_pServerList && !m_pServerList->empty()) {
        m_pGrid->InsertRows(static_cast<int>(m_pServerList->size()));
        m_pGrid->SetColumnStyle(
            kDestinationColumn, CGridControl::CellKind::ComboEdit,
            wizard::ToQt(m_settings.GetString(m_strSection, u"DestinationList")));
        m_pGrid->SetColumnStyle(kSystemColumn, CGridControl::CellKind::ComboEdit,
                                wizard::ToQt(m_settings.GetString(m_strSection, u"SystemList")));
        QString names;
        for (const tagSERVERLIST& server : *m_pServerList) {
            names += wizard::ToQt(ServerName(server)) + u'\n';
        }
        m_pGrid->SetColumnStyle(kGatewayColumn, CGridControl::CellKind::DropDownList, names);
    }
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        const unsigned n = static_cast<unsigned>(row);
        const std::u16string destination =
            m_settings.GetString(m_strSection, platform::Format(u"Destination%u", n));
        const std::u16string system =
            m_settings.GetString(m_strSection, platform::Format(u"System%u", n));
        const std::u16string gateway =
            m_settings.GetString(m_strSection, platform::Format(u"Gateway%u", n));
        if (!destination.empty()) {
            m_pGrid->SetCellText(row, kDestinationColumn, wizard::ToQt(destination));
        }
        if (!system.empty()) m_pGrid->SetCellText(row, kSystemColumn, wizard::ToQt(system));
        // A gateway that is no longer a server of the system is dropped.
        if (!gateway.empty() && IsServerName(gateway)) {
            m_pGrid->SetCellText(row, kGatewayColumn, wizard::ToQt(gateway));
        }
    }
}

bool CSaposcolPropertyPage::IsServerName(std::u16string_view text) const {
    if (!m_pServerList) return false;
    for (const tagSERVERLIST& server : *m_pServerList) {
        if (ServerName(server) == text) return true;
    }
    return false;
}

std::u16string CSaposcolPropertyPage::GetCellText(int row, int column) const {
    return platform::Trim(wizard::FromQt(m_pGrid->GetCellText(row, column)));
}

bool CSaposcolPropertyPage::OnSetActive() {
    SetWizardButtonsFromFlags();
    if (m_bReloadGrid) ReloadGrid();
    return CPropertyPage::OnSetActive();
}

int CSaposcolPropertyPage::OnWizardBack() {
    // The logon data may change; the grid is rebuilt for the system shown
    // when this page comes back.
    m_bReloadGrid = true;
    return CPropertyPage::OnWizardBack();
}

int CSaposcolPropertyPage::OnWizardNext() {
    if (!RunSaposcolSteps(u"CSaposcolPropertyPage::OnWizardNext")) return -1;
    return CPropertyPage::OnWizardNext();
}

bool CSaposcolPropertyPage::OnWizardFinish() {
    if (!RunSaposcolSteps(u"CSaposcolPropertyPage::OnWizardFinish")) return false;
    return CPropertyPage::OnWizardFinish();
}

bool CSaposcolPropertyPage::RunSaposcolSteps(const char16_t* routine) {
    try {
        if (!UpdateData(true)) {
            ThrowCollectorException(u"UpdateData failed during dialog termination.");
        }
        ValidateRemoteList();
        BuildRemoteList();
        SaveRemoteList();
        return true;
    } catch (const CException& e) {
        wizard::ShowMessageBox(this, e.ReportText(), wizard::MessageIcon::Exclamation);
    } catch (...) {
        wizard::ShowMessageBox(this, LowLevelTrapText(routine, TrapStyle::MessageBox),
                               wizard::MessageIcon::Stop);
    }
    m_bFocusGrid = true;
    return false;
}

void CSaposcolPropertyPage::OnIdleUpdate() {
    if (m_bFocusGrid) {
        m_pGrid->SetGridFocus();
        m_bFocusGrid = false;
    }
}

void CSaposcolPropertyPage::ValidateRemoteList() {
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        const std::u16string destination = GetCellText(row, kDestinationColumn);
        if (!destination.empty() && GetCellText(row, kGatewayColumn).empty()) {
            m_pGrid->SetCurrentCell(row, kGatewayColumn);
            ThrowCollectorException(
                platform::Format(u"Please enter gateway instance for destination %s", destination));
        }
    }
}

void CSaposcolPropertyPage::BuildRemoteList() {
    if (!m_pRemoteList) return;
    m_strDestinationList.clear();
    m_strSystemList.clear();
    m_pRemoteList->clear();
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        const std::u16string destination = wizard::ToUpper(GetCellText(row, kDestinationColumn));
        if (destination.empty()) continue;
        const std::u16string system = wizard::ToUpper(GetCellText(row, kSystemColumn));
        m_strDestinationList += destination + u'\n';
        m_strSystemList += system + u'\n';
        m_pRemoteList->push_back(
            MakeRemoteEntry(destination, system, GetCellText(row, kGatewayColumn)));
    }
}

void CSaposcolPropertyPage::SaveRemoteList() {
    settings::SettingsStore::Values values = {{u"DestinationList", m_strDestinationList},
                                              {u"SystemList", m_strSystemList}};
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        const std::u16string destination = wizard::ToUpper(GetCellText(row, kDestinationColumn));
        const bool used = !destination.empty();
        const int n = row;
        values.emplace_back(platform::Format(u"Destination%d", n), destination);
        values.emplace_back(platform::Format(u"System%u", static_cast<unsigned>(n)),
                            used ? wizard::ToUpper(GetCellText(row, kSystemColumn)) : u"");
        values.emplace_back(platform::Format(u"Gateway%d", n),
                            used ? GetCellText(row, kGatewayColumn) : u"");
    }
    std::u16string error;
    if (!m_settings.SetStrings(m_strSection, values, &error)) {
        ThrowCollectorException(u"unable to save the database servers: " + error);
    }
}
