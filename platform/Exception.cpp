#include "platform/Exception.h"

#include <cerrno>
#include <cstring>

#include "platform/FixedText.h"
#include "platform/TextCodec.h"

std::u16string CutToErrorCapacity(std::u16string text) {
    if (text.size() > platform::kErrorMessageCapacity) text.resize(platform::kErrorMessageCapacity);
    return text;
}

std::u16string FinishExceptionMessage(std::u16string text) {
    text = platform::TrimRight(text);
    if (text.size() > kExceptionMessageCapacity) text.resize(kExceptionMessageCapacity);
    return text;
}

std::u16string CException::GetErrorMessage() const {
    return u"No error message is available.";
}

CFileException::Cause CFileException::CauseFromErrno(int error) {
    switch (error) {
        case 0:
            return none;
        case ENOENT:
            return fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return badPath;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return accessDenied;
        case EBADF:
            return invalidFile;
        case EBUSY:
            return removeCurrentDir;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return diskFull;
        case ESPIPE:
        case EINVAL:
            return badSeek;
        case EIO:
            return hardIO;
        case EAGAIN:
            return sharingViolation;
        case EDEADLK:
        case ENOLCK:
            return lockViolation;
        default:
            return genericException;
    }
}

std::u16string CFileException::GetErrorMessage() const {
    std::u16string what;
    switch (m_cause) {
        case sharingViolation:
        case lockViolation:
            what = u"is being written by another program";
            break;
        case diskFull:
            what = u"cannot be written: the disk is full";
            break;
        case endOfFile:
            what = u"ended before the expected data";
            break;
        default:
            what = m_lOsError != 0
                       ? u"cannot be accessed: " + platform::FromUtf8(std::strerror(m_lOsError))
                       : std::u16string(u"cannot be accessed");
            break;
    }
    const std::u16string name = m_strFileName.empty() ? u"an unnamed file" : m_strFileName;
    return CutToErrorCapacity(u"The file " + name + u" " + what + u".");
}
