#include "wizard/settings/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace settings {
namespace {

std::mutex& WriteMutex() {
    static std::mutex m;
    return m;
}

QString ToQt(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::u16string FromQt(const QString& s) {
    return s.toStdU16String();
}

std::u16string FromLocal(const std::string& s) {
    return QString::fromLocal8Bit(s).toStdU16String();
}

std::u16string ErrnoReason(const std::string& what, const std::string& path, int error) {
    return FromLocal(what + " " + path + ": " + std::strerror(error));
}

std::string DefaultDirectory() {
    if (const char* dir = std::getenv(kDirectoryEnv); dir && *dir) return dir;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/Ostrel/VantrixSAP";
}

// Creates every missing component of dir with mode 0700.
int MakePath(const std::string& dir) {
    if (dir.empty()) return 0;
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// Copies the current file (if any) into the open descriptor fd.
int CopyInto(const std::string& from, int fd) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno == ENOENT ? 0 : errno;
    char buffer[8192];
    int result = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            result = errno;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(fd, buffer + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                result = errno;
                break;
            }
            done += w;
        }
        if (result) break;
    }
    ::close(in);
    return result;
}

// Qt re-reads a cached file only when its size or its modification time (in
// milliseconds) changed; the replacement is stamped later than the file it
// replaces, so two writes in one millisecond are not mistaken for none.
void KeepTimeStampAhead(const std::string& current, const std::string& replacement) {
    struct stat old {
    }, now{};
    if (::stat(current.c_str(), &old) != 0 || ::stat(replacement.c_str(), &now) != 0) return;
    auto ms = [](const struct timespec& t) {
        return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    };
    if (ms(now.st_mtim) > ms(old.st_mtim)) return;
    const long long next = ms(old.st_mtim) + 1;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(next / 1000);
    times[1].tv_nsec = static_cast<long>(next % 1000) * 1000000;
    ::utimensat(AT_FDCWD, replacement.c_str(), times, 0);
}

// Holds the advisory lock of the settings directory for as long as it
// lives. The directory is locked, not a file beside the settings, so no
// lock file is left behind (and removing one would race).
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            m_error = errno;
            break;
        }
    }
    ~DirectoryLock() {
        if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    int Error() const { return m_error; }

  private:
    int m_fd;
    int m_error = 0;
};

}  // namespace

SettingsStore::SettingsStore(std::u16string_view application, std::string directory)
    : m_application(application),
      m_directory(directory.empty() ? DefaultDirectory() : std::move(directory)) {
    while (m_directory.size() > 1 && m_directory.back() == '/') m_directory.pop_back();
    m_path = m_directory + "/" + ToQt(m_application).toStdString() + ".ini";
}

std::u16string SettingsStore::GetString(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view fallback) const {
    if (::access(m_path.c_str(), R_OK) != 0) return std::u16string(fallback);
    QSettings file(QString::fromStdString(m_path), QSettings::IniFormat);
    if (file.status() != QSettings::NoError) return std::u16string(fallback);
    const QVariant value = file.value(ToQt(section) + u'/' + ToQt(key));
    if (!value.isValid()) return std::u16string(fallback);
    // A hand-edited value with commas reads as a list; it is one string.
    if (value.typeId() == QMetaType::QStringList) return FromQt(value.toStringList().join(u','));
    return FromQt(value.toString());
}

bool SettingsStore::SetString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value, std::u16string* error) {
    return SetStrings(section, {{std::u16string(key), std::u16string(value)}}, error);
}

bool SettingsStore::SetStrings(std::u16string_view section, const Values& values,
                               std::u16string* error) {
    return SetSections({{std::u16string(section), values}}, error);
}

bool SettingsStore::SetSections(const std::vector<SectionValues>& sections, std::u16string* error) {
    auto fail = [error](std::u16string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    std::lock_guard lock(WriteMutex());
    if (int rc = MakePath(m_directory)) return fail(ErrnoReason("cannot create", m_directory, rc));
    // Another process's write between our copy and our rename would be lost.
    const DirectoryLock directoryLock(m_directory);
    if (directoryLock.Error())
        return fail(ErrnoReason("cannot lock", m_directory, directoryLock.Error()));

    // The copy is made with mkstemp, so it is 0600 from the start. Its name
    // is never reused in this process: Qt caches parsed files by path.
    static unsigned long serial = 0;
    std::string temp =
        m_path + "." + std::to_string(::getpid()) + "." + std::to_string(++serial) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return fail(ErrnoReason("cannot create", temp, errno));
    auto discard = [&temp] { ::unlink(temp.c_str()); };
    if (int rc = CopyInto(m_path, fd)) {
        ::close(fd);
        discard();
        return fail(ErrnoReason("cannot read", m_path, rc));
    }
    ::close(fd);

    {
        QSettings file(QString::fromStdString(temp), QSettings::IniFormat);
        if (file.status() != QSettings::NoError) {
            discard();
            return fail(FromLocal("cannot parse " + m_path));
        }
        for (const SectionValues& section : sections) {
            for (const auto& [key, value] : section.values) {
                file.setValue(ToQt(section.section) + u'/' + ToQt(key), ToQt(value));
            }
        }
        file.sync();
        if (file.status() != QSettings::NoError) {
            discard();
            return fail(FromLocal("cannot write " + temp));
        }
    }
    // Qt may have replaced the copy with a file of its own; the mode is set
    // again before the copy becomes the settings file.
    if (::chmod(temp.c_str(), 0600) != 0) {
        const int rc = errno;
        discard();
        return fail(ErrnoReason("cannot protect", temp, rc));
    }
    const int sync = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (sync >= 0) {
        ::fsync(sync);
        ::close(sync);
    }
    KeepTimeStampAhead(m_path, temp);
    if (::rename(temp.c_str(), m_path.c_str()) != 0) {
        const int rc = errno;
        discard();
        return fail(ErrnoReason("cannot replace", m_path, rc));
    }
    return true;
}

}  // namespace settings
