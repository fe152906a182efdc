// The SDK's field accessors on functions, structures and table rows, by
// name and by index.
#include <cstring>

#include "FieldLookup.h"
#include "Text.h"

using namespace nwsim;
using nwrfc::RFC_ERROR_INFO;
using nwrfc::SAP_UC;
using Handle = nwrfc::DATA_CONTAINER_HANDLE;

namespace {

bool Given(const void* pointer, Failure& failure) {
    if (pointer != nullptr) return true;
    failure = InvalidParameter("no buffer given for the value");
    return false;
}

// Fixed-length character values: DATE, TIME.
template <size_t N>
nwrfc::RFC_RC GetFixed(Handle handle, const SAP_UC* name, SAP_UC* value, nwrfc::RFCTYPE type,
                RFC_ERROR_INFO* info) {
    return WithField(handle, name, info, [&](const FieldRef& field, Failure& failure) {
        if (!Given(value, failure)) return failure.code;
        if (field.slot->type != type || field.slot->ucLength != 2 * N) {
            failure = MakeFailure(nwrfc::RFC_CONVERSION_FAILURE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                                  "field " + Utf8(field.name) + " is not of the type asked for");
            return failure.code;
        }
        std::memcpy(value, field.data, 2 * N);
        return nwrfc::RFC_OK;
    });
}

// Each accessor by name and by index: Key is a name or an index.
template <typename Key>
nwrfc::RFC_RC GetCharsAt(Handle handle, Key key, nwrfc::RFC_CHAR* buffer, unsigned length,
                         RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return Given(buffer, failure) ? GetChars(f, buffer, length, failure) : failure.code;
    });
}

template <typename Key>
nwrfc::RFC_RC SetCharsAt(Handle handle, Key key, const nwrfc::RFC_CHAR* value, unsigned length,
                         RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return SetChars(f, value, length, failure);
    });
}

template <typename Key>
nwrfc::RFC_RC GetBytesAt(Handle handle, Key key, nwrfc::SAP_RAW* buffer, unsigned length,
                         RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return Given(buffer, failure) ? GetBytes(f, buffer, length, failure) : failure.code;
    });
}

template <typename Key>
nwrfc::RFC_RC SetBytesAt(Handle handle, Key key, const nwrfc::SAP_RAW* value, unsigned length,
                         RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return SetBytes(f, value, length, failure);
    });
}

template <typename Key>
nwrfc::RFC_RC GetStringAt(Handle handle, Key key, SAP_UC* buffer, unsigned bufferLength,
                          unsigned* length, RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return GetString(f, buffer, buffer == nullptr ? 0 : bufferLength, length, failure);
    });
}

template <typename Key>
nwrfc::RFC_RC SetStringAt(Handle handle, Key key, const SAP_UC* value, unsigned length,
                          RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        if (value == nullptr && length > 0) return Given(nullptr, failure), failure.code;
        return SetText(f, std::u16string_view(value == nullptr ? u"" : value, length), failure);
    });
}

// Integers of any width through the int accessors' range checks.
template <typename Key, typename T>
nwrfc::RFC_RC GetIntegerAt(Handle handle, Key key, T* value, RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& field, Failure& failure) {
        long long wide = 0;
        if (!Given(value, failure)) return failure.code;
        const nwrfc::RFC_RC rc = GetInteger(field, wide, failure);
        if (rc == nwrfc::RFC_OK) *value = static_cast<T>(wide);
        return rc;
    });
}

template <typename Key>
nwrfc::RFC_RC SetIntegerAt(Handle handle, Key key, long long value, RFC_ERROR_INFO* info) {
    return WithField(handle, key, info, [&](const FieldRef& f, Failure& failure) {
        return SetInteger(f, value, failure);
    });
}

}  // namespace

