// One structure (or table row type) of a function interface: its field
// definitions as the system gave them and its installed type handle. Owned
// by the structure map of its call object.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rfc/FieldCodec.h"
#include "rfc32u.h"

class CRfcStructure {
  public:
    explicit CRfcStructure(std::u16string name) : m_strName(std::move(name)) {}

    // Partner-given record lengths above this are refused (a row of this
    // length is far beyond any dictionary structure).
    static constexpr unsigned int kMaxRecordLength = 1u << 19;

    // Reads the definition over the handle; throws CRfcException, also for
    // a record length over kMaxRecordLength.
    void ReadDefinition(RFC_HANDLE& handle);
    // The place of a field by its trimmed name, resolved when the definition
    // was read; null for an unknown field or one that does not fit its record.
    const rfcfield::Field* FindField(std::u16string_view name) const;
    // Installs the structure in the library; throws CRfcException.
    void InstallStructure();

    std::u16string m_strName;
    unsigned int m_nRecordLength = 0;
    RFC_TYPEHANDLE m_hType = 0;
    unsigned int m_nLengthB1 = 0, m_nLengthB4 = 0, m_nFieldCount = 0, m_nAlignment = 0;
    std::vector<RFC_U_FIELDS> m_Fields;

  private:
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view name) const {
            return std::hash<std::u16string_view>{}(name);
        }
    };
    void IndexFields();

    // Empty for a field that does not fit its record.
    std::unordered_map<std::u16string, std::optional<rfcfield::Field>, NameHash, std::equal_to<>>
        m_Places;
    std::vector<std::u16string> m_ElementNames;  // the names the elements point to
    std::vector<RFC_UNICODE_TYPE_ELEMENT> m_Elements;
    RFC_ERROR_INFO_EX m_ErrorInfo{};
};
