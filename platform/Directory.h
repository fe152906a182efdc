// Directories and paths. The native separator '/' stands where the original
// uses a backslash; a directory path "ends in the separator".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/AccessModes.h"

namespace platform {

inline constexpr char16_t kPathSeparator = u'/';

// The current directory with a trailing separator; empty when unreadable.
std::u16string CurrentDirectory();
// These return 0 or the errno value of the failure.
int ChangeDirectory(const std::u16string& path);
// Creates the directory with mode, less what the umask takes away; an
// existing directory is EEXIST and keeps its mode. Session folders and the
// directories above them take the default.
int MakeDirectory(const std::u16string& path, unsigned mode = kPrivateDirectoryMode);
int RemoveDirectory(const std::u16string& path);
bool DirectoryExists(const std::u16string& path);
// True for an existing directory without entries.
bool DirectoryIsEmpty(const std::u16string& path);
// Removes a folder and the plain files in it (not below); 0 or the errno
// value of the first failure.
int RemoveFolderWithFiles(const std::u16string& path);
bool FileExists(const std::u16string& path);
// The errno text in English, e.g. "No such file or directory".
std::u16string ErrnoText(int error);

// The space of the file system a path lies on: what an unprivileged writer
// may still use, and the size. False (errno kept) when it cannot be read.
struct FileSystemSpace {
    uint64_t availableBytes = 0;
    uint64_t totalBytes = 0;
};
bool SpaceOf(const std::u16string& path, FileSystemSpace& space);
// The bytes of the regular files directly in a directory (0 when unreadable).
uint64_t FilesBytes(const std::u16string& directory);

// The directory of the running program, with a trailing separator.
std::u16string ProgramDirectory();

struct PathParts {
    std::u16string directory;  // with its trailing separator, or empty
    std::u16string name;       // without extension
    std::u16string extension;  // with its dot, or empty
};
PathParts SplitPath(std::u16string_view path);
std::u16string WithTrailingSeparator(std::u16string_view path);
bool IsAbsolutePath(std::u16string_view path);
// A name that comes from outside (a typed destination, a server name the
// system reports) as one file name: separators and NULs become '_', so it
// cannot leave the folder it is written into.
std::u16string FileNamePart(std::u16string_view name);

}  // namespace platform
