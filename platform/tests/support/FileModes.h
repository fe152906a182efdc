// Test support: the permission bits of a path, and a umask set for the
// length of a scope (set it before the test starts threads).
#pragma once

#include <sys/stat.h>

#include <string>

namespace testsupport {

// The permission bits, or -1 when the path cannot be read.
inline int ModeOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

class UmaskScope {
  public:
    explicit UmaskScope(mode_t mask) : before_(::umask(mask)) {}
    ~UmaskScope() { ::umask(before_); }
    UmaskScope(const UmaskScope&) = delete;
    UmaskScope& operator=(const UmaskScope&) = delete;

  private:
    mode_t before_;
};

}  // namespace testsupport
