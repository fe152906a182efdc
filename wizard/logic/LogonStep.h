// The logon step of the connection wizard: the logon data of one R/3
// system. It proves them by logging on with exactly these values, reading
// the system's id and operating system and its application servers into the
// server list, and logging off; only then are the values stored, with the
// password scrambled, in section "Logon" of the settings.
//
// Thread rules: one thread; the logon test blocks it.
#pragma once

#include <string>
#include <vector>

#include "collect/ServerList.h"
#include "rfc/RfcConnection.h"
#include "wizard/logic/InputRule.h"
#include "wizard/logic/WizardStep.h"
#include "wizard/settings/SettingsStore.h"

class CLogonStep : public CWizardStep {
  public:
    // What an empty password field shows.
    static constexpr std::u16string_view kPasswordPlaceholder = u"??????";
    // Passwords of up to 8 characters are the old systems' kind and go in
    // capitals, as those systems compare them; a longer one can only be a
    // today's system's, which compares it as typed.
    static constexpr size_t kCapitalPasswordLimit = 8;
    static std::u16string LogonPassword(std::u16string typed);
    // How each logon field takes its text; a field of another step has no
    // rule (no limit, any character).
    static const InputRule& Rule(WizardField field);

    explicit CLogonStep(IWizardFace& face);

    // The stored values, or the placeholders where nothing is stored.
    void LoadLogon();
    // Validate, test and save; a refusal closes the connection and focuses
    // the password for a refused logon, the host name for any other RFC
    // failure. store false proves the values without storing them.
    bool ProveLogon(const char16_t* routine, bool store = true);

    // User and language in capitals, as their edits keep them.
    void TakeCapitals();
    // The page's checks, then every field's rule.
    void ValidateLogon();
    void TestLogon();
    void ReadServerList();
    void SaveLogon();

    // The server list that TestLogon fills; null fills nothing.
    void SetServerList(std::vector<tagSERVERLIST>* list) { m_pServerList = list; }

    std::u16string m_strHostName = u"?";
    std::u16string m_strClient;
    std::u16string m_strDomain;
    std::u16string m_strLanguage;
    std::u16string m_strPassword;
    std::u16string m_strSapRouter;
    std::u16string m_strSystemNumber;
    std::u16string m_strUser;
    // A password from a file, a credential or the environment stays where it
    // came from: SaveLogon leaves the stored one as it is.
    bool m_bPasswordFromOutside = false;
    CRfcConnection m_connection;
    std::u16string m_strSystemId;
    std::u16string m_strOpSys;
    std::vector<tagSERVERLIST>* m_pServerList = nullptr;

  protected:
    settings::SettingsStore m_settings;
};
