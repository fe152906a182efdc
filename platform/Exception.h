// The framework exception base and the file exception.
//
// Exceptions are thrown by value and caught by reference. Every exception of
// the program derives from CException; catchers ask ReportText() for the
// text a user sees, so each kind decides where that text lives.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The framework's error text is at most this many characters.
inline constexpr size_t kErrorMessageCapacity = 255;

}  // namespace platform

class CException {
  public:
    virtual ~CException() = default;

    // The framework's error message, at most 255 characters.
    virtual std::u16string GetErrorMessage() const;

    // What a handler reports for this exception: the framework's error
    // message unless the exception carries a finished text of its own.
    virtual std::u16string ReportText() const { return GetErrorMessage(); }

  protected:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
};

// A failure to open, read or write a file. The cause classifies the failure;
// m_lOsError keeps the operating system's errno; m_strFileName names the file.
class CFileException : public CException {
  public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(Cause cause, int osError, std::u16string fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

    // Maps an errno value to a cause.
    static Cause CauseFromErrno(int error);

    // For example "Cannot open /data/x.mem: Permission denied."
    std::u16string GetErrorMessage() const override;

    Cause m_cause;
    int m_lOsError;
    std::u16string m_strFileName;
};

// Cuts a text to the framework's error-message capacity.
std::u16string CutToErrorCapacity(std::u16string text);

// The longest finished message text of the program's own exceptions (the
// collector's and the RFC exception).
inline constexpr size_t kExceptionMessageCapacity = 511;

// Trims right and cuts to 511 characters: the finishing rule of both
// exception kinds.
std::u16string FinishExceptionMessage(std::u16string text);
