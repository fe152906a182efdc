// The pre-flight check: every proof that a session start makes (the RFC
// user's authorisations, each application server reachable with its
// saposcol data fresh, each standalone database server reachable through
// its gateway), without a session folder and without stopping at the first
// failure, one reported line per check. Operators run it before a
// maintenance window.
//
//   CPreflightCheck check(settings, servers, remotes, report);
//   const bool allPassed = check.RunChecks();
//
// Thread rules: Run is called on one thread; no worker is started.
#pragma once

#include <functional>
#include <string>

#include "collect/ConnectionSettings.h"
#include "collect/SystemThread.h"

class CPreflightCheck : public CSystemThread {
  public:
    // One check's outcome: what was checked, and the failure's text (empty
    // when it passed).
    using Report = std::function<void(std::u16string_view check, std::u16string_view failure)>;

    CPreflightCheck(const ConnectionSettings& settings, const ServerList& servers,
                    const RemoteList& remotes, Report report);

    // Runs every check; true when all passed. (Run, the worker loop, is never started.)
    bool RunChecks();
    int FailedCount() const { return m_nFailed; }
    int CheckCount() const { return m_nChecks; }

  protected:
    // Reopens the system connection only: a check starts no collection threads.
    void OpenConnection() override;
    void CheckAuthorization(std::u16string_view object, std::u16string_view field1,
                            std::u16string_view value1, std::u16string_view field2,
                            std::u16string_view value2, std::u16string_view field3,
                            std::u16string_view value3, bool& failed) override;

  private:
    // Runs body as one check; false when it failed.
    bool Check(std::u16string_view what, const std::function<void()>& body);
    void CheckServer(const tagSERVERLIST& server);
    void EnsureSystemConnection();

    Report m_report;
    int m_nChecks = 0;
    int m_nFailed = 0;
};

// "S_RFC RFC_TYPE=FUGR RFC_NAME=THFB ACTVT=16": an authorisation as a check
// names it (blank fields left out).
std::u16string AuthorizationName(std::u16string_view object, std::u16string_view field1,
                                 std::u16string_view value1, std::u16string_view field2,
                                 std::u16string_view value2, std::u16string_view field3,
                                 std::u16string_view value3);
