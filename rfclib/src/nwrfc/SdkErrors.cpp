#include "nwrfc/SdkErrors.h"

#include <string>

#include "client/ErrorState.h"
#include "nwrfc/SdkText.h"

namespace rfclib::nw {
int ClassicGroup(nwrfc::RFC_RC code, nwrfc::RFC_ERROR_GROUP group) {
    switch (code) {
        case nwrfc::RFC_ABAP_EXCEPTION:
            return RFC_ERROR_APPLICATION_EXCEPTION;
        case nwrfc::RFC_ABAP_RUNTIME_FAILURE:
        case nwrfc::RFC_ABAP_MESSAGE:
            return RFC_ERROR_SYSTEM_FAILURE;
        case nwrfc::RFC_LOGON_FAILURE:
            return RFC_ERROR_LOGON_FAILURE;
        case nwrfc::RFC_COMMUNICATION_FAILURE:
        case nwrfc::RFC_CANCELED:
        case nwrfc::RFC_TIMEOUT:
        case nwrfc::RFC_CLOSED:
            return RFC_ERROR_COMMUNICATION;
        case nwrfc::RFC_MEMORY_INSUFFICIENT:
            return RFC_ERROR_RESOURCE;
        case nwrfc::RFC_INVALID_HANDLE:
            return RFC_ERROR_HANDLE;
        case nwrfc::RFC_NOT_SUPPORTED:
            return RFC_ERROR_NOT_SUPPORTED;
        case nwrfc::RFC_VERSION_MISMATCH:
        case nwrfc::RFC_INVALID_PROTOCOL:
        case nwrfc::RFC_SERIALIZATION_FAILURE:
            return RFC_ERROR_PROTOCOL;
        default:
            break;
    }
    switch (group) {
        case nwrfc::ABAP_APPLICATION_FAILURE:
            return RFC_ERROR_APPLICATION_EXCEPTION;
        case nwrfc::LOGON_FAILURE:
        case nwrfc::EXTERNAL_AUTHENTICATION_FAILURE:
            return RFC_ERROR_LOGON_FAILURE;
        case nwrfc::COMMUNICATION_FAILURE:
            return RFC_ERROR_COMMUNICATION;
        case nwrfc::EXTERNAL_RUNTIME_FAILURE:
            return RFC_ERROR_PROGRAM;
        default:
            return RFC_ERROR_SYSTEM_FAILURE;
    }
}

rfcwire::ErrorRecord ClassicError(const nwrfc::RFC_ERROR_INFO& info) {
    rfcwire::ErrorRecord error;
    error.group = ClassicGroup(info.code, info.group);
    // A module's exception or a failure inside the system keeps the
    // system's own key; the library's other failures get the keys our own
    // protocol gives them, so nothing above can tell the two apart.
    const bool systemsKey = error.group == RFC_ERROR_APPLICATION_EXCEPTION ||
                            error.group == RFC_ERROR_SYSTEM_FAILURE;
    error.key = systemsKey ? std::u16string(SdkText(info.key)) : std::u16string();
    if (info.code == nwrfc::RFC_CANCELED) error.key = RFC_KEY_CANCELLED;
    if (error.key.empty()) error.key = GroupKey(error.group);
    error.message = SdkText(info.message);
    if (error.message.empty()) error.message = error.key;
    return error;
}

RFC_RC ClassicCallResult(nwrfc::RFC_RC code) {
    switch (code) {
        case nwrfc::RFC_ABAP_EXCEPTION:
            return RFC_EXCEPTION;
        case nwrfc::RFC_ABAP_RUNTIME_FAILURE:
        case nwrfc::RFC_ABAP_MESSAGE:
            return RFC_SYS_EXCEPTION;
        default:
            return RFC_FAILURE;
    }
}

bool ClosesConnection(nwrfc::RFC_RC code) {
    switch (code) {
        case nwrfc::RFC_COMMUNICATION_FAILURE:
        case nwrfc::RFC_ABAP_RUNTIME_FAILURE:
        case nwrfc::RFC_ABAP_MESSAGE:
        case nwrfc::RFC_CANCELED:
        case nwrfc::RFC_CLOSED:
        case nwrfc::RFC_INVALID_HANDLE:
            return true;
        default:
            return false;
    }
}

}  // namespace rfclib::nw
