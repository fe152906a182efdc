#include "rfc/RfcStructure.h"

#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/RfcException.h"
#include "rfc/RfcInfoTable.h"

void CRfcStructure::ReadDefinition(RFC_HANDLE& handle) {
    m_Fields.clear();
    CRfcGetStructureDefinition definition;
    definition.GetStructureDefinition(handle, m_strName);
    if (definition.m_nLengthB2 > kMaxRecordLength) {
        ThrowRfcDetailException(
            u"CRfcStructure::ReadDefinition - Length",
            platform::Format(u"%s: record of %u bytes over the limit of %u", m_strName,
                             definition.m_nLengthB2, kMaxRecordLength));
    }
    m_nLengthB1 = definition.m_nLengthB1;
    m_nRecordLength = definition.m_nLengthB2;
    m_nLengthB4 = definition.m_nLengthB4;
    m_nFieldCount = definition.m_nFieldCount;
    m_nAlignment = definition.m_nAlignment;
    const unsigned int rows = definition.GetRowCount();
    m_Fields.reserve(rows);
    for (unsigned int i = 1; i <= rows; ++i) m_Fields.push_back(*definition.GetTableRecord(i));
    IndexFields();
}

void CRfcStructure::IndexFields() {
    m_Places.clear();
    for (const RFC_U_FIELDS& row : m_Fields) {
        std::u16string name =
            platform::Trim(platform::FieldText(row.fieldname, std::size(row.fieldname)));
        if (m_Places.contains(name)) continue;  // the first of a name is the one found
        const bool fits = row.offset_b2 >= 0 && row.length_b2 >= 0 &&
                          static_cast<size_t>(row.offset_b2) + static_cast<size_t>(row.length_b2) <=
                              m_nRecordLength;
        // A definition that does not fit its record is never read.
        std::optional<rfcfield::Field> place;
        if (fits) {
            place = rfcfield::Field{RfcExidToRfcTypeU(row.exid), static_cast<size_t>(row.length_b2),
                                    static_cast<size_t>(row.offset_b2), row.decimals};
        }
        m_Places.emplace(std::move(name), place);
    }
}

const rfcfield::Field* CRfcStructure::FindField(std::u16string_view name) const {
    const auto found = m_Places.find(name);
    if (found == m_Places.end() || !found->second) return nullptr;
    return &*found->second;
}

void CRfcStructure::InstallStructure() {
    m_ElementNames.clear();
    m_Elements.clear();
    m_ElementNames.reserve(m_Fields.size());
    for (const auto& row : m_Fields) {
        m_ElementNames.push_back(
            platform::Trim(platform::FieldText(row.fieldname, std::size(row.fieldname))));
    }
    for (size_t i = 0; i < m_Fields.size(); ++i) {
        const RFC_U_FIELDS& row = m_Fields[i];
        RFC_UNICODE_TYPE_ELEMENT e{};
        e.name = m_ElementNames[i].c_str();
        e.type = RfcExidToRfcTypeU(row.exid);
        e.decimals = static_cast<unsigned int>(row.decimals);
        e.c1_length = static_cast<unsigned int>(row.length_b1);
        e.c1_offset = static_cast<unsigned int>(row.offset_b1);
        e.c2_length = static_cast<unsigned int>(row.length_b2);
        e.c2_offset = static_cast<unsigned int>(row.offset_b2);
        e.c4_length = static_cast<unsigned int>(row.length_b4);
        e.c4_offset = static_cast<unsigned int>(row.offset_b4);
        m_Elements.push_back(e);
    }
    if (RfcInstallUnicodeStructureU(m_strName.c_str(), m_Elements.data(),
                                    static_cast<unsigned int>(m_Elements.size()),
                                    &m_hType) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(u"CRfcStructure::InstallStructure - RfcInstallUnicodeStructure",
                          m_strName, m_ErrorInfo);
    }
}
