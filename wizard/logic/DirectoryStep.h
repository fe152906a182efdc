// The directory step of the connection wizard: the data directory. It
// creates the data directory if needed and inside it this run's session
// folder, named from the local time ("%m%d%H%M") and the system id that the
// logon step tested, and stores program, data and session paths in the
// settings, all three or none. The session folder is removed again while it
// is still empty when the step is entered once more or the wizard is
// cancelled, so a run leaves at most one folder. After every step the
// current directory is the program directory, where the collector's own log
// lies.
//
// Thread rules: one thread.
#pragma once

#include <string>

#include "wizard/logic/InputRule.h"
#include "wizard/logic/WizardStep.h"
#include "wizard/settings/SettingsStore.h"

class CLogonStep;

class CDirectoryStep : public CWizardStep {
  public:
    // How the data directory's field takes its text.
    static constexpr InputRule kDirectoryRule{u"a data directory path", 260};

    explicit CDirectoryStep(IWizardFace& face);

    // Program and data paths from the settings, or their defaults (a
    // failure is refused and the defaults that could be made are kept).
    void LoadDirectories(const char16_t* routine);
    // Validate, create the session folder and save the three paths.
    bool MakeSessionFolder(const char16_t* routine);
    // Validate the data directory and make it as a start would, without a
    // session folder; a directory that cannot take one is refused.
    bool CheckDataDirectory(const char16_t* routine);
    // RemoveSessionFolder for handlers that cannot fail.
    void RemoveSessionFolderReported();

    void ValidateDirectory();
    void CreateSessionFolder();
    void SaveDirectories();
    void RemoveSessionFolder();
    void ChangeToProgramDirectory();

    // Where the system id comes from: the logon step of the same wizard.
    void SetLogonPage(const CLogonStep* step) { m_pLogonStep = step; }

    std::u16string m_strDirectory;
    std::u16string m_strSessionPath;
    std::u16string m_strProgramPath;
    std::u16string m_strDataPath;

  private:
    // Walks down the data path from the root or the program directory,
    // creating what is missing; throws at the first component that can be
    // neither entered nor created.
    void EnterDataPath(const std::u16string& sessionPath);

    settings::SettingsStore m_settings;
    const CLogonStep* m_pLogonStep = nullptr;
    // The session folder that this step created (not one it found), so a
    // failed save removes only its own.
    bool m_bCreatedFolder = false;
};
