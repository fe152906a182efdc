// Binary data files with the collector's open modes, and "deny others
// write" as an advisory lock.
//
// Snapshot: created or truncated, written. Append: opened or created without
// truncation, written at its end. Update: opened or created without
// truncation, read and written. Read: an existing file, read only. Files
// are created private (kPrivateFileMode less the umask). The three
// writing modes hold an exclusive open-file-description lock while the file
// is open, so a second writer (in this or another process) fails to open,
// as it would against a share-deny-write open. Failures throw CFileException
// with the cause, errno and file name. Writes are buffered; Close() flushes
// and reports a full disk like any write failure.
//
// A File is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exception.h"

namespace platform {

class File {
  public:
    enum class Mode { Snapshot, Append, Update, Read };

    File() = default;
    File(const std::u16string& path, Mode mode) { Open(path, mode); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    // Closes without throwing; callers that must know about a failed flush
    // call Close() themselves.
    ~File();

    void Open(const std::u16string& path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    const std::u16string& Path() const { return path_; }

    void Write(const void* data, size_t size);
    // Reads up to size bytes; returns the count read (0 at end of file).
    size_t Read(void* data, size_t size);
    void Seek(int64_t offset);
    void SeekToEnd();
    int64_t Position();
    int64_t Length();
    void Flush();
    void Close();

  private:
    [[noreturn]] void Fail(int error) const;
    void FlushBuffer();

    int fd_ = -1;
    std::u16string path_;
    std::vector<unsigned char> buffer_;
};

// The whole content of a file, or a CFileException.
std::vector<unsigned char> ReadWholeFile(const std::u16string& path);

}  // namespace platform
