#include "Descriptions.h"

#include <cstring>

#include "rfc32u.h"
#include "wire/Bcd.h"

namespace nwsim {
namespace {

void FillChars(uint8_t* data, unsigned bytes, char16_t c) {
    for (unsigned i = 0; i + 1 < bytes; i += 2) {
        data[i] = static_cast<uint8_t>(c);
        data[i + 1] = static_cast<uint8_t>(c >> 8);
    }
}

// The fields of a type in the terms our client's layout conversion takes;
// character-like SDK types share their numbers with the classic ones.
std::vector<rfclib::InstalledField> LayoutFields(const std::vector<FieldDesc>& fields) {
    std::vector<rfclib::InstalledField> out;
    out.reserve(fields.size());
    for (const FieldDesc& f : fields) {
        rfclib::InstalledField field;
        field.name = f.name;
        field.type = IsCharacterType(f.slot.type) ? static_cast<RFC_TYPEHANDLE>(f.slot.type)
                                                  : RFC_TYPEHANDLE{RFCTYPE_BYTE};
        field.decimals = f.slot.decimals;
        field.c1Length = f.slot.nucLength;
        field.c1Offset = f.slot.nucOffset;
        field.c2Length = f.slot.ucLength;
        field.c2Offset = f.slot.ucOffset;
        out.push_back(std::move(field));
    }
    return out;
}

constexpr unsigned kParameterAlignment = 8;

}  // namespace

bool TypeOfLetter(char16_t letter, nwrfc::RFCTYPE& type) {
    switch (letter) {
        case u'C': type = nwrfc::RFCTYPE_CHAR; return true;
        case u'D': type = nwrfc::RFCTYPE_DATE; return true;
        case u'P': type = nwrfc::RFCTYPE_BCD; return true;
        case u'T': type = nwrfc::RFCTYPE_TIME; return true;
        case u'X': type = nwrfc::RFCTYPE_BYTE; return true;
        case u'N': type = nwrfc::RFCTYPE_NUM; return true;
        case u'F': type = nwrfc::RFCTYPE_FLOAT; return true;
        case u'I': type = nwrfc::RFCTYPE_INT; return true;
        case u's': type = nwrfc::RFCTYPE_INT2; return true;
        case u'b': type = nwrfc::RFCTYPE_INT1; return true;
        case u'u': type = nwrfc::RFCTYPE_STRUCTURE; return true;
        case u'h': type = nwrfc::RFCTYPE_TABLE; return true;
        case u'g': type = nwrfc::RFCTYPE_STRING; return true;
        case u'y': type = nwrfc::RFCTYPE_XSTRING; return true;
        default: return false;
    }
}

bool IsCharacterType(nwrfc::RFCTYPE type) {
    return type == nwrfc::RFCTYPE_CHAR || type == nwrfc::RFCTYPE_DATE ||
           type == nwrfc::RFCTYPE_TIME || type == nwrfc::RFCTYPE_NUM;
}

void WriteInitial(const Slot& slot, uint8_t* data) {
    if (slot.ucLength == 0) return;  // a field without bytes; data may be no buffer at all
    switch (slot.type) {
        case nwrfc::RFCTYPE_CHAR:
            FillChars(data, slot.ucLength, u' ');
            return;
        case nwrfc::RFCTYPE_DATE:
        case nwrfc::RFCTYPE_TIME:
        case nwrfc::RFCTYPE_NUM:
            FillChars(data, slot.ucLength, u'0');
            return;
        case nwrfc::RFCTYPE_BCD: {
            std::memset(data, 0, slot.ucLength);
            if (slot.ucLength > 0) data[slot.ucLength - 1] = 0x0C;  // packed zero
            return;
        }
        case nwrfc::RFCTYPE_STRUCTURE:
            if (slot.typeDesc != nullptr && slot.typeDesc->UcLength() > 0 &&
                slot.typeDesc->UcLength() <= slot.ucLength) {
                std::memcpy(data, slot.typeDesc->Initial().data(), slot.typeDesc->UcLength());
                return;
            }
            [[fallthrough]];
        default:
            std::memset(data, 0, slot.ucLength);
    }
}

TypeDesc::TypeDesc(std::u16string name, std::vector<FieldDesc> fields, unsigned nucLength,
                   unsigned ucLength)
    : name_(std::move(name)),
      fields_(std::move(fields)),
      nucLength_(nucLength),
      ucLength_(ucLength),
      initial_(ucLength, 0),
      partnerLayout_(LayoutFields(fields_)) {
    for (unsigned i = 0; i < fields_.size(); ++i) {
        index_.Add(fields_[i].name, i);
        const Slot& slot = fields_[i].slot;
        if (slot.ucOffset <= ucLength_ && slot.ucLength <= ucLength_ - slot.ucOffset)
            WriteInitial(slot, initial_.data() + slot.ucOffset);
    }
}

FunctionDesc::FunctionDesc(std::u16string name, std::vector<ParameterDesc> parameters,
                           std::vector<ExceptionDesc> exceptions)
    : name_(std::move(name)), parameters_(std::move(parameters)), exceptions_(std::move(exceptions)) {
    unsigned offset = 0;
    for (unsigned i = 0; i < parameters_.size(); ++i) {
        ParameterDesc& p = parameters_[i];
        index_.Add(p.name, i);
        p.slot.ucOffset = offset;
        if (p.slot.type == nwrfc::RFCTYPE_TABLE) continue;
        if (p.slot.type == nwrfc::RFCTYPE_STRUCTURE && p.slot.typeDesc != nullptr)
            p.slot.ucLength = p.slot.typeDesc->UcLength();
        offset += (p.slot.ucLength + kParameterAlignment - 1) / kParameterAlignment *
                  kParameterAlignment;
    }
    initial_.assign(offset, 0);
    for (const ParameterDesc& p : parameters_)
        if (p.slot.type != nwrfc::RFCTYPE_TABLE) WriteInitial(p.slot, initial_.data() + p.slot.ucOffset);
}

}  // namespace nwsim
