#include "MetadataRows.h"

#include <algorithm>
#include <cstring>

#include "Text.h"
#include "rfc32u.h"

namespace nwsim {
namespace {

// Anything beyond this is not a record of an ABAP structure.
constexpr unsigned kMaxRecordBytes = 1u << 20;

template <typename Row>
bool RowsFit(const rfcwire::RowBlock& rows, std::string& error) {
    if (rows.rowLength != sizeof(Row)) {
        error = "rows of " + std::to_string(rows.rowLength) + " bytes, " +
                std::to_string(sizeof(Row)) + " expected";
        return false;
    }
    if (rows.rows.size() / sizeof(Row) < rows.rowCount) {
        error = "fewer row bytes than the row count says";
        return false;
    }
    return true;
}

template <typename Row>
Row RowAt(const rfcwire::RowBlock& rows, size_t index) {
    Row row;
    std::memcpy(&row, rows.rows.data() + index * sizeof(Row), sizeof row);
    return row;
}

template <size_t N>
std::u16string Trimmed(const RFC_CHAR (&field)[N]) {
    return std::u16string(TrimRight(std::u16string_view(field, N)));
}

bool Within(int offset, int length, uint32_t record) {
    return offset >= 0 && length >= 0 && static_cast<uint32_t>(offset) <= record &&
           static_cast<uint32_t>(length) <= record - static_cast<uint32_t>(offset);
}

bool DirectionOf(char16_t paramClass, nwrfc::RFC_DIRECTION& direction) {
    switch (paramClass) {
        case u'I': direction = nwrfc::RFC_IMPORT; return true;
        case u'E': direction = nwrfc::RFC_EXPORT; return true;
        case u'C': direction = nwrfc::RFC_CHANGING; return true;
        case u'T': direction = nwrfc::RFC_TABLES; return true;
        default: return false;
    }
}

}  // namespace

bool FieldsFromRows(const StructureRows& rows, std::vector<FieldDesc>& fields,
                    std::string& error) {
    fields.clear();
    if (!RowsFit<RFC_U_FIELDS>(rows.fields, error)) return false;
    if (rows.lengthB1 > kMaxRecordBytes || rows.lengthB2 > kMaxRecordBytes) {
        error = "record length beyond " + std::to_string(kMaxRecordBytes) + " bytes";
        return false;
    }
    fields.reserve(rows.fields.rowCount);
    for (size_t r = 0; r < rows.fields.rowCount; ++r) {
        const auto row = RowAt<RFC_U_FIELDS>(rows.fields, r);
        FieldDesc field;
        field.name = Trimmed(row.fieldname);
        const std::string where = "field " + Utf8(field.name) + " of " + Utf8(rows.name);
        if (field.name.empty()) {
            error = "field " + std::to_string(r + 1) + " of " + Utf8(rows.name) + " has no name";
            return false;
        }
        if (!TypeOfLetter(row.exid, field.slot.type) ||
            field.slot.type == nwrfc::RFCTYPE_TABLE) {
            error = where + " has the type letter " + std::to_string(row.exid) +
                    ", which is no flat type";
            return false;
        }
        if (!Within(row.offset_b1, row.length_b1, rows.lengthB1) ||
            !Within(row.offset_b2, row.length_b2, rows.lengthB2) || row.decimals < 0 ||
            row.decimals > 31) {
            error = where + " lies outside its record";
            return false;
        }
        if (IsCharacterType(field.slot.type) &&
            (row.length_b2 % 2 != 0 || row.length_b1 * 2 != row.length_b2)) {
            error = where + " has character lengths that do not match";
            return false;
        }
        field.slot.nucOffset = static_cast<unsigned>(row.offset_b1);
        field.slot.nucLength = static_cast<unsigned>(row.length_b1);
        field.slot.ucOffset = static_cast<unsigned>(row.offset_b2);
        field.slot.ucLength = static_cast<unsigned>(row.length_b2);
        field.slot.decimals = static_cast<unsigned>(row.decimals);
        fields.push_back(std::move(field));
    }
    return true;
}

bool ParametersFromRows(const rfcwire::RowBlock& rows, std::vector<ParameterRow>& parameters,
                        std::vector<ExceptionDesc>& exceptions, std::string& error) {
    parameters.clear();
    exceptions.clear();
    if (!RowsFit<RFC_U_FUNINT>(rows, error)) return false;
    for (size_t r = 0; r < rows.rowCount; ++r) {
        const auto row = RowAt<RFC_U_FUNINT>(rows, r);
        const std::u16string name = Trimmed(row.parameter);
        if (name.empty()) {
            error = "parameter row " + std::to_string(r + 1) + " has no name";
            return false;
        }
        if (row.paramclass == u'X') {
            exceptions.push_back({name, Trimmed(row.paramtext)});
            continue;
        }
        const std::string where = "parameter " + Utf8(name);
        ParameterRow parameter;
        ParameterDesc& desc = parameter.desc;
        desc.name = name;
        if (!DirectionOf(row.paramclass, desc.direction)) {
            error = where + " has the unknown class " + std::to_string(row.paramclass);
            return false;
        }
        if (!TypeOfLetter(row.exid, desc.slot.type)) {
            error = where + " has the unknown type letter " + std::to_string(row.exid);
            return false;
        }
        if (desc.direction == nwrfc::RFC_TABLES) desc.slot.type = nwrfc::RFCTYPE_TABLE;
        if (row.length_b1 < 0 || row.length_b2 < 0 ||
            static_cast<unsigned>(row.length_b2) > kMaxRecordBytes ||
            static_cast<unsigned>(row.length_b1) > kMaxRecordBytes || row.decimals < 0 ||
            row.decimals > 31) {
            error = where + " has a length or decimals out of range";
            return false;
        }
        if (IsCharacterType(desc.slot.type) && row.length_b2 % 2 != 0) {
            error = where + " has an odd length of characters";
            return false;
        }
        desc.slot.nucLength = static_cast<unsigned>(row.length_b1);
        desc.slot.ucLength = static_cast<unsigned>(row.length_b2);
        desc.slot.decimals = static_cast<unsigned>(row.decimals);
        desc.defaultValue = Trimmed(row.default_value);
        desc.text = Trimmed(row.paramtext);
        desc.optional = row.optional == u'X';
        if (desc.slot.type == nwrfc::RFCTYPE_STRUCTURE || desc.slot.type == nwrfc::RFCTYPE_TABLE) {
            parameter.structure = Trimmed(row.tabname);
            if (parameter.structure.empty()) {
                error = where + " names no structure";
                return false;
            }
        }
        // An import and an export of one name are one changing parameter:
        // names are unique in a function's interface.
        auto same = std::find_if(parameters.begin(), parameters.end(), [&](const ParameterRow& p) {
            return p.desc.name == desc.name;
        });
        if (same != parameters.end()) {
            const bool pair = (same->desc.direction == nwrfc::RFC_IMPORT &&
                               desc.direction == nwrfc::RFC_EXPORT) ||
                              (same->desc.direction == nwrfc::RFC_EXPORT &&
                               desc.direction == nwrfc::RFC_IMPORT);
            if (pair) same->desc.direction = nwrfc::RFC_CHANGING;
            continue;  // otherwise the first row of a name holds
        }
        parameters.push_back(std::move(parameter));
    }
    return true;
}

}  // namespace nwsim
