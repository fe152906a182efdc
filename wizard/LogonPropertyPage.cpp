#include "wizard/LogonPropertyPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>

#include "app/core/CatchConvention.h"
#include "app/core/CollectorException.h"
#include "platform/FixedText.h"
#include "rfc/RfcException.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/ThServerList.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/UpperCaseValidator.h"
#include "wizard/WaitCursor.h"

namespace {

constexpr char16_t kSection[] = u"Logon";
constexpr char16_t kPasswordPlaceholder[] = u"??????";

}  // namespace

CLogonPropertyPage::CLogonPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Logon to R/3"), parent),
      m_strHostName(u"?"),
      m_settings(settings::kCollectorApp) {
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto* upper = new CUpperCaseValidator(this);

    struct EditLayout {
        int id;
        const char* label;
        int limit;
        enum { Plain, Digits, Upper, Password } style;
    };
    auto make = [&](const EditLayout& s) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit%1").arg(s.id));
        edit->setMaxLength(s.limit);
        switch (s.style) {
            case EditLayout::Plain:
                break;
            case EditLayout::Digits:
                edit->setValidator(digits);
                edit->setAlignment(Qt::AlignRight);
                break;
            case EditLayout::Upper:
                edit->setValidator(upper);
                break;
            case EditLayout::Password:
                edit->setValidator(upper);
                edit->setEchoMode(QLineEdit::Password);
                break;
        }
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
    using S = EditLayout;
    QGroupBox* server = group("Server", {S{IDC_HOSTNAME, "Short Host Name", 20, S::Plain},
                                         S{IDC_DOMAIN, "Domain", 64, S::Plain},
                                         S{IDC_SAPROUTER, "SAP Router String", 64, S::Plain},
                                         S{IDC_SYSTEMNUMBER, "System Number", 3, S::Digits}});
    QGroupBox* user = group(
        "User", {S{IDC_USER, "Name", 12, S::Upper}, S{IDC_PASSWORD, "Password", 8, S::Password},
                 S{IDC_LANGUAGE, "Language", 2, S::Upper}, S{IDC_CLIENT, "Client", 3, S::Digits}});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(server, 3);
    layout->addWidget(user, 2);
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
    try {
        if (!UpdateData(true)) {
            ThrowCollectorException(u"UpdateData failed during dialog termination.");
        }
        ValidateLogon();
        TestLogon();
        SaveLogon();
        return true;
    } catch (const CException& e) {
        m_connection.CloseConnection();
        wait.Restore();
        if (auto* rfc = dynamic_cast<const CRfcException*>(&e)) {
            // A refused logon is the password's fault; anything else, such
            // as a host that does not answer, is the host's.
            MoveFocus(rfc->m_nGroup == 103 ? IDC_PASSWORD : IDC_HOSTNAME);
        }
        wizard::ShowMessageBox(this, e.ReportText(), wizard::MessageIcon::Exclamation);
    } catch (...) {
        m_connection.CloseConnection();
        wait.Restore();
        wizard::ShowMessageBox(this, LowLevelTrapText(routine, TrapStyle::MessageBox),
                               wizard::MessageIcon::Stop);
    }
    return false;
}

void CLogonPropertyPage::MoveFocus(int id) {
    if (QLineEdit* edit = Control(id)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

void CLogonPropertyPage::ValidateLogon() {
    auto fail = [this](int id, std::u16string_view text) {
        MoveFocus(id);
        ThrowCollectorException(text);
    };
    if (m_strHostName.empty() || m_strHostName == u"?") {
        fail(IDC_HOSTNAME, u"Please enter a short host name.");
    }
    if (m_strHostName.find(u'.') != std::u16string::npos) {
        fail(IDC_HOSTNAME,
             u"Please do not enter an IP address or\n domain suffix for the short host name.");
    }
    if (m_strSystemNumber.empty()) fail(IDC_SYSTEMNUMBER, u"Please enter a system number.");
    if (m_strClient.empty()) fail(IDC_CLIENT, u"Please enter a client.");
    if (m_strUser.empty() || m_strUser == u"?") fail(IDC_USER, u"Please enter a SAP user id.");
    if (m_strPassword.empty() || m_strPassword == kPasswordPlaceholder) {
        fail(IDC_PASSWORD, u"Please enter a password.");
    }
    if (m_strLanguage.empty()) fail(IDC_LANGUAGE, u"Please enter a language.");
}

void CLogonPropertyPage::TestLogon() {
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

void CLogonPropertyPage::ReadServerList() {
    if (!m_pServerList) return;
    CThServerList serverList;
    serverList.CallFunctionModule(m_connection);
    ReadServerRows(serverList, m_strOpSys == u"Windows NT", *m_pServerList);
}

void CLogonPropertyPage::SaveLogon() {
    // Only the settings file holds the scrambled form; the field keeps the
    // plain password for the hand-over.
    std::u16string scrambled = m_strPassword;
    m_connection.ScramblePassword(scrambled);
    std::u16string error;
    const bool saved = m_settings.SetStrings(kSection,
                                             {{u"HostName", m_strHostName},
                                              {u"Domain", m_strDomain},
                                              {u"SapRouter", m_strSapRouter},
                                              {u"SystemNumber", m_strSystemNumber},
                                              {u"Client", m_strClient},
                                              {u"User", m_strUser},
                                              {u"Password", scrambled},
                                              {u"Language", m_strLanguage}},
                                             &error);
    if (!saved) ThrowCollectorException(u"unable to save the logon settings: " + error);
}