extern "C" {

nwrfc::RFC_RC RfcGetChars(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_CHAR* charBuffer,
                          unsigned bufferLength, RFC_ERROR_INFO* errorInfo) {
    return GetCharsAt(dataHandle, name, charBuffer, bufferLength, errorInfo);
}

nwrfc::RFC_RC RfcGetCharsByIndex(Handle dataHandle, unsigned index, nwrfc::RFC_CHAR* charBuffer,
                                 unsigned bufferLength, RFC_ERROR_INFO* errorInfo) {
    return GetCharsAt(dataHandle, index, charBuffer, bufferLength, errorInfo);
}

nwrfc::RFC_RC RfcSetChars(Handle dataHandle, const SAP_UC* name, const nwrfc::RFC_CHAR* charValue,
                          unsigned valueLength, RFC_ERROR_INFO* errorInfo) {
    return SetCharsAt(dataHandle, name, charValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcSetCharsByIndex(Handle dataHandle, unsigned index,
                                 const nwrfc::RFC_CHAR* charValue, unsigned valueLength,
                                 RFC_ERROR_INFO* errorInfo) {
    return SetCharsAt(dataHandle, index, charValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcGetBytes(Handle dataHandle, const SAP_UC* name, nwrfc::SAP_RAW* byteBuffer,
                          unsigned bufferLength, RFC_ERROR_INFO* errorInfo) {
    return GetBytesAt(dataHandle, name, byteBuffer, bufferLength, errorInfo);
}

nwrfc::RFC_RC RfcGetBytesByIndex(Handle dataHandle, unsigned index, nwrfc::SAP_RAW* byteBuffer,
                                 unsigned bufferLength, RFC_ERROR_INFO* errorInfo) {
    return GetBytesAt(dataHandle, index, byteBuffer, bufferLength, errorInfo);
}

nwrfc::RFC_RC RfcSetBytes(Handle dataHandle, const SAP_UC* name, const nwrfc::SAP_RAW* byteValue,
                          unsigned valueLength, RFC_ERROR_INFO* errorInfo) {
    return SetBytesAt(dataHandle, name, byteValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcSetBytesByIndex(Handle dataHandle, unsigned index,
                                 const nwrfc::SAP_RAW* byteValue, unsigned valueLength,
                                 RFC_ERROR_INFO* errorInfo) {
    return SetBytesAt(dataHandle, index, byteValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcGetString(Handle dataHandle, const SAP_UC* name, SAP_UC* stringBuffer,
                           unsigned bufferLength, unsigned* stringLength,
                           RFC_ERROR_INFO* errorInfo) {
    return GetStringAt(dataHandle, name, stringBuffer, bufferLength, stringLength, errorInfo);
}

nwrfc::RFC_RC RfcGetStringByIndex(Handle dataHandle, unsigned index, SAP_UC* stringBuffer,
                                  unsigned bufferLength, unsigned* stringLength,
                                  RFC_ERROR_INFO* errorInfo) {
    return GetStringAt(dataHandle, index, stringBuffer, bufferLength, stringLength, errorInfo);
}

nwrfc::RFC_RC RfcGetStringLength(Handle dataHandle, const SAP_UC* name, unsigned* stringLength,
                                 RFC_ERROR_INFO* errorInfo) {
    return WithField(dataHandle, name, errorInfo, [&](const FieldRef& f, Failure& failure) {
        std::u16string text;
        const nwrfc::RFC_RC rc = GetText(f, text, failure);
        if (rc == nwrfc::RFC_OK && stringLength != nullptr)
            *stringLength = static_cast<unsigned>(text.size());
        return rc;
    });
}

nwrfc::RFC_RC RfcSetString(Handle dataHandle, const SAP_UC* name, const SAP_UC* stringValue,
                           unsigned valueLength, RFC_ERROR_INFO* errorInfo) {
    return SetStringAt(dataHandle, name, stringValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcSetStringByIndex(Handle dataHandle, unsigned index, const SAP_UC* stringValue,
                                  unsigned valueLength, RFC_ERROR_INFO* errorInfo) {
    return SetStringAt(dataHandle, index, stringValue, valueLength, errorInfo);
}

nwrfc::RFC_RC RfcGetInt(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT* value,
                        RFC_ERROR_INFO* errorInfo) {
    return GetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcGetIntByIndex(Handle dataHandle, unsigned index, nwrfc::RFC_INT* value,
                               RFC_ERROR_INFO* errorInfo) {
    return GetIntegerAt(dataHandle, index, value, errorInfo);
}

nwrfc::RFC_RC RfcGetInt1(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT1* value,
                         RFC_ERROR_INFO* errorInfo) {
    return GetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcGetInt2(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT2* value,
                         RFC_ERROR_INFO* errorInfo) {
    return GetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcSetInt(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT value,
                        RFC_ERROR_INFO* errorInfo) {
    return SetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcSetIntByIndex(Handle dataHandle, unsigned index, nwrfc::RFC_INT value,
                               RFC_ERROR_INFO* errorInfo) {
    return SetIntegerAt(dataHandle, index, value, errorInfo);
}

nwrfc::RFC_RC RfcSetInt1(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT1 value,
                         RFC_ERROR_INFO* errorInfo) {
    return SetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcSetInt2(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_INT2 value,
                         RFC_ERROR_INFO* errorInfo) {
    return SetIntegerAt(dataHandle, name, value, errorInfo);
}

nwrfc::RFC_RC RfcGetFloat(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_FLOAT* value,
                   RFC_ERROR_INFO* errorInfo) {
    return WithField(dataHandle, name, errorInfo, [&](const FieldRef& f, Failure& failure) {
        return Given(value, failure) ? GetFloat(f, *value, failure) : failure.code;
    });
}

nwrfc::RFC_RC RfcSetFloat(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_FLOAT value,
                   RFC_ERROR_INFO* errorInfo) {
    return WithField(dataHandle, name, errorInfo, [&](const FieldRef& f, Failure& failure) {
        return SetFloat(f, value, failure);
    });
}

nwrfc::RFC_RC RfcGetDate(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_DATE emptyDate,
                  RFC_ERROR_INFO* errorInfo) {
    return GetFixed<8>(dataHandle, name, emptyDate, nwrfc::RFCTYPE_DATE, errorInfo);
}

nwrfc::RFC_RC RfcGetTime(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_TIME emptyTime,
                  RFC_ERROR_INFO* errorInfo) {
    return GetFixed<6>(dataHandle, name, emptyTime, nwrfc::RFCTYPE_TIME, errorInfo);
}

nwrfc::RFC_RC RfcSetDate(Handle dataHandle, const SAP_UC* name, const nwrfc::RFC_DATE date,
                  RFC_ERROR_INFO* errorInfo) {
    return RfcSetString(dataHandle, name, date, date == nullptr ? 0 : 8, errorInfo);
}

nwrfc::RFC_RC RfcSetTime(Handle dataHandle, const SAP_UC* name, const nwrfc::RFC_TIME time,
                  RFC_ERROR_INFO* errorInfo) {
    return RfcSetString(dataHandle, name, time, time == nullptr ? 0 : 6, errorInfo);
}

nwrfc::RFC_RC RfcGetNum(Handle dataHandle, const SAP_UC* name, nwrfc::RFC_NUM* charBuffer,
                 unsigned bufferLength, RFC_ERROR_INFO* errorInfo) {
    return RfcGetChars(dataHandle, name, charBuffer, bufferLength, errorInfo);
}

nwrfc::RFC_RC RfcSetNum(Handle dataHandle, const SAP_UC* name, const nwrfc::RFC_NUM* charValue,
                 unsigned valueLength, RFC_ERROR_INFO* errorInfo) {
    return RfcSetString(dataHandle, name, charValue, valueLength, errorInfo);
}

}  // extern "C"
