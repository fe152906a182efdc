// The headless front end's user interface: the real connection wizard, run
// unattended on whatever display Qt has (offscreen without one) with the
// values the settings store shows, and the main window's message list as
// lines on standard output.
//
// Thread rules: as IUserInterface; PostMessage writes one whole line per
// call and may be called from any thread.
#pragma once

#include <cstdio>
#include <vector>

#include "app/console/ConsoleOptions.h"
#include "wizard/WizardUserInterface.h"

class CSaposcolPropertyPage;

class CConsoleUserInterface : public CWizardUserInterface {
  public:
    explicit CConsoleUserInterface(std::FILE* out = stdout) : m_pOut(out) {}

    void RepaintMainWindow() override;
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

    // Writes one line (UTF-8) to the output.
    void WriteLine(std::u16string_view line);

    // Standalone database servers entered on the wizard's last page in
    // place of the stored ones; none given keeps the stored ones.
    void SetDatabaseServers(std::vector<ConsoleDatabaseServer> servers) {
        m_Databases = std::move(servers);
    }

  protected:
    // Next on every page with the values it shows, then Finish; a page that
    // refuses (its message box is written out) cancels the wizard.
    int RunSheet(CConnectionPropertySheet& sheet) override;

  private:
    // False (with the reason written) when there are more servers than rows.
    bool EnterDatabaseServers(CSaposcolPropertyPage& page);

    std::FILE* m_pOut;
    std::vector<ConsoleDatabaseServer> m_Databases;
};
