// The last page of the connection wizard: the Qt face of the database-server
// step (wizard/logic/DatabaseServerStep.h), a grid with one row per
// application server of the tested system, each naming a destination, a
// system and the gateway instance.
//
// Thread rules: user-interface thread only.
#pragma once

#include <string>

#include "wizard/GridControl.h"
#include "wizard/PropertyPage.h"
#include "wizard/logic/DatabaseServerStep.h"

class CSaposcolPropertyPage : public CPropertyPage,
                              private IWizardFace,
                              public CDatabaseServerStep {
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

    CGridControl* Grid() const { return m_pGrid; }

    bool m_bReloadGrid = true;
    bool m_bFocusGrid = false;

  private:
    // The grid's cells into the step's rows.
    bool TakeInput() override;
    void Focus(WizardField field, int row) override;
    void Refuse(std::u16string_view text, RefusalKind kind) override;

    CGridControl* m_pGrid = nullptr;
};
