#include "app/console/StopSignals.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <thread>

namespace {

sigset_t StopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void WriteError(const char* text) {
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

}  // namespace

StopSignals& StopSignals::Instance() {
    static StopSignals* signals = new StopSignals;  // outlives the detached watcher
    return *signals;
}

void StopSignals::Install() {
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([this] { Watch(); }).detach();
}

void StopSignals::Watch() {
    const sigset_t set = StopSet();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) == 0) OnSignal(signal);
    }
}

void StopSignals::OnSignal(int signal) {
    std::unique_lock lock(m_lock);
    // A start that is just finishing (data capture started, the clock not
    // yet running) becomes a session that ends cleanly.
    m_phaseChanged.wait_for(lock, kStartGrace, [this] { return m_phase != Phase::StartUp; });
    if (m_phase == Phase::Session) {
        m_phase = Phase::Stopping;
        m_nSignal = signal;
        m_stopped.notify_all();
        return;
    }
    if (m_terminal) ::tcsetattr(STDIN_FILENO, TCSANOW, &*m_terminal);
    if (m_phase == Phase::StartUp) {
        // Only an empty folder goes: files written are kept.
        if (!m_strSessionFolder.empty()) ::rmdir(m_strSessionFolder.c_str());
        WriteError("quorvel-console: stopped during the start; no session was started.\n");
    } else {
        WriteError("quorvel-console: stopped again; not waiting for the session to end.\n");
    }
    ::_exit(128 + signal);
}

void StopSignals::SetTerminalToRestore(const termios& saved) {
    std::lock_guard lock(m_lock);
    m_terminal = saved;
}

void StopSignals::ClearTerminalToRestore() {
    std::lock_guard lock(m_lock);
    m_terminal.reset();
}

void StopSignals::SetSessionFolder(std::string path) {
    std::lock_guard lock(m_lock);
    m_strSessionFolder = std::move(path);
}

void StopSignals::EnterSession() {
    std::lock_guard lock(m_lock);
    if (m_phase == Phase::StartUp) m_phase = Phase::Session;
    m_strSessionFolder.clear();
    m_phaseChanged.notify_all();
}

bool StopSignals::WaitForStop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_lock);
    return m_stopped.wait_for(lock, timeout, [this] { return m_phase == Phase::Stopping; });
}

int StopSignals::StopSignal() {
    std::lock_guard lock(m_lock);
    return m_nSignal;
}
