// RFC type codes and the structures installed by callers. An installed
// structure gets a type handle (from RFCTYPE_FIRST_INSTALLED up) that callers
// put in parameter and table records; the library looks up its name and
// fields by that handle when it moves the value.
//
// Thread rules: the registry is process-wide; its mutex guards every entry.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rfc32u.h"

namespace rfclib {

RFC_TYPEHANDLE TypeOfExid(char16_t exid);
bool IsCharacterLike(RFC_TYPEHANDLE type);  // CHAR, DATE, TIME, NUM

struct InstalledField {
    std::u16string name;
    RFC_TYPEHANDLE type = 0;
    unsigned int decimals = 0;
    unsigned int c1Length = 0, c1Offset = 0;
    unsigned int c2Length = 0, c2Offset = 0;
    unsigned int c4Length = 0, c4Offset = 0;
};

struct InstalledStructure {
    std::u16string name;
    RFC_TYPEHANDLE handle = 0;
    std::vector<InstalledField> fields;
};

// Installs (or replaces) the definition under its name; the handle of a name
// stays the same for the life of the process.
RFC_TYPEHANDLE InstallStructure(std::u16string name, std::vector<InstalledField> fields);

std::optional<InstalledStructure> FindStructure(RFC_TYPEHANDLE handle);

}  // namespace rfclib
