#include "rfc/RfcParameter.h"

#include <algorithm>

#include "platform/FixedText.h"
#include "rfc/FieldCodec.h"

namespace {

template <size_t N>
std::u16string Trimmed(const RFC_CHAR (&field)[N]) {
    return platform::Trim(platform::FieldText(field, N));
}

}  // namespace

CRfcParameter::CRfcParameter(const RFC_U_FUNINT& row)
    : m_strName(Trimmed(row.parameter)),
      m_strClass(platform::Trim(std::u16string(1, row.paramclass))),
      m_strStructure(Trimmed(row.tabname)),
      m_strField(Trimmed(row.fieldname)),
      m_strDefault(Trimmed(row.default_value)),
      m_strText(Trimmed(row.paramtext)),
      m_strOptional(platform::Trim(std::u16string(1, row.optional))),
      m_nPosition(row.position),
      m_nLayout(row.offset_b2),
      m_nLength(std::max(0, row.length_b2)),
      m_nDecimals(row.decimals),
      m_nType(RfcExidToRfcTypeU(row.exid)) {}

void CRfcParameter::ReserveValue(size_t size) {
    if (m_Value.size() < size) m_Value.resize(size, 0);
}

unsigned char* CRfcParameter::GetValueBuffer() {
    if (m_Value.empty() && m_nLength >= 1) m_Value.assign(static_cast<size_t>(m_nLength), 0);
    return m_Value.empty() ? nullptr : m_Value.data();
}

void CRfcParameter::ClearValue() {
    unsigned char* buffer = GetValueBuffer();
    if (buffer == nullptr) return;
    const size_t length = static_cast<size_t>(m_nLength);
    if (rfcfield::IsCharacterLike(m_nType)) {
        const char16_t fill = m_nType == RFCTYPE_NUM ? u'0' : u' ';
        std::vector<char16_t> text(length / 2, fill);
        std::copy_n(reinterpret_cast<const unsigned char*>(text.data()), text.size() * 2, buffer);
        return;
    }
    switch (m_nType) {
        case RFCTYPE_BCD:
        case RFCTYPE_BYTE:
        case RFCTYPE_FLOAT:
        case RFCTYPE_INT:
        case RFCTYPE_INT2:
        case RFCTYPE_INT1:
            std::fill_n(buffer, length, 0);
            break;
        default:
            break;
    }
}

void CRfcParameter::ApplyDefault() {
    std::u16string value = platform::TrimRight(m_strDefault);
    if (value.empty() || value == u"SPACE") return;
    std::erase(value, u'\'');
    unsigned char* buffer = GetValueBuffer();
    if (buffer == nullptr) return;
    rfcfield::Field field{m_nType, static_cast<size_t>(m_nLength), 0, m_nDecimals};
    rfcfield::PutFieldValue(buffer, m_Value.size(), field, rfcfield::Source::Text(value));
}
