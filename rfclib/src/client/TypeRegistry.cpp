#include "client/TypeRegistry.h"

#include <map>
#include <mutex>

#include "client/ErrorState.h"

namespace rfclib {
namespace {

struct Registry {
    std::mutex mutex;  // guards both maps and next
    std::map<std::u16string, RFC_TYPEHANDLE> byName;
    std::map<RFC_TYPEHANDLE, InstalledStructure> byHandle;
    RFC_TYPEHANDLE next = RFCTYPE_FIRST_INSTALLED;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

RFC_TYPEHANDLE TypeOfExid(char16_t exid) {
    switch (exid) {
        case u'C':
            return RFCTYPE_CHAR;
        case u'D':
            return RFCTYPE_DATE;
        case u'P':
            return RFCTYPE_BCD;
        case u'T':
            return RFCTYPE_TIME;
        case u'X':
            return RFCTYPE_BYTE;
        case u'h':
            return RFCTYPE_ITAB;
        case u'N':
            return RFCTYPE_NUM;
        case u'F':
            return RFCTYPE_FLOAT;
        case u'I':
            return RFCTYPE_INT;
        case u's':
            return RFCTYPE_INT2;
        case u'b':
            return RFCTYPE_INT1;
        case u'u':
            return RFCTYPE_STRUCTURE;
        case u'v':
            return RFCTYPE_DEEP_STRUCTURE;
        default:
            return RFCTYPE_UNKNOWN;
    }
}

bool IsCharacterLike(RFC_TYPEHANDLE type) {
    return type == RFCTYPE_CHAR || type == RFCTYPE_DATE || type == RFCTYPE_TIME ||
           type == RFCTYPE_NUM;
}

RFC_TYPEHANDLE InstallStructure(std::u16string name, std::vector<InstalledField> fields) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto [it, inserted] = registry.byName.try_emplace(name, registry.next);
    if (inserted) ++registry.next;
    registry.byHandle[it->second] =
        InstalledStructure{std::move(name), it->second, std::move(fields)};
    return it->second;
}

std::optional<InstalledStructure> FindStructure(RFC_TYPEHANDLE handle) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.byHandle.find(handle);
    if (it == registry.byHandle.end()) return std::nullopt;
    return it->second;
}

}  // namespace rfclib

extern "C" {

RFC_TYPEHANDLE RfcExidToRfcTypeU(RFC_CHAR exid) {
    return rfclib::TypeOfExid(exid);
}

RFC_RC RfcInstallUnicodeStructureU(const RFC_CHAR* name, const RFC_UNICODE_TYPE_ELEMENT* elements,
                                   unsigned int entries, RFC_TYPEHANDLE* type_handle) {
    using namespace rfclib;
    const std::u16string structureName = FromRfcChars(name, 256);
    if (structureName.empty() || type_handle == nullptr || (entries > 0 && elements == nullptr))
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              "RfcInstallUnicodeStructure: name, elements and handle required"),
                    RFC_FAILURE);
    std::vector<InstalledField> fields;
    fields.reserve(entries);
    for (unsigned int i = 0; i < entries; ++i) {
        const RFC_UNICODE_TYPE_ELEMENT& e = elements[i];
        fields.push_back({FromRfcChars(e.name, 256), e.type, e.decimals, e.c1_length, e.c1_offset,
                          e.c2_length, e.c2_offset, e.c4_length, e.c4_offset});
    }
    *type_handle = InstallStructure(structureName, std::move(fields));
    return RFC_OK;
}

}  // extern "C"
