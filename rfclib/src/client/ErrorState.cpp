#include "client/ErrorState.h"

#include <cstring>

#include "platform/TextCodec.h"

namespace rfclib {
namespace {

thread_local ErrorRecord t_lastError;

}  // namespace

std::u16string GroupKey(int group) {
    switch (group) {
        case RFC_ERROR_PROGRAM:
            return u"RFC_ERROR_PROGRAM";
        case RFC_ERROR_COMMUNICATION:
            return u"RFC_ERROR_COMMUNICATION";
        case RFC_ERROR_LOGON_FAILURE:
            return u"RFC_ERROR_LOGON_FAILURE";
        case RFC_ERROR_SYSTEM_FAILURE:
            return u"RFC_ERROR_SYSTEM_FAILURE";
        case RFC_ERROR_APPLICATION_EXCEPTION:
            return u"RFC_ERROR_APPLICATION_EXCEPTION";
        case RFC_ERROR_RESOURCE:
            return u"RFC_ERROR_RESOURCE";
        case RFC_ERROR_PROTOCOL:
            return u"RFC_ERROR_PROTOCOL";
        case RFC_ERROR_HANDLE:
            return u"RFC_INVALID_HANDLE";
        case RFC_ERROR_NOT_SUPPORTED:
            return u"RFC_NOT_SUPPORTED";
        default:
            return u"RFC_ERROR";
    }
}

ErrorRecord MakeError(int group, std::string_view message) {
    return ErrorRecord{group, GroupKey(group), platform::FromUtf8(message)};
}

void SetLastError(const ErrorRecord& error) {
    t_lastError = error;
}

const ErrorRecord& LastError() {
    return t_lastError;
}

void CopyText(std::u16string_view text, RFC_CHAR* destination, size_t capacity) {
    std::memset(destination, 0, capacity * sizeof(RFC_CHAR));
    const size_t n = std::min(text.size(), capacity);
    std::memcpy(destination, text.data(), n * sizeof(RFC_CHAR));
}

void CopyToInfo(const ErrorRecord& error, RFC_ERROR_INFO_EX* info) {
    if (info == nullptr) return;
    info->group = error.group;
    CopyText(error.key, info->key, sizeof info->key / sizeof(RFC_CHAR));
    CopyText(error.message, info->message, sizeof info->message / sizeof(RFC_CHAR));
}

std::u16string FromRfcChars(const RFC_CHAR* text, size_t maxUnits) {
    std::u16string out;
    if (text == nullptr) return out;
    for (size_t i = 0; (maxUnits == 0 || i < maxUnits) && text[i] != 0; ++i) out.push_back(text[i]);
    return out;
}

RFC_RC Fail(const ErrorRecord& error, RFC_RC rc, RFC_ERROR_INFO_EX* info) {
    SetLastError(error);
    CopyToInfo(error, info);
    return rc;
}

}  // namespace rfclib
