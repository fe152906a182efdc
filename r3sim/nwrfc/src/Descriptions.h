// Type and function descriptions as the metadata repository keeps them.
// A Slot is where one value lies in a container's Unicode buffer: a field in
// a structure record or a parameter in a function's parameter block.
//
// Thread rules: built once, then only read (shared by every connection to
// the system they describe).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "client/PartnerLayout.h"
#include "nwrfc/NwRfcApi.h"

namespace nwsim {

class TypeDesc;

struct Slot {
    nwrfc::RFCTYPE type = nwrfc::RFCTYPE_CHAR;
    unsigned nucLength = 0, nucOffset = 0;  // 1-byte layout
    unsigned ucLength = 0, ucOffset = 0;    // 2-byte layout: the container's
    unsigned decimals = 0;
    const TypeDesc* typeDesc = nullptr;  // structures and tables
};

struct FieldDesc {
    std::u16string name;
    Slot slot;
};

// The SDK's type of an ABAP type letter; false for a letter it does not know.
bool TypeOfLetter(char16_t letter, nwrfc::RFCTYPE& type);
// CHAR, DATE, TIME, NUM: text of ucLength / 2 characters.
bool IsCharacterType(nwrfc::RFCTYPE type);
// Writes the ABAP initial value of the slot's type at data.
void WriteInitial(const Slot& slot, uint8_t* data);

// Names to indexes without an allocation per lookup.
class NameIndex {
  public:
    void Add(std::u16string_view name, unsigned index) { map_.emplace(name, index); }
    // -1 when absent.
    int Find(std::u16string_view name) const {
        const auto it = map_.find(name);
        return it == map_.end() ? -1 : static_cast<int>(it->second);
    }

  private:
    std::unordered_map<std::u16string_view, unsigned> map_;
};

class TypeDesc {
  public:
    TypeDesc(std::u16string name, std::vector<FieldDesc> fields, unsigned nucLength,
             unsigned ucLength);
    TypeDesc(const TypeDesc&) = delete;
    TypeDesc& operator=(const TypeDesc&) = delete;

    const std::u16string& Name() const { return name_; }
    const std::vector<FieldDesc>& Fields() const { return fields_; }
    int Find(std::u16string_view field) const { return index_.Find(field); }
    unsigned NucLength() const { return nucLength_; }
    unsigned UcLength() const { return ucLength_; }
    // A record with every field at its initial value.
    const std::vector<uint8_t>& Initial() const { return initial_; }
    // Conversion of records to and from a non-Unicode partner's layout.
    const rfclib::PartnerLayout& PartnerLayout() const { return partnerLayout_; }

  private:
    std::u16string name_;
    std::vector<FieldDesc> fields_;
    NameIndex index_;
    unsigned nucLength_, ucLength_;
    std::vector<uint8_t> initial_;
    rfclib::PartnerLayout partnerLayout_;
};

struct ParameterDesc {
    std::u16string name;
    Slot slot;  // ucOffset: in the function's parameter block
    nwrfc::RFC_DIRECTION direction = nwrfc::RFC_IMPORT;
    std::u16string defaultValue;
    std::u16string text;
    bool optional = false;
};

struct ExceptionDesc {
    std::u16string key;
    std::u16string message;
};

class FunctionDesc {
  public:
    // Lays the parameters out in one block (tables take no room in it).
    FunctionDesc(std::u16string name, std::vector<ParameterDesc> parameters,
                 std::vector<ExceptionDesc> exceptions);
    FunctionDesc(const FunctionDesc&) = delete;
    FunctionDesc& operator=(const FunctionDesc&) = delete;

    const std::u16string& Name() const { return name_; }
    const std::vector<ParameterDesc>& Parameters() const { return parameters_; }
    const std::vector<ExceptionDesc>& Exceptions() const { return exceptions_; }
    int Find(std::u16string_view parameter) const { return index_.Find(parameter); }
    // The parameter block with every parameter at its initial value.
    const std::vector<uint8_t>& Initial() const { return initial_; }

  private:
    std::u16string name_;
    std::vector<ParameterDesc> parameters_;
    std::vector<ExceptionDesc> exceptions_;
    NameIndex index_;
    std::vector<uint8_t> initial_;
};

}  // namespace nwsim
