#include "wizard/WizardUserInterface.h"

#include "wizard/ConnectionDialog.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/WaitCursor.h"

bool CWizardUserInterface::RunConnectionWizard(ConnectionSettings& settings,
                                               std::vector<tagSERVERLIST>& servers,
                                               std::vector<tagREMOTELIST>& remotes) {
    CConnectionPropertySheet sheet(m_pOwner);
    sheet.SetServerList(&servers);
    sheet.SetRemoteList(&remotes);
    int result = 0;
    {
        // Start shows the wait cursor; the operator types into the sheet.
        wizard::CursorLift lift;
        result = RunSheet(sheet);
    }
    if (result != ID_WIZFINISH) return false;
    settings = sheet.Settings();
    return true;
}

int CWizardUserInterface::RunSheet(CConnectionPropertySheet& sheet) {
    return sheet.DoModal();
}

std::unique_ptr<IConnectionTestDialog> CWizardUserInterface::OpenConnectionTestDialog() {
    return std::make_unique<CConnectionTestWindow>();
}
