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
// Each Write is one unit (a record, a line): a write at the file's end that
// the system takes only in part (a full disk, a quota, an I/O error) is cut
// back to the end of the last unit it took whole before the failure is
// thrown, so the next append starts on a record boundary.
//
// A File is used by one thread at a time.
#pragma once

#include <sys/types.h>

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

    // Cuts the file back to length (unwritten buffered data is dropped) and
    // moves to its end: an append that must be all or nothing undoes itself.
    void CutBackTo(int64_t length);
    // A file that ends inside a record (a crash, a full disk under an older
    // writer) is cut back to its last whole record; returns the bytes cut.
    int64_t CutPartialRecord(size_t recordSize);
    // The same for text: cut back to the last line feed; returns the bytes cut.
    int64_t CutPartialLine();

  private:
    [[noreturn]] void Fail(int error) const;
    void FlushBuffer();
    // After a failed flush that had put done bytes of the buffer on disk.
    void CutBackToWholeUnit(size_t done);

    int fd_ = -1;
    Mode mode_ = Mode::Read;
    std::u16string path_;
    std::vector<unsigned char> buffer_;
    std::vector<size_t> unitEnds_;  // where each buffered Write ends in buffer_
};

// Stands between every File and write(2), so tests can make the disk stop
// short or fail the way a full one does. Process-wide; install before the
// writers start and remove after they have ended.
class WriteSeam {
  public:
    virtual ~WriteSeam() = default;
    virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
};
// Null restores write(2).
void SetWriteSeam(WriteSeam* seam);

// The whole content of a file, or a CFileException.
std::vector<unsigned char> ReadWholeFile(const std::u16string& path);

}  // namespace platform
