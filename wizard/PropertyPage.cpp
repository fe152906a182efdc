#include "wizard/PropertyPage.h"

#include "wizard/PropertySheet.h"

CPropertyPage::CPropertyPage(QString caption, QWidget* parent)
    : QWidget(parent), m_strCaption(std::move(caption)) {}

bool CPropertyPage::OnInitDialog() {
    return UpdateData(false);
}

bool CPropertyPage::OnSetActive() {
    return true;
}

bool CPropertyPage::OnKillActive() {
    return UpdateData(true);
}

int CPropertyPage::WizardButtonsFromFlags() const {
    if (m_bFirstPage && m_bLastPage) return PSWIZB_FINISH;
    if (m_bFirstPage) return PSWIZB_NEXT;
    if (m_bLastPage) return PSWIZB_BACK | PSWIZB_FINISH;
    return PSWIZB_BACK | PSWIZB_NEXT;
}

void CPropertyPage::SetWizardButtonsFromFlags() {
    if (m_pSheet) m_pSheet->SetWizardButtons(WizardButtonsFromFlags());
}
