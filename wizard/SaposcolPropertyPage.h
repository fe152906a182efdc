// The last page of the connection wizard: the standalone database servers,
// whose operating-system figures are read through an RFC destination by way
// of the gateway of one application server. The grid has one row per
// application server of the tested system; each row names a destination, a
// system and the gateway instance. At Next or Finish the rows become the
// remote list and are stored in the settings section named by the system
// id, so every R/3 system keeps its own rows.
//
// Thread rules: user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "app/settings/SettingsStore.h"
#include "collect/ServerList.h"
#include "wizard/GridControl.h"
#include "wizard/PropertyPage.h"

class CLogonPropertyPage;

class CSaposcolPropertyPage : public CPropertyPage {
    Q_OBJECT

  public:
    enum : int { IDC_GRID = 1013 };
    enum : int { kDestinationColumn = 1, kSystemColumn = 2, kGatewayColumn = 3 };

    explicit CSaposcolPropertyPage(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    void OnIdleUpdate() override;

    void FillGrid();
    void ReloadGrid();
    // The cell's text without leading and trailing white space.
    std::u16string GetCellText(int row, int column) const;
    void ValidateRemoteList();
    void BuildRemoteList();
    void SaveRemoteList();
    bool IsServerName(std::u16string_view text) const;

    void SetServerList(const std::vector<tagSERVERLIST>* list) { m_pServerList = list; }
    const std::vector<tagSERVERLIST>* ServerList() const { return m_pServerList; }
    void SetRemoteList(std::vector<tagREMOTELIST>* list) { m_pRemoteList = list; }
    // Where the system id comes from: the logon page of the same sheet.
    void SetLogonPage(const CLogonPropertyPage* page) { m_pLogonPage = page; }

    CGridControl* Grid() const { return m_pGrid; }

    const std::vector<tagSERVERLIST>* m_pServerList = nullptr;
    std::vector<tagREMOTELIST>* m_pRemoteList = nullptr;
    std::u16string m_strDestinationList;
    std::u16string m_strSystemList;
    std::u16string m_strSection;
    bool m_bReloadGrid = true;
    bool m_bFocusGrid = false;

  private:
    bool RunSaposcolSteps(const char16_t* routine);

    settings::SettingsStore m_settings;
    const CLogonPropertyPage* m_pLogonPage = nullptr;
    CGridControl* m_pGrid = nullptr;
};
