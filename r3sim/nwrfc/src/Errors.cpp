#include "Errors.h"

#include <cstring>

#include "Text.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace nwsim {
namespace {

constexpr const char16_t* kCodeNames[] = {
    u"RFC_OK",
    u"RFC_COMMUNICATION_FAILURE",
    u"RFC_LOGON_FAILURE",
    u"RFC_ABAP_RUNTIME_FAILURE",
    u"RFC_ABAP_MESSAGE",
    u"RFC_ABAP_EXCEPTION",
    u"RFC_CLOSED",
    u"RFC_CANCELED",
    u"RFC_TIMEOUT",
    u"RFC_MEMORY_INSUFFICIENT",
    u"RFC_VERSION_MISMATCH",
    u"RFC_INVALID_PROTOCOL",
    u"RFC_SERIALIZATION_FAILURE",
    u"RFC_INVALID_HANDLE",
    u"RFC_RETRY",
    u"RFC_EXTERNAL_FAILURE",
    u"RFC_EXECUTED",
    u"RFC_NOT_FOUND",
    u"RFC_NOT_SUPPORTED",
    u"RFC_ILLEGAL_STATE",
    u"RFC_INVALID_PARAMETER",
    u"RFC_CODEPAGE_CONVERSION_FAILURE",
    u"RFC_CONVERSION_FAILURE",
    u"RFC_BUFFER_TOO_SMALL",
    u"RFC_TABLE_MOVE_BOF",
    u"RFC_TABLE_MOVE_EOF",
    u"RFC_START_SAPGUI_FAILURE",
    u"RFC_ABAP_CLASS_EXCEPTION",
    u"RFC_UNKNOWN_ERROR",
    u"RFC_AUTHORIZATION_FAILURE",
    u"RFC_AUTHENTICATION_FAILURE",
    u"RFC_CRYPTOLIB_FAILURE",
    u"RFC_IO_FAILURE",
    u"RFC_LOCKING_FAILURE",
};
constexpr size_t kCodeCount = sizeof kCodeNames / sizeof kCodeNames[0];

}  // namespace

const nwrfc::SAP_UC* CodeName(nwrfc::RFC_RC code) {
    const auto index = static_cast<size_t>(code);
    return index < kCodeCount ? kCodeNames[index] : u"RFC_UNKNOWN_ERROR";
}

Failure MakeFailure(nwrfc::RFC_RC code, nwrfc::RFC_ERROR_GROUP group, std::string_view message) {
    return Failure{code, group, {}, platform::FromUtf8(message)};
}

Failure InvalidParameter(std::string_view message) {
    return MakeFailure(nwrfc::RFC_INVALID_PARAMETER, nwrfc::EXTERNAL_RUNTIME_FAILURE, message);
}

nwrfc::RFC_RC Report(const Failure& failure, nwrfc::RFC_ERROR_INFO* info) {
    if (info == nullptr) return failure.code;
    std::memset(info, 0, sizeof *info);
    info->code = failure.code;
    info->group = failure.group;
    PutText(failure.key.empty() ? std::u16string_view(CodeName(failure.code))
                                : std::u16string_view(failure.key),
            info->key);
    PutText(failure.message, info->message);
    return failure.code;
}

nwrfc::RFC_RC Succeed(nwrfc::RFC_ERROR_INFO* info) {
    // Cheap on purpose: field access on table rows runs this per field.
    if (info != nullptr) {
        info->code = nwrfc::RFC_OK;
        info->group = nwrfc::OK;
        info->key[0] = 0;
        info->message[0] = 0;
    }
    return nwrfc::RFC_OK;
}

Failure FromClientError(const rfcwire::ErrorRecord& error) {
    Failure failure;
    if (error.group == RFC_ERROR_LOGON_FAILURE) {
        failure.code = nwrfc::RFC_LOGON_FAILURE;
        failure.group = nwrfc::LOGON_FAILURE;
    } else {
        failure.code = nwrfc::RFC_COMMUNICATION_FAILURE;
        failure.group = nwrfc::COMMUNICATION_FAILURE;
    }
    failure.message = error.message;
    return failure;
}

}  // namespace nwsim
