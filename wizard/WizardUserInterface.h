// The Qt side of the engine's user interface that this module provides:
// the connection wizard and the connection-test window. The main window
// derives from it and adds posting and repaint.
//
// Thread rules: user-interface thread only (PostMessage excepted, see
// collect/UserInterface.h).
#pragma once

#include <QWidget>

#include "collect/UserInterface.h"

class CConnectionPropertySheet;

class CWizardUserInterface : public IUserInterface {
  public:
    explicit CWizardUserInterface(QWidget* owner = nullptr) : m_pOwner(owner) {}

    bool RunConnectionWizard(ConnectionSettings& settings, std::vector<tagSERVERLIST>& servers,
                             std::vector<tagREMOTELIST>& remotes) override;
    std::unique_ptr<IConnectionTestDialog> OpenConnectionTestDialog() override;

  protected:
    // Runs the sheet modally; returns its result.
    virtual int RunSheet(CConnectionPropertySheet& sheet);

  private:
    QWidget* m_pOwner;
};
