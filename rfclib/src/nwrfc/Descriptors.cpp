#include "nwrfc/Descriptors.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "nwrfc/SdkText.h"

namespace rfclib::nw {
namespace {

bool IsCharacter(nwrfc::RFCTYPE type) {
    return type == nwrfc::RFCTYPE_CHAR || type == nwrfc::RFCTYPE_NUM ||
           type == nwrfc::RFCTYPE_DATE || type == nwrfc::RFCTYPE_TIME;
}

unsigned Alignment(nwrfc::RFCTYPE type, unsigned bytesPerChar) {
    if (IsCharacter(type)) return bytesPerChar;
    switch (type) {
        case nwrfc::RFCTYPE_FLOAT:
        case nwrfc::RFCTYPE_INT8:
            return 8;
        case nwrfc::RFCTYPE_INT:
            return 4;
        case nwrfc::RFCTYPE_INT2:
            return 2;
        default:
            return 1;
    }
}

// Bytes of a value in the 4-byte layout, from its 2-byte length.
unsigned WideBytes(nwrfc::RFCTYPE type, unsigned ucLength) {
    return IsCharacter(type) ? ucLength * 2 : ucLength;
}

unsigned RoundUp(unsigned value, unsigned alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// Blank-padded to the field's width, as the dictionary's rows are.
template <size_t N>
void PutText(RFC_CHAR (&field)[N], std::u16string_view text) {
    for (size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : u' ';
}

char16_t ClassOf(nwrfc::RFC_DIRECTION direction) {
    switch (direction) {
        case nwrfc::RFC_IMPORT:
            return u'I';
        case nwrfc::RFC_EXPORT:
            return u'E';
        case nwrfc::RFC_TABLES:
            return u'T';
        default:
            return u' ';
    }
}

}  // namespace

char16_t ExidOf(nwrfc::RFCTYPE type) {
    switch (type) {
        case nwrfc::RFCTYPE_CHAR:
            return u'C';
        case nwrfc::RFCTYPE_DATE:
            return u'D';
        case nwrfc::RFCTYPE_BCD:
            return u'P';
        case nwrfc::RFCTYPE_TIME:
            return u'T';
        case nwrfc::RFCTYPE_BYTE:
            return u'X';
        case nwrfc::RFCTYPE_TABLE:
            return u'h';
        case nwrfc::RFCTYPE_NUM:
            return u'N';
        case nwrfc::RFCTYPE_FLOAT:
            return u'F';
        case nwrfc::RFCTYPE_INT:
            return u'I';
        case nwrfc::RFCTYPE_INT2:
            return u's';
        case nwrfc::RFCTYPE_INT1:
            return u'b';
        case nwrfc::RFCTYPE_STRUCTURE:
            return u'u';
        case nwrfc::RFCTYPE_STRING:
            return u'g';
        case nwrfc::RFCTYPE_XSTRING:
            return u'y';
        default:
            return u' ';
    }
}

std::vector<RFC_U_FUNINT> ParamsRows(const std::vector<ParameterDescription>& parameters,
                                     const std::vector<std::u16string>& exceptions) {
    std::vector<RFC_U_FUNINT> rows;
    rows.reserve(parameters.size() + exceptions.size());
    struct Offsets {
        unsigned b1 = 0, b2 = 0, b4 = 0;
    };
    std::map<char16_t, Offsets> next;
    int position = 0;
    // The classic interface knows no changing parameters: one is passed in
    // both lists, so it is an import row and an export row of one name.
    std::vector<std::pair<const ParameterDescription*, char16_t>> classes;
    for (const ParameterDescription& p : parameters) {
        if (p.desc.direction == nwrfc::RFC_CHANGING) {
            classes.emplace_back(&p, u'I');
            classes.emplace_back(&p, u'E');
        } else {
            classes.emplace_back(&p, ClassOf(p.desc.direction));
        }
    }
    for (const auto& [described, paramclass] : classes) {
        const ParameterDescription& p = *described;
        RFC_U_FUNINT row;
        std::memset(&row, 0, sizeof row);
        row.paramclass = paramclass;
        PutText(row.parameter, SdkText(p.desc.name));
        PutText(row.tabname, p.typeName);
        PutText(row.fieldname, u"");
        row.exid = ExidOf(p.desc.type);
        row.position = ++position;
        const unsigned wide =
            p.wideLength != 0 ? p.wideLength : WideBytes(p.desc.type, p.desc.ucLength);
        Offsets& offset = next[row.paramclass];
        row.offset_b1 = static_cast<int>(offset.b1);
        row.length_b1 = static_cast<int>(p.desc.nucLength);
        row.offset_b2 = static_cast<int>(offset.b2);
        row.length_b2 = static_cast<int>(p.desc.ucLength);
        row.offset_b4 = static_cast<int>(offset.b4);
        row.length_b4 = static_cast<int>(wide);
        offset.b1 += p.desc.nucLength;
        offset.b2 += p.desc.ucLength;
        offset.b4 += wide;
        row.decimals = static_cast<int>(p.desc.decimals);
        PutText(row.default_value, SdkText(p.desc.defaultValue));
        PutText(row.paramtext, SdkText(p.desc.parameterText));
        row.optional = p.desc.optional != 0 ? u'X' : u' ';
        row.reserved = u' ';
        rows.push_back(row);
    }
    for (const std::u16string& name : exceptions) {
        RFC_U_FUNINT row;
        std::memset(&row, 0, sizeof row);
        row.paramclass = u'X';
        PutText(row.parameter, name);
        PutText(row.tabname, u"");
        PutText(row.fieldname, u"");
        row.exid = u' ';
        row.position = ++position;
        PutText(row.default_value, u"");
        PutText(row.paramtext, u"");
        row.optional = u' ';
        row.reserved = u' ';
        rows.push_back(row);
    }
    return rows;
}

std::vector<RFC_U_FIELDS> FieldsRows(std::u16string_view structure,
                                     const std::vector<nwrfc::RFC_FIELD_DESC>& fields,
                                     unsigned nucLength, unsigned ucLength,
                                     StructureLayout& layout) {
    std::vector<RFC_U_FIELDS> rows;
    rows.reserve(fields.size());
    unsigned end4 = 0, align4 = 1, align2 = 1;
    int position = 0;
    for (const nwrfc::RFC_FIELD_DESC& field : fields) {
        RFC_U_FIELDS row;
        std::memset(&row, 0, sizeof row);
        PutText(row.tabname, structure);
        PutText(row.fieldname, SdkText(field.name));
        row.position = ++position;
        row.exid = ExidOf(field.type);
        row.reserved = u' ';
        row.decimals = static_cast<int>(field.decimals);
        row.offset_b1 = static_cast<int>(field.nucOffset);
        row.length_b1 = static_cast<int>(field.nucLength);
        row.offset_b2 = static_cast<int>(field.ucOffset);
        row.length_b2 = static_cast<int>(field.ucLength);
        const unsigned a4 = Alignment(field.type, 4);
        const unsigned offset4 = RoundUp(end4, a4);
        const unsigned wide = WideBytes(field.type, field.ucLength);
        row.offset_b4 = static_cast<int>(offset4);
        row.length_b4 = static_cast<int>(wide);
        end4 = offset4 + wide;
        align4 = std::max(align4, a4);
        align2 = std::max(align2, Alignment(field.type, 2));
        rows.push_back(row);
    }
    layout.lengthB1 = nucLength;
    layout.lengthB2 = ucLength;
    layout.lengthB4 = RoundUp(end4, align4);
    layout.fieldCount = static_cast<unsigned>(fields.size());
    layout.alignment = align2;
    return rows;
}

}  // namespace rfclib::nw
