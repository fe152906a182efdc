#include "wizard/LogonPropertyPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>

#include "rfc/RfcLibraryChoice.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/RuleValidator.h"
#include "wizard/WaitCursor.h"

CLogonPropertyPage::CLogonPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Logon to R/3"), parent),
      CLogonStep(static_cast<IWizardFace&>(*this)) {
    struct EditLayout {
        int id;
        const char* label;
        WizardField field;
    };
    auto make = [&](const EditLayout& s) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(s.id));
        const InputRule& rule = Rule(s.field);
        CRuleValidator::Apply(rule, edit);
        if (rule.digitsOnly) edit->setAlignment(Qt::AlignRight);
        // The logon step decides the password's case (CLogonStep::LogonPassword).
        if (s.field == WizardField::Password) edit->setEchoMode(QLineEdit::Password);
        m_Edits[s.id] = edit;
        return edit;
    };
    auto group = [&](const char* title, std::initializer_list<EditLayout> layouts) {
        auto* box = new QGroupBox(tr(title), this);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const EditLayout& s : layouts) {
            QLineEdit* edit = make(s);
            auto* label = new QLabel(tr(s.label), box);
            label->setBuddy(edit);
            grid->addWidget(label, row, 0);
            grid->addWidget(edit, row, 1);
            ++row;
        }
        return box;
    };
    using F = WizardField;
    QGroupBox* server = group("Server", {{IDC_HOSTNAME, "Short Host Name", F::HostName},
                                         {IDC_DOMAIN, "Domain", F::Domain},
                                         {IDC_SAPROUTER, "SAP Router String", F::SapRouter},
                                         {IDC_SYSTEMNUMBER, "System Number", F::SystemNumber}});
    QGroupBox* user = group("User", {{IDC_USER, "Name", F::User},
                                     {IDC_PASSWORD, "Password", F::Password},
                                     {IDC_LANGUAGE, "Language", F::Language},
                                     {IDC_CLIENT, "Client", F::Client}});
    auto* groups = new QHBoxLayout;
    groups->addWidget(server, 3);
    groups->addWidget(user, 2);
    // Which library the logon goes through: our own protocol or SAP's.
    auto* library = new QLabel(wizard::ToQt(u"RFC library: " + RfcLibraryDescription()), this);
    library->setObjectName(QStringLiteral("rfcLibrary"));
    library->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(library);
    // 320 x 90 dialog units.
    setMinimumSize(480, 146);
}

QLineEdit* CLogonPropertyPage::Control(int id) const {
    auto it = m_Edits.find(id);
    return it == m_Edits.end() ? nullptr : it->second;
}

bool CLogonPropertyPage::UpdateData(bool save) {
    struct Binding {
        int id;
        std::u16string* field;
    };
    const Binding bindings[] = {
        {IDC_HOSTNAME, &m_strHostName},   {IDC_DOMAIN, &m_strDomain},
        {IDC_SAPROUTER, &m_strSapRouter}, {IDC_SYSTEMNUMBER, &m_strSystemNumber},
        {IDC_USER, &m_strUser},           {IDC_PASSWORD, &m_strPassword},
        {IDC_LANGUAGE, &m_strLanguage},   {IDC_CLIENT, &m_strClient},
    };
    for (const Binding& b : bindings) {
        QLineEdit* edit = Control(b.id);
        if (!edit) return false;
        if (save) {
            *b.field = wizard::FromQt(edit->text());
        } else {
            edit->setText(wizard::ToQt(*b.field));
        }
    }
    return true;
}

bool CLogonPropertyPage::OnInitDialog() {
    LoadLogon();
    return CPropertyPage::OnInitDialog();
}

bool CLogonPropertyPage::OnSetActive() {
    SetWizardButtonsFromFlags();
    return CPropertyPage::OnSetActive();
}

int CLogonPropertyPage::OnWizardNext() {
    if (!RunLogonSteps(u"CLogonPropertyPage::OnWizardNext")) return -1;
    return CPropertyPage::OnWizardNext();
}

bool CLogonPropertyPage::OnWizardFinish() {
    if (!RunLogonSteps(u"CLogonPropertyPage::OnWizardFinish")) return false;
    return CPropertyPage::OnWizardFinish();
}

bool CLogonPropertyPage::RunLogonSteps(const char16_t* routine) {
    wizard::WaitCursor wait;
    m_pWait = &wait;
    const bool proved = ProveLogon(routine);
    m_pWait = nullptr;
    return proved;
}

void CLogonPropertyPage::Focus(WizardField field, int) {
    switch (field) {
        case WizardField::HostName:
            return MoveFocus(IDC_HOSTNAME);
        case WizardField::Domain:
            return MoveFocus(IDC_DOMAIN);
        case WizardField::SapRouter:
            return MoveFocus(IDC_SAPROUTER);
        case WizardField::SystemNumber:
            return MoveFocus(IDC_SYSTEMNUMBER);
        case WizardField::Client:
            return MoveFocus(IDC_CLIENT);
        case WizardField::User:
            return MoveFocus(IDC_USER);
        case WizardField::Password:
            return MoveFocus(IDC_PASSWORD);
        case WizardField::Language:
            return MoveFocus(IDC_LANGUAGE);
        default:
            return;
    }
}

void CLogonPropertyPage::Refuse(std::u16string_view text, RefusalKind kind) {
    if (m_pWait) m_pWait->Restore();
    wizard::ShowRefusal(this, text, kind);
}

void CLogonPropertyPage::MoveFocus(int id) {
    if (QLineEdit* edit = Control(id)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}
