// Error records: how the library makes them, keeps the last one per thread
// and copies them into the caller's RFC_ERROR_INFO_EX.
//
// Thread rules: the last error is thread_local; nothing here is shared.
#pragma once

#include <string>
#include <string_view>

#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib {

using rfcwire::ErrorRecord;

// A record of one of the library's own groups, keyed by the group's name.
ErrorRecord MakeError(int group, std::string_view message);

// The key the library uses for a group (e.g. "RFC_ERROR_COMMUNICATION").
std::u16string GroupKey(int group);

void SetLastError(const ErrorRecord& error);
const ErrorRecord& LastError();

// Zero-fills the record, then copies group, key and message cut to width.
void CopyToInfo(const ErrorRecord& error, RFC_ERROR_INFO_EX* info);

// Zero-fills capacity units, then copies at most capacity units of text.
void CopyText(std::u16string_view text, RFC_CHAR* destination, size_t capacity);

// Text of a zero-terminated RFC_CHAR string, at most maxUnits units (0 = none).
std::u16string FromRfcChars(const RFC_CHAR* text, size_t maxUnits);

// Sets the last error, copies it into info (when given) and returns rc.
RFC_RC Fail(const ErrorRecord& error, RFC_RC rc, RFC_ERROR_INFO_EX* info = nullptr);

}  // namespace rfclib
