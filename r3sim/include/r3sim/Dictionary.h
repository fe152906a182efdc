// The simulated system's data dictionary: structures with their fields and
// the byte layouts they take in the 1-, 2- and 4-byte character widths, and
// the interfaces of the function modules (parameters with class, type,
// length, default and text). Served to callers as FIELDS and PARAMS rows.
//
//   dictionary.Add(Structure("WPINFO", {Num("WP_NO", 2), Char("WP_TYP", 3), Int("WP_PID")}));
//   Interface wp{ImportChar("WITH_CPU", 2).Optional().Default("'00'"),
//                Table("WPLIST", "WPINFO")};
//
// Thread rules: filled before the system starts, then only read.
#pragma once

#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace r3sim {

// Index into the per-width arrays: 1, 2 and 4 bytes per character.
enum CharWidth : int { kWidth1 = 0, kWidth2 = 1, kWidth4 = 2 };
inline constexpr std::array<unsigned, 3> kBytesPerChar = {1, 2, 4};

struct FieldSpec {
    std::string name;
    char type = 'C';      // C D T N P X F I s b
    unsigned length = 0;  // characters for C and N, bytes for P and X; implied otherwise
    unsigned decimals = 0;
};

FieldSpec Char(std::string name, unsigned chars);
FieldSpec Num(std::string name, unsigned digits);
FieldSpec Date(std::string name);
FieldSpec Time(std::string name);
FieldSpec Packed(std::string name, unsigned bytes, unsigned decimals = 0);
FieldSpec Bytes(std::string name, unsigned bytes);
FieldSpec Float(std::string name);
FieldSpec Int(std::string name);
FieldSpec Int2(std::string name);
FieldSpec Int1(std::string name);

struct FieldLayout {
    FieldSpec spec;
    std::array<unsigned, 3> offset{};
    std::array<unsigned, 3> length{};
};

struct StructureDef {
    std::string name;
    std::vector<FieldLayout> fields;
    std::array<unsigned, 3> length{};  // record length per width, padded to the alignment
    unsigned alignment = 1;            // of the 2-byte layout

    const FieldLayout* Find(std::string_view field) const;
};

class DictionaryError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Lays the fields out by the usual alignment rules: characters on their
// width, 2-byte integers on 2, integers on 4, floats on 8, packed and byte
// fields anywhere. Throws DictionaryError on an unknown type or a field
// without length.
StructureDef Structure(std::string name, const std::vector<FieldSpec>& fields);

// The size in bytes and the alignment of one field in one width.
unsigned FieldBytes(const FieldSpec& field, CharWidth width);
unsigned FieldAlignment(const FieldSpec& field, CharWidth width);

struct ParameterSpec {
    char paramClass = 'I';  // I import, E export, T table, X exception
    std::string name;
    std::string structure;  // structure of a structured parameter or a table's rows
    std::string field;      // for a parameter typed by a dictionary field
    char type = 'C';        // type letter; 'u' structure, 'h' table
    unsigned length = 0;    // as in FieldSpec
    unsigned decimals = 0;
    std::string defaultValue;
    std::string text;
    bool optional = false;

    ParameterSpec& Optional() {
        optional = true;
        return *this;
    }
    ParameterSpec& Default(std::string value) {
        defaultValue = std::move(value);
        optional = true;
        return *this;
    }
    ParameterSpec& Text(std::string value) {
        text = std::move(value);
        return *this;
    }
    ParameterSpec& TypedBy(std::string structureName, std::string fieldName) {
        structure = std::move(structureName);
        field = std::move(fieldName);
        return *this;
    }
};

// A scalar import or export of the type of field (its name becomes the parameter's).
ParameterSpec Import(const FieldSpec& field);
ParameterSpec Export(const FieldSpec& field);
ParameterSpec ImportStructure(std::string name, std::string structure);
ParameterSpec ExportStructure(std::string name, std::string structure);
ParameterSpec Table(std::string name, std::string structure);
ParameterSpec Exception(std::string name);

using Interface = std::vector<ParameterSpec>;

class Dictionary {
  public:
    // Adds or replaces a structure.
    void Add(StructureDef structure);
    const StructureDef* Find(std::string_view name) const;
    // Like Find, but a missing structure is a programming error of the simulator.
    const StructureDef& Get(std::string_view name) const;

  private:
    std::map<std::string, StructureDef, std::less<>> structures_;
};

}  // namespace r3sim
