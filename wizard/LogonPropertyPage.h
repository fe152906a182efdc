// The first page of the connection wizard: the logon data of one R/3
// system. At Next it proves them: it logs on with exactly these values,
// reads the system's id and operating system and its application servers
// into the server list, logs off, and only then stores the values, with the
// password scrambled, in section "Logon" of the settings.
//
// Thread rules: user-interface thread only; the logon test blocks it.
#pragma once

#include <QLineEdit>
#include <map>
#include <string>
#include <vector>

#include "app/settings/SettingsStore.h"
#include "collect/ServerList.h"
#include "rfc/RfcConnection.h"
#include "wizard/PropertyPage.h"

class CLogonPropertyPage : public CPropertyPage {
    Q_OBJECT

  public:
    // Control ids of the edits.
    enum : int {
        IDC_HOSTNAME = 1004,
        IDC_DOMAIN = 1005,
        IDC_SAPROUTER = 1006,
        IDC_SYSTEMNUMBER = 1007,
        IDC_CLIENT = 1008,
        IDC_USER = 1009,
        IDC_PASSWORD = 1010,
        IDC_LANGUAGE = 1011,
    };

    explicit CLogonPropertyPage(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool UpdateData(bool save) override;

    void ValidateLogon();
    void TestLogon();
    void ReadServerList();
    void SaveLogon();

    QLineEdit* Control(int id) const;

    // The server list that TestLogon fills; null fills nothing.
    void SetServerList(std::vector<tagSERVERLIST>* list) { m_pServerList = list; }

    std::u16string m_strHostName;
    std::u16string m_strClient;
    std::u16string m_strDomain;
    std::u16string m_strLanguage;
    std::u16string m_strPassword;
    std::u16string m_strSapRouter;
    std::u16string m_strSystemNumber;
    std::u16string m_strUser;
    CRfcConnection m_connection;
    std::u16string m_strSystemId;
    std::u16string m_strOpSys;
    std::vector<tagSERVERLIST>* m_pServerList = nullptr;

  private:
    // Next and Finish share every step; routine names the handler.
    bool RunLogonSteps(const char16_t* routine);
    void MoveFocus(int id);

    settings::SettingsStore m_settings;
    std::map<int, QLineEdit*> m_Edits;
};
