// The database-server step of the connection wizard: the standalone
// database servers, whose operating-system figures are read through an RFC
// destination by way of the gateway of one application server. There is
// one row per application server of the tested system; each row names a
// destination, a system and the gateway instance. Taken, the rows become
// the remote list and are stored in the settings section named by the
// system id, so every R/3 system keeps its own rows.
//
// Thread rules: one thread.
#pragma once

#include <string>
#include <vector>

#include "collect/ServerList.h"
#include "wizard/logic/InputRule.h"
#include "wizard/logic/WizardStep.h"
#include "wizard/settings/SettingsStore.h"

class CLogonStep;

struct DatabaseServerRow {
    std::u16string destination;
    std::u16string system;
    std::u16string gateway;
};

class CDatabaseServerStep : public CWizardStep {
  public:
    // Destinations and systems are names of the R/3 system, kept in
    // capitals; the remote list cuts them to its field widths.
    static constexpr InputRule kDestinationRule{u"a destination", 0, false, true};
    static constexpr InputRule kSystemRule{u"a system", 0, false, true};

    explicit CDatabaseServerStep(IWizardFace& face);

    // One row per application server with what the system's section
    // stores; a stored gateway that is no longer a server of the system is
    // dropped.
    void LoadRows();
    // The choices of the destination and system columns as stored
    // ("A\nB\n"), and the server names of the gateway column.
    std::u16string StoredDestinations() const;
    std::u16string StoredSystems() const;
    std::u16string GatewayChoices() const;

    // Validate, build the remote list and store the rows. store false
    // builds the list without storing it.
    bool TakeRows(const char16_t* routine, bool store = true);

    void ValidateRemoteList();
    void BuildRemoteList();
    void SaveRemoteList();
    bool IsServerName(std::u16string_view text) const;

    void SetServerList(const std::vector<tagSERVERLIST>* list) { m_pServerList = list; }
    const std::vector<tagSERVERLIST>* ServerList() const { return m_pServerList; }
    void SetRemoteList(std::vector<tagREMOTELIST>* list) { m_pRemoteList = list; }
    // Where the system id comes from: the logon step of the same wizard.
    void SetLogonPage(const CLogonStep* step) { m_pLogonStep = step; }

    // The rows as entered, without leading and trailing white space.
    std::vector<DatabaseServerRow> m_Rows;
    const std::vector<tagSERVERLIST>* m_pServerList = nullptr;
    std::vector<tagREMOTELIST>* m_pRemoteList = nullptr;
    std::u16string m_strDestinationList;
    std::u16string m_strSystemList;
    std::u16string m_strSection;

  private:
    settings::SettingsStore m_settings;
    const CLogonStep* m_pLogonStep = nullptr;
};
