// Test support: the real quorvel-console run as a child process with its
// own environment additions, standard input from /dev/null, its output and
// errors captured, and a time limit after which it is killed (a run that
// needs the kill has failed). Signals can be sent while it runs.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace consoletest {

struct ProcessResult {
    int status = -1;      // exit status, or 128 + signal when a signal ended it
    bool killed = false;  // the time limit ran out
    std::string out, err;
    std::chrono::milliseconds elapsed{0};
};

class ConsoleProcess {
  public:
    using Env = std::vector<std::pair<std::string, std::string>>;

    // input: the descriptor the child reads as standard input (-1: /dev/null).
    ConsoleProcess(std::vector<std::string> args, Env env = {}, int input = -1) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        started_ = std::chrono::steady_clock::now();
        pid_ = ::fork();
        if (pid_ == 0) {
            if (input >= 0) {
                ::setsid();  // the terminal given becomes the child's own
                ::dup2(input, STDIN_FILENO);
            } else {
                ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
            }
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            for (const auto& [name, value] : env) {
                if (value.empty()) {
                    ::unsetenv(name.c_str());
                } else {
                    ::setenv(name.c_str(), value.c_str(), 1);
                }
            }
            std::vector<char*> argv;
            std::string program = QUORVEL_CONSOLE_PATH;
            argv.push_back(program.data());
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        outFd_ = out[0];
        errFd_ = err[0];
    }
    ~ConsoleProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (outFd_ >= 0) ::close(outFd_);
        if (errFd_ >= 0) ::close(errFd_);
    }

    pid_t Pid() const { return pid_; }
    // What the process wrote to its output so far.
    const std::string& Output() const { return result_.out; }
    void Signal(int signal) { ::kill(pid_, signal); }

    // Reads until the output (or the error stream) contains text or the
    // limit passes.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit,
                       bool errors = false) {
        const auto end = std::chrono::steady_clock::now() + limit;
        const std::string& stream = errors ? result_.err : result_.out;
        while (stream.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= end || !Pump(end)) return false;
        }
        return true;
    }

    // Waits for the end; kills the process when the limit passes.
    ProcessResult Finish(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Pump(end)) {
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == 0) {
            for (;;) {
                if (::waitpid(pid_, &status, WNOHANG) != 0) break;
                if (std::chrono::steady_clock::now() >= end) {
                    result_.killed = true;
                    ::kill(pid_, SIGKILL);
                    ::waitpid(pid_, &status, 0);
                    break;
                }
                ::usleep(10000);
            }
        }
        reaped_ = true;
        result_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result_.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started_);
        return result_;
    }

  private:
    // Reads what is there; false once both streams ended or the time is up.
    bool Pump(std::chrono::steady_clock::time_point end) {
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        if (outFd_ < 0 && errFd_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (::poll(fds, 2, static_cast<int>(std::min<long>(left.count(), 100))) < 0) return false;
        std::pair<int*, std::string*> streams[] = {{&outFd_, &result_.out},
                                                   {&errFd_, &result_.err}};
        for (int i = 0; i < 2; ++i) {
            if (*streams[i].first < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(*streams[i].first, buffer, sizeof buffer);
            if (n > 0) {
                streams[i].second->append(buffer, static_cast<size_t>(n));
            } else {
                ::close(*streams[i].first);
                *streams[i].first = -1;
            }
        }
        return true;
    }

    pid_t pid_ = -1;
    int outFd_ = -1, errFd_ = -1;
    bool reaped_ = false;
    std::chrono::steady_clock::time_point started_;
    ProcessResult result_;
};

}  // namespace consoletest
