#include "wizard/DirectoryPropertyPage.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cerrno>

#include "app/core/CatchConvention.h"
#include "app/core/CollectorException.h"
#include "platform/DateTime.h"
#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TimeFormat.h"
#include "wizard/LogonPropertyPage.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"

namespace {

constexpr char16_t kSeparator = platform::kPathSeparator;

void Report(QWidget* parent, const CException& e) {
    wizard::ShowMessageBox(parent, e.ReportText(), wizard::MessageIcon::Exclamation);
}

void ReportTrap(QWidget* parent, const char16_t* routine) {
    wizard::ShowMessageBox(parent, LowLevelTrapText(routine, TrapStyle::MessageBox),
                           wizard::MessageIcon::Stop);
}

}  // namespace

CDirectoryPropertyPage::CDirectoryPropertyPage(QWidget* parent)
    : CPropertyPage(QStringLiteral("Data Directory"), parent), m_settings(settings::kCollectorApp) {
    auto* text = new QLabel(
        tr("Please specify the directory path where data files are to be written."), this);
    text->setWordWrap(true);
    m_pBrowseEdit = new CDirectoryBrowseEdit(this);
    m_pBrowseEdit->Edit()->setObjectName(QStringLiteral("edit1012"));
    m_pBrowseEdit->Edit()->setMaxLength(kDirectoryLimit);
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

bool CDirectoryPropertyPage::OnInitDialog() {
    try {
        m_strProgramPath = m_settings.GetString(u"Program", u"Path");
        if (m_strProgramPath.empty()) {
            m_strProgramPath = platform::CurrentDirectory();  // ends in the separator
            if (m_strProgramPath.empty()) {
                ThrowCollectorException(u"unable to get current working directory");
            }
        }
        m_strDataPath = m_settings.GetString(u"Data", u"Path");
        if (m_strDataPath.empty()) {
            m_strDataPath = m_strProgramPath + u"DATA" + kSeparator;
        }
        m_strDirectory = m_strDataPath;
    } catch (const CException& e) {
        Report(this, e);
    } catch (...) {
        ReportTrap(this, u"CDirectoryPropertyPage::OnInitDialog");
    }
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

void CDirectoryPropertyPage::RemoveSessionFolderReported() {
    try {
        RemoveSessionFolder();
    } catch (const CException& e) {
        Report(this, e);
    } catch (...) {
        ReportTrap(this, u"CDirectoryPropertyPage::RemoveSessionFolder");
    }
}

void CDirectoryPropertyPage::RemoveSessionFolder() {
    if (m_strSessionPath.empty()) return;
    const std::u16string folder = std::move(m_strSessionPath);
    m_strSessionPath.clear();
    const bool inProgramDirectory = platform::ChangeDirectory(m_strProgramPath) == 0;
    // The removal succeeds only while the folder is empty; its result does
    // not matter. A relative folder is only found from the program directory.
    if (inProgramDirectory || platform::IsAbsolutePath(folder)) platform::RemoveDirectory(folder);
    if (!inProgramDirectory) ChangeToProgramDirectory();
}

void CDirectoryPropertyPage::ChangeToProgramDirectory() {
    if (platform::ChangeDirectory(m_strProgramPath) != 0) {
        ThrowCollectorException(
            platform::Format(u"unable to change to directory %s", m_strProgramPath));
    }
}

int CDirectoryPropertyPage::OnWizardNext() {
    if (!RunDirectorySteps(u"CDirectoryPropertyPage::OnWizardNext")) return -1;
    return CPropertyPage::OnWizardNext();
}

bool CDirectoryPropertyPage::OnWizardFinish() {
    if (!RunDirectorySteps(u"CDirectoryPropertyPage::OnWizardFinish")) return false;
    return CPropertyPage::OnWizardFinish();
}

bool CDirectoryPropertyPage::RunDirectorySteps(const char16_t* routine) {
    try {
        if (!UpdateData(true)) {
            ThrowCollectorException(u"UpdateData failed during dialog termination.");
        }
        ValidateDirectory();
        CreateSessionFolder();
        SaveDirectories();
        return true;
    } catch (const CException& e) {
        Report(this, e);
    } catch (...) {
        ReportTrap(this, routine);
    }
    return false;
}

void CDirectoryPropertyPage::ValidateDirectory() {
    if (m_strDirectory.empty()) {
        m_pBrowseEdit->Edit()->setFocus(Qt::OtherFocusReason);
        ThrowCollectorException(u"Please enter path of data directory.");
    }
    m_strDataPath = m_strDirectory;
    if (m_strDataPath.back() != kSeparator) m_strDataPath += kSeparator;
}

void CDirectoryPropertyPage::CreateSessionFolder() {
    // Walk down the data path, creating what is missing. An absolute path
    // starts at the root; a relative one below the program directory.
    // Failures here show up when the session folder cannot be made.
    if (platform::IsAbsolutePath(m_strDataPath)) {
        platform::ChangeDirectory(std::u16string(1, kSeparator));
    } else {
        ChangeToProgramDirectory();
    }
    size_t start = 0;
    while (start < m_strDataPath.size()) {
        size_t end = m_strDataPath.find(kSeparator, start);
        if (end == std::u16string::npos) end = m_strDataPath.size();
        const std::u16string component = m_strDataPath.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        if (platform::ChangeDirectory(component) != 0) {
            platform::MakeDirectory(component);
            platform::ChangeDirectory(component);
        }
    }

    const std::u16string stamp =
        platform::FormatDateTime(u"%m%d%H%M", platform::CurrentLocalTime());
    const std::u16string systemId = m_pLogonPage ? m_pLogonPage->m_strSystemId : u"";
    const std::u16string sessionPath =
        platform::Format(u"%s%s.%s", m_strDataPath, stamp, systemId) + kSeparator;

    // A relative session path is taken from the program directory.
    ChangeToProgramDirectory();
    const int rc = platform::MakeDirectory(sessionPath);
    if (rc == ENOENT) {
        ThrowCollectorException(
            platform::Format(u"invalid path - unable to create directory %s", sessionPath));
    }
    // A folder of the same minute (Next twice) is used again; any other
    // failure would leave the run without a folder, so it is reported.
    if (rc != 0 && !(rc == EEXIST && platform::DirectoryExists(sessionPath))) {
        ThrowCollectorException(platform::Format(u"unable to create directory %s : %s", sessionPath,
                                                 platform::ErrnoText(rc)));
    }
    m_strSessionPath = sessionPath;
    ChangeToProgramDirectory();
}

void CDirectoryPropertyPage::SaveDirectories() {
    std::u16string error;
    if (!m_settings.SetString(u"Program", u"Path", m_strProgramPath, &error) ||
        !m_settings.SetString(u"Data", u"Path", m_strDataPath, &error) ||
        !m_settings.SetString(u"Session", u"Path", m_strSessionPath, &error)) {
        ThrowCollectorException(u"unable to save the directory settings: " + error);
    }
}
