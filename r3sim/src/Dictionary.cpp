#include "r3sim/Dictionary.h"

#include <algorithm>

namespace r3sim {
namespace {

unsigned RoundUp(unsigned value, unsigned alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool IsCharacterType(char type) {
    return type == 'C' || type == 'N' || type == 'D' || type == 'T';
}

}  // namespace

FieldSpec Char(std::string name, unsigned chars) {
    return {std::move(name), 'C', chars, 0};
}
FieldSpec Num(std::string name, unsigned digits) {
    return {std::move(name), 'N', digits, 0};
}
FieldSpec Date(std::string name) {
    return {std::move(name), 'D', 8, 0};
}
FieldSpec Time(std::string name) {
    return {std::move(name), 'T', 6, 0};
}
FieldSpec Packed(std::string name, unsigned bytes, unsigned decimals) {
    return {std::move(name), 'P', bytes, decimals};
}
FieldSpec Bytes(std::string name, unsigned bytes) {
    return {std::move(name), 'X', bytes, 0};
}
FieldSpec Float(std::string name) {
    return {std::move(name), 'F', 8, 0};
}
FieldSpec Int(std::string name) {
    return {std::move(name), 'I', 4, 0};
}
FieldSpec Int2(std::string name) {
    return {std::move(name), 's', 2, 0};
}
FieldSpec Int1(std::string name) {
    return {std::move(name), 'b', 1, 0};
}

unsigned FieldBytes(const FieldSpec& field, CharWidth width) {
    switch (field.type) {
        case 'C':
        case 'N':
        case 'D':
        case 'T':
            return field.length * kBytesPerChar[width];
        case 'P':
        case 'X':
            return field.length;
        case 'F':
            return 8;
        case 'I':
            return 4;
        case 's':
            return 2;
        case 'b':
            return 1;
        default:
            throw DictionaryError(std::string("field ") + field.name + " has the unknown type '" +
                                  field.type + "'");
    }
}

unsigned FieldAlignment(const FieldSpec& field, CharWidth width) {
    if (IsCharacterType(field.type)) return kBytesPerChar[width];
    switch (field.type) {
        case 'F':
            return 8;
        case 'I':
            return 4;
        case 's':
            return 2;
        default:
            return 1;
    }
}

StructureDef Structure(std::string name, const std::vector<FieldSpec>& fields) {
    StructureDef def;
    def.name = std::move(name);
    std::array<unsigned, 3> end{};
    std::array<unsigned, 3> alignment{1, 1, 1};
    for (const FieldSpec& spec : fields) {
        FieldLayout layout{spec, {}, {}};
        for (int w = kWidth1; w <= kWidth4; ++w) {
            const auto width = static_cast<CharWidth>(w);
            const unsigned bytes = FieldBytes(spec, width);
            if (bytes == 0)
                throw DictionaryError("field " + def.name + "-" + spec.name + " has no length");
            const unsigned align = FieldAlignment(spec, width);
            alignment[w] = std::max(alignment[w], align);
            layout.offset[w] = RoundUp(end[w], align);
            layout.length[w] = bytes;
            end[w] = layout.offset[w] + bytes;
        }
        def.fields.push_back(std::move(layout));
    }
    for (int w = kWidth1; w <= kWidth4; ++w) def.length[w] = RoundUp(end[w], alignment[w]);
    def.alignment = alignment[kWidth2];
    return def;
}

const FieldLayout* StructureDef::Find(std::string_view field) const {
    for (const FieldLayout& layout : fields)
        if (layout.spec.name == field) return &layout;
    return nullptr;
}

ParameterSpec Import(const FieldSpec& field) {
    ParameterSpec p;
    p.paramClass = 'I';
    p.name = field.name;
    p.type = field.type;
    p.length = field.length;
    p.decimals = field.decimals;
    return p;
}

ParameterSpec Export(const FieldSpec& field) {
    ParameterSpec p = Import(field);
    p.paramClass = 'E';
    return p;
}

ParameterSpec ImportStructure(std::string name, std::string structure) {
    ParameterSpec p;
    p.paramClass = 'I';
    p.name = std::move(name);
    p.structure = std::move(structure);
    p.type = 'u';
    return p;
}

ParameterSpec ExportStructure(std::string name, std::string structure) {
    ParameterSpec p = ImportStructure(std::move(name), std::move(structure));
    p.paramClass = 'E';
    return p;
}

ParameterSpec Table(std::string name, std::string structure) {
    ParameterSpec p = ImportStructure(std::move(name), std::move(structure));
    p.paramClass = 'T';
    p.type = 'h';
    return p;
}

ParameterSpec Exception(std::string name) {
    ParameterSpec p;
    p.paramClass = 'X';
    p.name = std::move(name);
    p.type = ' ';
    return p;
}

void Dictionary::Add(StructureDef structure) {
    std::string name = structure.name;
    structures_.insert_or_assign(std::move(name), std::move(structure));
}

const StructureDef* Dictionary::Find(std::string_view name) const {
    auto it = structures_.find(name);
    return it == structures_.end() ? nullptr : &it->second;
}

const StructureDef& Dictionary::Get(std::string_view name) const {
    const StructureDef* def = Find(name);
    if (def == nullptr) throw DictionaryError("structure " + std::string(name) + " is not defined");
    return *def;
}

}  // namespace r3sim
