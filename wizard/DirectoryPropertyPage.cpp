#include "wizard/DirectoryPropertyPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/RuleValidator.h"

CDirectoryPropertyPage::CDirectoryPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Data Directory"), parent),
      CDirectoryStep(static_cast<IWizardFace&>(*this)) {
    auto* text = new QLabel(
        tr("Please specify the directory path where data files are to be written."), this);
    text->setWordWrap(true);
    m_pBrowseEdit = new CDirectoryBrowseEdit(this);
    m_pBrowseEdit->Edit()->setObjectName(QStringLiteral("edit1012"));
    CRuleValidator::Apply(kDirectoryRule, m_pBrowseEdit->Edit());
    text->setBuddy(m_pBrowseEdit->Edit());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_pBrowseEdit);
    layout->addStretch(1);
    setMinimumSize(480, 146);
}

bool CDirectoryPropertyPage::UpdateData(bool save) {
    if (save) {
        m_strDirectory = wizard::FromQt(m_pBrowseEdit->Edit()->text());
    } else {
        m_pBrowseEdit->Edit()->setText(wizard::ToQt(m_strDirectory));
    }
    return true;
}

void CDirectoryPropertyPage::Focus(WizardField field, int) {
    if (field == WizardField::Directory) m_pBrowseEdit->Edit()->setFocus(Qt::OtherFocusReason);
}

void CDirectoryPropertyPage::Refuse(std::u16string_view text, RefusalKind kind) {
    wizard::ShowRefusal(this, text, kind);
}

bool CDirectoryPropertyPage::OnInitDialog() {
    LoadDirectories(u"CDirectoryPropertyPage::OnInitDialog");
    return CPropertyPage::OnInitDialog();
}

bool CDirectoryPropertyPage::OnSetActive() {
    SetWizardButtonsFromFlags();
    RemoveSessionFolderReported();
    return CPropertyPage::OnSetActive();
}

void CDirectoryPropertyPage::OnCancel() {
    RemoveSessionFolderReported();
    CPropertyPage::OnCancel();
}

int CDirectoryPropertyPage::OnWizardNext() {
    if (!MakeSessionFolder(u"CDirectoryPropertyPage::OnWizardNext")) return -1;
    return CPropertyPage::OnWizardNext();
}

bool CDirectoryPropertyPage::OnWizardFinish() {
    if (!MakeSessionFolder(u"CDirectoryPropertyPage::OnWizardFinish")) return false;
    return CPropertyPage::OnWizardFinish();
}
