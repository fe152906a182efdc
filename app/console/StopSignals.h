// SIGINT and SIGTERM for the headless front end, honoured at every moment.
//
// Install blocks both signals in the calling thread, and so in every thread
// started after it, and starts one watcher thread that takes them with
// sigwait. What a stop does depends on the phase:
//   start-up (options, password prompt, wizard, logon test, connection and
//     authorisation tests): unless the session begins within a quarter of a
//     second, the start-up clean-up runs (the
//     terminal's echo restored, the empty session folder removed) and the
//     process ends with 128 + the signal (130, 143); nothing waits for a call
//     that may never answer;
//   session: WaitForStop returns true and the session ends cleanly;
//   stopping: a second signal ends the process at once with 128 + signal.
//
// Thread rules: every member may be called from any thread; the state is
// guarded by one mutex, which the watcher also holds while it cleans up.
#pragma once

#include <termios.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

class StopSignals {
  public:
    static StopSignals& Instance();

    // Call first in main, before any thread exists.
    void Install();

    void SetTerminalToRestore(const termios& saved);
    void ClearTerminalToRestore();
    // The session folder that a start-up stop removes while it is empty.
    void SetSessionFolder(std::string path);

    // From here a stop ends the session instead of the process.
    void EnterSession();
    // Waits up to timeout for a stop; true once one came.
    bool WaitForStop(std::chrono::milliseconds timeout);
    // The signal that stopped the session, 0 for none.
    int StopSignal();

  private:
    StopSignals() = default;
    void Watch();
    void OnSignal(int signal);

    enum class Phase { StartUp, Session, Stopping };
    static constexpr std::chrono::milliseconds kStartGrace{250};

    std::mutex m_lock;
    std::condition_variable m_stopped;
    std::condition_variable m_phaseChanged;
    Phase m_phase = Phase::StartUp;     // guarded by m_lock
    int m_nSignal = 0;                  // guarded by m_lock
    std::optional<termios> m_terminal;  // guarded by m_lock
    std::string m_strSessionFolder;     // guarded by m_lock
};
