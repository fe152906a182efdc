#include "MetadataRows.h"

#include <cstring>
#include <map>

#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace r3sim {
namespace {

template <size_t N>
void PutText(RFC_CHAR (&field)[N], std::string_view text) {
    const std::u16string wide = platform::FromUtf8(text);
    for (size_t i = 0; i < N; ++i) field[i] = i < wide.size() ? wide[i] : u' ';
}

template <typename Row>
void Append(rfcwire::RowBlock& block, const Row& row) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&row);
    block.rows.insert(block.rows.end(), bytes, bytes + sizeof row);
    ++block.rowCount;
}

// Byte sizes per width of one parameter's value.
std::array<unsigned, 3> ParameterBytes(const ParameterSpec& p, const Dictionary& dictionary) {
    std::array<unsigned, 3> bytes{};
    if (p.paramClass == 'X') return bytes;
    if (p.type == 'u' || p.type == 'h') return dictionary.Get(p.structure).length;
    const FieldSpec field{p.name, p.type, p.length, p.decimals};
    for (int w = kWidth1; w <= kWidth4; ++w)
        bytes[w] = FieldBytes(field, static_cast<CharWidth>(w));
    return bytes;
}

}  // namespace

rfcwire::RowBlock ParamsRows(const Interface& interface, const Dictionary& dictionary) {
    rfcwire::RowBlock block;
    block.rowLength = sizeof(RFC_U_FUNINT);
    // Offsets run per parameter class, as the values lie in the module's parameter block.
    std::map<char, std::array<unsigned, 3>> next;
    int position = 0;
    for (const ParameterSpec& p : interface) {
        RFC_U_FUNINT row;
        std::memset(&row, 0, sizeof row);
        row.paramclass = static_cast<RFC_CHAR>(p.paramClass);
        PutText(row.parameter, p.name);
        PutText(row.tabname, p.structure);
        PutText(row.fieldname, p.field);
        row.exid = static_cast<RFC_CHAR>(p.type);
        row.position = ++position;
        const std::array<unsigned, 3> bytes = ParameterBytes(p, dictionary);
        std::array<unsigned, 3>& offset = next[p.paramClass];
        row.offset_b1 = static_cast<int>(offset[kWidth1]);
        row.length_b1 = static_cast<int>(bytes[kWidth1]);
        row.offset_b2 = static_cast<int>(offset[kWidth2]);
        row.length_b2 = static_cast<int>(bytes[kWidth2]);
        row.offset_b4 = static_cast<int>(offset[kWidth4]);
        row.length_b4 = static_cast<int>(bytes[kWidth4]);
        for (int w = kWidth1; w <= kWidth4; ++w) offset[w] += bytes[w];
        row.decimals = static_cast<int>(p.decimals);
        PutText(row.default_value, p.defaultValue);
        PutText(row.paramtext, p.text);
        row.optional = p.optional ? u'X' : u' ';
        row.reserved = u' ';
        Append(block, row);
    }
    return block;
}

rfcwire::RowBlock FieldsRows(const StructureDef& structure) {
    rfcwire::RowBlock block;
    block.rowLength = sizeof(RFC_U_FIELDS);
    int position = 0;
    for (const FieldLayout& field : structure.fields) {
        RFC_U_FIELDS row;
        std::memset(&row, 0, sizeof row);
        PutText(row.tabname, structure.name);
        PutText(row.fieldname, field.spec.name);
        row.position = ++position;
        row.exid = static_cast<RFC_CHAR>(field.spec.type);
        row.reserved = u' ';
        row.decimals = static_cast<int>(field.spec.decimals);
        row.offset_b1 = static_cast<int>(field.offset[kWidth1]);
        row.length_b1 = static_cast<int>(field.length[kWidth1]);
        row.offset_b2 = static_cast<int>(field.offset[kWidth2]);
        row.length_b2 = static_cast<int>(field.length[kWidth2]);
        row.offset_b4 = static_cast<int>(field.offset[kWidth4]);
        row.length_b4 = static_cast<int>(field.length[kWidth4]);
        Append(block, row);
    }
    return block;
}

}  // namespace r3sim
