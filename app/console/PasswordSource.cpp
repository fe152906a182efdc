#include "app/console/PasswordSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/console/StopSignals.h"
#include "platform/TextCodec.h"

namespace {

// Password files are small; anything longer is not one.
constexpr size_t kPasswordFileLimit = 4096;

std::u16string FirstLine(std::string text) {
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    return platform::FromUtf8(text);
}

}  // namespace

bool ReadPasswordFile(const std::string& path, std::u16string& password, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = "cannot open the password file " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok) {
        error = "cannot read the password file " + path + ": " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "the password file " + path + " is not a regular file";
        ok = false;
    } else if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = "the password file " + path +
                " may be read by group or others; make it readable by its owner only (chmod 600)";
        ok = false;
    } else {
        char buffer[kPasswordFileLimit];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || text.size() + static_cast<size_t>(n) > kPasswordFileLimit) {
                error = "cannot read the password file " + path;
                ok = false;
                break;
            }
            text.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    if (!ok) return false;
    password = FirstLine(std::move(text));
    if (password.empty()) {
        error = "the password file " + path + " holds no password";
        return false;
    }
    return true;
}

namespace {

// The variable's value, then its characters overwritten where the process
// started with them (/proc/PID/environ shows that memory) and the variable
// removed.
std::string TakeEnvironmentSecret(const char* name) {
    char* value = std::getenv(name);
    if (value == nullptr) return {};
    std::string secret(value);
    volatile char* wipe = value;
    for (size_t i = 0; i < secret.size(); ++i) wipe[i] = '\0';
    ::unsetenv(name);
    return secret;
}

}  // namespace

PasswordResult PasswordFromSources(const std::string& passwordFile) {
    PasswordResult result;
    result.fromOutside = true;
    const std::string environment = TakeEnvironmentSecret("QUORVEL_PASSWORD");
    std::u16string password;
    if (!passwordFile.empty()) {
        if (ReadPasswordFile(passwordFile, password, result.error)) result.password = password;
        return result;
    }
    if (const char* credentials = std::getenv("CREDENTIALS_DIRECTORY");
        credentials && *credentials) {
        const std::string path = std::string(credentials) + "/password";
        if (::access(path.c_str(), F_OK) == 0) {
            if (ReadPasswordFile(path, password, result.error)) result.password = password;
            return result;
        }
    }
    if (!environment.empty()) result.password = platform::FromUtf8(environment);
    result.fromOutside = result.password.has_value();
    return result;
}

std::optional<std::u16string> PromptForPassword() {
    if (!::isatty(STDIN_FILENO)) return std::nullopt;
    termios saved{};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        StopSignals::Instance().SetTerminalToRestore(saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    // Asked only once nothing typed can show.
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        StopSignals::Instance().ClearTerminalToRestore();
    }
    std::fputs("\n", stderr);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return std::nullopt;
    return platform::FromUtf8(line);
}
