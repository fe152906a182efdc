// The second page of the connection wizard: the data directory. At Next it
// creates the data directory if needed and inside it this run's session
// folder, named from the local time of the press ("%m%d%H%M") and the system
// id that the logon page tested, and stores program, data and session paths
// in the settings. The session folder is removed again while it is still
// empty when the page becomes active once more (Back from the next page) or
// the wizard is cancelled, so a run leaves at most one folder. After every
// step the current directory is the program directory, where the
// collector's own log lies.
//
// Thread rules: user-interface thread only.
#pragma once

#include <string>

#include "app/settings/SettingsStore.h"
#include "wizard/DirectoryBrowseEdit.h"
#include "wizard/PropertyPage.h"

class CLogonPropertyPage;

class CDirectoryPropertyPage : public CPropertyPage {
    Q_OBJECT

  public:
    enum : int { IDC_DIRECTORY = 1012 };
    static constexpr int kDirectoryLimit = 260;

    explicit CDirectoryPropertyPage(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    void OnCancel() override;
    bool UpdateData(bool save) override;

    void ValidateDirectory();
    void CreateSessionFolder();
    void SaveDirectories();
    void RemoveSessionFolder();
    void ChangeToProgramDirectory();

    // Where the system id comes from: the logon page of the same sheet.
    void SetLogonPage(const CLogonPropertyPage* page) { m_pLogonPage = page; }

    CDirectoryBrowseEdit* DirectoryEdit() const { return m_pBrowseEdit; }

    std::u16string m_strDirectory;
    std::u16string m_strSessionPath;
    std::u16string m_strProgramPath;
    std::u16string m_strDataPath;

  private:
    bool RunDirectorySteps(const char16_t* routine);
    // RemoveSessionFolder for handlers that cannot fail.
    void RemoveSessionFolderReported();

    settings::SettingsStore m_settings;
    const CLogonPropertyPage* m_pLogonPage = nullptr;
    CDirectoryBrowseEdit* m_pBrowseEdit = nullptr;
};
