// One parameter of a function interface as the system described it, with
// its value buffer. Owned by the parameter map of its call object.
#pragma once

#include <string>
#include <vector>

#include "rfc32u.h"

class CRfcParameter {
  public:
    explicit CRfcParameter(const RFC_U_FUNINT& row);

    // The value buffer, allocated on first use with the parameter's length
    // (or more when a structure's record is longer), zero-filled; null for
    // length 0.
    unsigned char* GetValueBuffer();
    // Grows the buffer to hold at least size bytes (zero-filled).
    void ReserveValue(size_t size);
    size_t ValueSize() const { return m_Value.size(); }
    // Blanks character fields, '0'-fills numeric text, zeroes the others.
    void ClearValue();
    // Stores the default value unless it is empty or SPACE.
    void ApplyDefault();

    std::u16string m_strName, m_strClass, m_strStructure, m_strField, m_strDefault, m_strText,
        m_strOptional;
    int m_nPosition = 0;
    int m_nLayout = 0;
    int m_nLength = 0;
    int m_nDecimals = 0;
    RFC_TYPEHANDLE m_nType = RFCTYPE_CHAR;

  private:
    std::vector<unsigned char> m_Value;
};
