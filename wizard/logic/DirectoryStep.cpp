#include "wizard/logic/DirectoryStep.h"

#include <cerrno>

#include "collect/core/CollectorException.h"
#include "platform/DateTime.h"
#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TimeFormat.h"
#include "wizard/logic/LogonStep.h"

namespace {

constexpr char16_t kSeparator = platform::kPathSeparator;

[[noreturn]] void ThrowCreateFailure(const std::u16string& sessionPath, int error) {
    if (error == ENOENT) {
        ThrowCollectorException(
            platform::Format(u"invalid path - unable to create directory %s", sessionPath));
    }
    ThrowCollectorException(platform::Format(u"unable to create directory %s : %s", sessionPath,
                                             platform::ErrnoText(error)));
}

}  // namespace

CDirectoryStep::CDirectoryStep(IWizardFace& face)
    : CWizardStep(face), m_settings(settings::kCollectorApp) {}

void CDirectoryStep::LoadDirectories(const char16_t* routine) {
    RunReportedStep(routine, [this] {
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
    });
}

bool CDirectoryStep::MakeSessionFolder(const char16_t* routine) {
    return RunStep(routine, [this] {
        ValidateDirectory();
        CreateSessionFolder();
        SaveDirectories();
    });
}

bool CDirectoryStep::CheckDataDirectory(const char16_t* routine) {
    return RunStep(routine, [this] {
        ValidateDirectory();
        EnterDataPath(m_strDataPath);
        ChangeToProgramDirectory();
        // A folder made and taken away again proves a session folder can be.
        const std::u16string probe = m_strDataPath + u".quorvel-check";
        const int rc = platform::MakeDirectory(probe);
        if (rc != 0 && rc != EEXIST) ThrowCreateFailure(m_strDataPath, rc);
        platform::RemoveDirectory(probe);
    });
}

void CDirectoryStep::RemoveSessionFolderReported() {
    RunReportedStep(u"CDirectoryPropertyPage::RemoveSessionFolder",
                    [this] { RemoveSessionFolder(); });
}

void CDirectoryStep::RemoveSessionFolder() {
    if (m_strSessionPath.empty()) return;
    const std::u16string folder = std::move(m_strSessionPath);
    m_strSessionPath.clear();
    m_bCreatedFolder = false;
    const bool inProgramDirectory = platform::ChangeDirectory(m_strProgramPath) == 0;
    // The removal succeeds only while the folder is empty; its result does
    // not matter. A relative folder is only found from the program directory.
    if (inProgramDirectory || platform::IsAbsolutePath(folder)) platform::RemoveDirectory(folder);
    if (!inProgramDirectory) ChangeToProgramDirectory();
}

void CDirectoryStep::ChangeToProgramDirectory() {
    if (platform::ChangeDirectory(m_strProgramPath) != 0) {
        ThrowCollectorException(
            platform::Format(u"unable to change to directory %s", m_strProgramPath));
    }
}

void CDirectoryStep::ValidateDirectory() {
    if (m_strDirectory.empty()) {
        RefuseAt(WizardField::Directory, 0, u"Please enter path of data directory.");
    }
    const std::u16string breach = kDirectoryRule.Breach(m_strDirectory);
    if (!breach.empty()) RefuseAt(WizardField::Directory, 0, breach);
    m_strDataPath = m_strDirectory;
    if (m_strDataPath.back() != kSeparator) m_strDataPath += kSeparator;
}

void CDirectoryStep::EnterDataPath(const std::u16string& sessionPath) {
    // An absolute path starts at the root; a relative one below the program
    // directory.
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
        if (component.empty() || platform::ChangeDirectory(component) == 0) continue;
        // Going on past a component that is a file or cannot be made would
        // create the rest of the path in the wrong place.
        const int made = platform::MakeDirectory(component);
        const int entered = platform::ChangeDirectory(component);
        if (entered != 0) {
            ChangeToProgramDirectory();
            ThrowCreateFailure(sessionPath, made != 0 && made != EEXIST ? made : entered);
        }
    }
}

void CDirectoryStep::CreateSessionFolder() {
    const std::u16string stamp =
        platform::FormatDateTime(u"%m%d%H%M", platform::CurrentLocalTime());
    const std::u16string systemId = m_pLogonStep ? m_pLogonStep->m_strSystemId : u"";
    const std::u16string sessionPath =
        platform::Format(u"%s%s.%s", m_strDataPath, stamp, systemId) + kSeparator;
    EnterDataPath(sessionPath);

    // A relative session path is taken from the program directory.
    ChangeToProgramDirectory();
    const int rc = platform::MakeDirectory(sessionPath);
    // A folder of the same minute (Next twice) is used again; any other
    // failure would leave the run without a folder, so it is reported.
    if (rc != 0 && !(rc == EEXIST && platform::DirectoryExists(sessionPath))) {
        ThrowCreateFailure(sessionPath, rc);
    }
    m_strSessionPath = sessionPath;
    m_bCreatedFolder = rc == 0;
    ChangeToProgramDirectory();
}

void CDirectoryStep::SaveDirectories() {
    std::u16string error;
    const bool saved = m_settings.SetSections({{u"Program", {{u"Path", m_strProgramPath}}},
                                               {u"Data", {{u"Path", m_strDataPath}}},
                                               {u"Session", {{u"Path", m_strSessionPath}}}},
                                              &error);
    if (saved) return;
    // Without its paths stored the session cannot go on; the folder made
    // for it goes again, so a failed save leaves nothing behind.
    if (m_bCreatedFolder) {
        RemoveSessionFolder();
    } else {
        m_strSessionPath.clear();
    }
    ThrowCollectorException(u"unable to save the directory settings: " + error);
}
