#include "platform/Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/TextCodec.h"

namespace platform {

std::u16string CurrentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return {};
    return WithTrailingSeparator(FromUtf8(buffer.data()));
}

bool SpaceOf(const std::u16string& path, FileSystemSpace& space) {
    struct statvfs st {};
    if (::statvfs(ToUtf8(path).c_str(), &st) != 0) return false;
    space.availableBytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    space.totalBytes = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
    return true;
}

uint64_t FilesBytes(const std::u16string& directory) {
    const std::string native = ToUtf8(directory);
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) return 0;
    uint64_t total = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            total += static_cast<uint64_t>(st.st_size);
    }
    ::closedir(dir);
    return total;
}

int ChangeDirectory(const std::u16string& path) {
    return ::chdir(ToUtf8(path).c_str()) == 0 ? 0 : errno;
}

int MakeDirectory(const std::u16string& path, unsigned mode) {
    return ::mkdir(ToUtf8(path).c_str(), static_cast<mode_t>(mode & 07777)) == 0 ? 0 : errno;
}

int RemoveDirectory(const std::u16string& path) {
    return ::rmdir(ToUtf8(path).c_str()) == 0 ? 0 : errno;
}

bool DirectoryExists(const std::u16string& path) {
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::u16string& path) {
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::u16string ErrnoText(int error) {
    char buffer[256];
    // The GNU variant returns the text, which may not be the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return FromUtf8(text);
}

std::u16string ProgramDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), PATH_MAX);
    if (n <= 0) return CurrentDirectory();
    const std::u16string exe = FromUtf8(std::string_view(buffer.data(), static_cast<size_t>(n)));
    return SplitPath(exe).directory;
}

PathParts SplitPath(std::u16string_view path) {
    PathParts parts;
    const size_t slash = path.rfind(kPathSeparator);
    const size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    parts.directory = std::u16string(path.substr(0, nameStart));
    const std::u16string_view file = path.substr(nameStart);
    const size_t dot = file.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0) {
        parts.name = std::u16string(file);
    } else {
        parts.name = std::u16string(file.substr(0, dot));
        parts.extension = std::u16string(file.substr(dot));
    }
    return parts;
}

std::u16string WithTrailingSeparator(std::u16string_view path) {
    std::u16string out(path);
    if (out.empty() || out.back() != kPathSeparator) out.push_back(kPathSeparator);
    return out;
}

bool IsAbsolutePath(std::u16string_view path) {
    return !path.empty() && path[0] == kPathSeparator;
}

std::u16string FileNamePart(std::u16string_view name) {
    std::u16string part(name);
    for (char16_t& c : part)
        if (c == kPathSeparator || c == u'\0') c = u'_';
    return part;
}

}  // namespace platform

namespace platform {

bool DirectoryIsEmpty(const std::u16string& path) {
    std::error_code error;
    const std::filesystem::path folder(ToUtf8(path));
    return std::filesystem::is_directory(folder, error) &&
           std::filesystem::is_empty(folder, error) && !error;
}

int RemoveFolderWithFiles(const std::u16string& path) {
    std::error_code error;
    const std::filesystem::path folder(ToUtf8(path));
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!entry.is_regular_file(error)) continue;
        std::filesystem::remove(entry.path(), error);
        if (error) return error.value();
    }
    if (error) return error.value();
    return RemoveDirectory(path);
}

}  // namespace platform
