// Test support: a real, small file system of its own (tmpfs) at a fresh
// directory, so a test can fill a disk for real. Mounting needs root and a
// kernel that lets this process mount; where it cannot, Reason() says why
// and the test skips with it. Unmounted and removed at the end of the scope.
#pragma once

#include <stdlib.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace testsupport {

class SmallFileSystem {
  public:
    explicit SmallFileSystem(size_t bytes) {
        char pattern[] = "/tmp/quorvel-smallfs-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            reason_ = std::string("no directory for the mount: ") + std::strerror(errno);
            return;
        }
        path_ = pattern;
        if (::geteuid() != 0) {
            reason_ = "mounting a small file system needs root";
            return;
        }
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
        if (::mount("quorvel-test", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.c_str()) != 0) {
            reason_ = std::string("this process may not mount tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Reason() const { return reason_; }
    // The mount point, without a trailing separator.
    const std::string& Path() const { return path_; }
    uint64_t FreeBytes() const {
        struct statvfs st {};
        if (::statvfs(path_.c_str(), &st) != 0) return 0;
        return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    }

  private:
    std::string path_, reason_;
    bool mounted_ = false;
};

}  // namespace testsupport
