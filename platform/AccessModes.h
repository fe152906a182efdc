// Who may read what the collector writes. Every dialog-step record carries
// a user's account, transaction and report: personal data. So the folders
// that hold it are for the owner and the group only, and so are the files;
// creation masks these modes with the process's umask, which may narrow them
// further but never widen them.
#pragma once

namespace platform {

inline constexpr unsigned kPrivateDirectoryMode = 0750;
inline constexpr unsigned kPrivateFileMode = 0640;

}  // namespace platform
