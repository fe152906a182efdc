#include "rfc/catalogue/OcsGetInfo.h"

#include <algorithm>

COcsGetInfo::COcsGetInfo() : CBaseRfc(u"OCS_GET_INFO") {}

template <size_t N>
const char16_t* COcsGetInfo::ReadLine(const char16_t* table, int i, char16_t (&buffer)[N]) {
    std::fill(std::begin(buffer), std::end(buffer), u'\0');
    if (i == 0) return buffer;
    const void* row = GetTableRow(table, i);
    if (row != nullptr) {
        GetTableField(std::u16string(u"T_") + table, u"LINE", row, buffer, sizeof buffer);
    }
    return buffer;
}

const char16_t* COcsGetInfo::ReadPatch(int i) {
    return ReadLine(u"TT_PATCH", i, m_Patch);
}
const char16_t* COcsGetInfo::ReadAddon(int i) {
    return ReadLine(u"TT_ADDON", i, m_Addon);
}
const char16_t* COcsGetInfo::ReadComponent(int i) {
    return ReadLine(u"TT_COMPONENT", i, m_Component);
}
