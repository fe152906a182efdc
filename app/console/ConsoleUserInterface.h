// The headless front end's user interface: the connection wizard answered
// by the console's face (ConsoleWizard.h), a connection-test window that
// shows nothing (each of its status lines is also a system message), and
// the main window's message list as lines on standard output.
//
// Thread rules: as IUserInterface; PostMessage writes one whole line per
// call and may be called from any thread.
#pragma once

#include <cstdio>
#include <mutex>

#include "app/console/ConsoleWizard.h"
#include "collect/UserInterface.h"

class CConsoleUserInterface : public IUserInterface {
  public:
    CConsoleUserInterface(CConsoleWizard& wizard, std::FILE* out = stdout)
        : m_wizard(wizard), m_pOut(out) {}

    bool RunConnectionWizard(ConnectionSettings& settings, std::vector<tagSERVERLIST>& servers,
                             std::vector<tagREMOTELIST>& remotes) override;
    std::unique_ptr<IConnectionTestDialog> OpenConnectionTestDialog() override;
    void RepaintMainWindow() override {}
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

    // Writes one line (UTF-8) to the output.
    void WriteLine(std::u16string_view line);

    // How the wizard ended, once it ran.
    CConsoleWizard::Outcome WizardOutcome() const { return m_outcome; }

  private:
    CConsoleWizard& m_wizard;
    std::FILE* m_pOut;
    std::mutex m_writeLock;
    CConsoleWizard::Outcome m_outcome = CConsoleWizard::Outcome::Failed;
};
