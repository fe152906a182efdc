// The headless front end's user interface: the real connection wizard, run
// unattended on whatever display Qt has (offscreen without one) with the
// values the settings store shows, and the main window's message list as
// lines on standard output.
//
// Thread rules: as IUserInterface; PostMessage writes one whole line per
// call and may be called from any thread.
#pragma once

#include <cstdio>

#include "wizard/WizardUserInterface.h"

class CConsoleUserInterface : public CWizardUserInterface {
  public:
    explicit CConsoleUserInterface(std::FILE* out = stdout) : m_pOut(out) {}

    void RepaintMainWindow() override;
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

    // Writes one line (UTF-8) to the output.
    void WriteLine(std::u16string_view line);

  protected:
    // Next on every page with the values it shows, then Finish; a page that
    // refuses (its message box is written out) cancels the wizard.
    int RunSheet(CConnectionPropertySheet& sheet) override;

  private:
    std::FILE* m_pOut;
};
