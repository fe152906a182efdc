#include "wizard/SaposcolPropertyPage.h"

#include <QVBoxLayout>
#include <algorithm>

#include "platform/FixedText.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"

CSaposcolPropertyPage::CSaposcolPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Standalone Database Server(s)"), parent),
      CDatabaseServerStep(static_cast<IWizardFace&>(*this)) {
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
    LoadRows();
    m_pGrid->RemoveRows();
    if (!m_Rows.empty()) {
        m_pGrid->InsertRows(static_cast<int>(m_Rows.size()));
        m_pGrid->SetColumnStyle(kDestinationColumn, CGridControl::CellKind::ComboEdit,
                                wizard::ToQt(StoredDestinations()));
        m_pGrid->SetColumnStyle(kSystemColumn, CGridControl::CellKind::ComboEdit,
                                wizard::ToQt(StoredSystems()));
        m_pGrid->SetColumnStyle(kGatewayColumn, CGridControl::CellKind::DropDownList,
                                wizard::ToQt(GatewayChoices()));
    }
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        const DatabaseServerRow& stored = m_Rows[static_cast<size_t>(row - 1)];
        const std::pair<int, const std::u16string*> cells[] = {
            {kDestinationColumn, &stored.destination},
            {kSystemColumn, &stored.system},
            {kGatewayColumn, &stored.gateway}};
        for (const auto& [column, text] : cells) {
            if (!text->empty()) m_pGrid->SetCellText(row, column, wizard::ToQt(*text));
        }
    }
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
    if (!TakeRows(u"CSaposcolPropertyPage::OnWizardNext")) return -1;
    return CPropertyPage::OnWizardNext();
}

bool CSaposcolPropertyPage::OnWizardFinish() {
    if (!TakeRows(u"CSaposcolPropertyPage::OnWizardFinish")) return false;
    return CPropertyPage::OnWizardFinish();
}

bool CSaposcolPropertyPage::TakeInput() {
    if (!UpdateData(true)) return false;
    m_Rows.assign(static_cast<size_t>(std::max(0, m_pGrid->GetRowCount())), DatabaseServerRow{});
    for (int row = 1; row <= m_pGrid->GetRowCount(); ++row) {
        DatabaseServerRow& entered = m_Rows[static_cast<size_t>(row - 1)];
        entered.destination = GetCellText(row, kDestinationColumn);
        entered.system = GetCellText(row, kSystemColumn);
        entered.gateway = GetCellText(row, kGatewayColumn);
    }
    return true;
}

void CSaposcolPropertyPage::Focus(WizardField field, int row) {
    if (field == WizardField::Gateway) m_pGrid->SetCurrentCell(row, kGatewayColumn);
}

void CSaposcolPropertyPage::Refuse(std::u16string_view text, RefusalKind kind) {
    wizard::ShowRefusal(this, text, kind);
    m_bFocusGrid = true;
}

void CSaposcolPropertyPage::OnIdleUpdate() {
    if (m_bFocusGrid) {
        m_pGrid->SetGridFocus();
        m_bFocusGrid = false;
    }
}
