// The headless face of the connection wizard: the three steps in the pages'
// order, answered from the command line and the stored values, never from
// a window. Every refusal is one line on the error stream with the step's
// own text, and the run ends there; values are stored only as each step
// passes, so a refused logon leaves the stored values as they were.
//
// Thread rules: one thread (the start-up thread).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/console/ConsoleOptions.h"
#include "collect/ConnectionSettings.h"
#include "collect/ServerList.h"
#include "wizard/logic/DatabaseServerStep.h"
#include "wizard/logic/DirectoryStep.h"
#include "wizard/logic/LogonStep.h"

class CConsoleWizard : private IWizardFace {
  public:
    enum class Mode {
        Session,    // every step, the session folder made and all values stored
        Check,      // the logon and database-server steps proved, nothing stored
        StoreOnly,  // the logon, data directory and database servers stored, no folder
    };
    enum class Outcome { Finished, Refused, Failed };

    // passwordFromOutside: the password came from a file, a credential or the
    // environment and is never stored.
    CConsoleWizard(const ConsoleOptions& options, std::optional<std::u16string> password,
                   std::FILE* errors = stderr, bool passwordFromOutside = false);

    Outcome Run(Mode mode, ConnectionSettings& settings, std::vector<tagSERVERLIST>& servers,
                std::vector<tagREMOTELIST>& remotes);

  private:
    bool TakeInput() override { return true; }
    void Focus(WizardField, int) override {}
    void Refuse(std::u16string_view text, RefusalKind kind) override;

    void GiveLogonValues();
    bool GiveDatabaseServers(const std::vector<tagSERVERLIST>& servers);
    bool StoreDataDirectory();
    // Says why the run cannot go on; the run's outcome is Failed.
    void Fail(std::u16string_view text);

    const ConsoleOptions& m_options;
    std::optional<std::u16string> m_password;
    std::FILE* m_pErrors;
    bool m_bPasswordFromOutside;
    CLogonStep m_logon;
    CDirectoryStep m_directory;
    CDatabaseServerStep m_databases;
    Outcome m_refusal = Outcome::Finished;
};

// The line a refusal or an error becomes: line feeds as blanks.
std::u16string OneLine(std::u16string_view text);
