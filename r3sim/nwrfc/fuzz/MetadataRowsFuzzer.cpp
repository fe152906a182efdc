// Fuzzes the descriptions built from a partner's rows: PARAMS and FIELDS
// rows of any bytes give a description or a reason, never a crash, and a
// description's fields always lie inside its record.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Containers.h"
#include "FieldValues.h"
#include "MetadataRows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    uint32_t lengthB1, lengthB2;
    std::memcpy(&lengthB1, data, 4);
    std::memcpy(&lengthB2, data + 4, 4);
    const bool params = data[8] & 1;
    rfcwire::RowBlock block;
    block.rowLength = params ? 420 : 156;
    block.rows.assign(data + 9, data + size);
    block.rowCount = static_cast<uint32_t>(block.rows.size() / block.rowLength) + (data[8] >> 7);
    std::string error;
    if (params) {
        std::vector<nwsim::ParameterRow> parameters;
        std::vector<nwsim::ExceptionDesc> exceptions;
        if (!nwsim::ParametersFromRows(block, parameters, exceptions, error) && error.empty())
            std::abort();
        return 0;
    }
    nwsim::StructureRows rows{u"FUZZ", block, lengthB1 % 4096, lengthB2 % 8192};
    std::vector<nwsim::FieldDesc> fields;
    if (!nwsim::FieldsFromRows(rows, fields, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    // A container of the type: every field readable as text or refused.
    const nwsim::TypeDesc type(u"FUZZ", std::move(fields), rows.lengthB1, rows.lengthB2);
    nwsim::StructureContainer record(type);
    for (const nwsim::FieldDesc& f : type.Fields()) {
        if (f.slot.ucOffset + f.slot.ucLength > type.UcLength()) std::abort();
        nwsim::FieldRef ref{&f.slot, record.Data() + f.slot.ucOffset, f.name};
        std::u16string text;
        nwsim::Failure failure;
        nwsim::GetText(ref, text, failure);
    }
    std::vector<uint8_t> narrow = type.PartnerLayout().Narrow(record.Data(), type.UcLength());
    type.PartnerLayout().Widen(narrow.data(), narrow.size());
    return 0;
}
