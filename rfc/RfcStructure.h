// One structure (or table row type) of a function interface: its field
// definitions as the system gave them and its installed type handle. Owned
// by the structure map of its call object.
#pragma once

#include <string>
#include <vector>

#include "rfc32u.h"

class CRfcStructure {
  public:
    explicit CRfcStructure(std::u16string name) : m_strName(std::move(name)) {}

    // Reads the definition over the handle; throws CRfcException.
    void ReadDefinition(RFC_HANDLE& handle);
    // Installs the structure in the library; throws CRfcException.
    void InstallStructure();

    std::u16string m_strName;
    unsigned int m_nRecordLength = 0;
    RFC_TYPEHANDLE m_hType = 0;
    unsigned int m_nLengthB1 = 0, m_nLengthB4 = 0, m_nFieldCount = 0, m_nAlignment = 0;
    std::vector<RFC_U_FIELDS> m_Fields;

  private:
    std::vector<std::u16string> m_ElementNames;  // the names the elements point to
    std::vector<RFC_UNICODE_TYPE_ELEMENT> m_Elements;
    RFC_ERROR_INFO_EX m_ErrorInfo{};
};
