// Descriptions from the rows the partner sends: FIELDS rows of a structure
// and PARAMS rows of a function interface. Rows of any content give either
// a description or a reason; every offset and length is checked against the
// record it belongs to.
//
// Thread rules: pure functions.
#pragma once

#include <string>
#include <vector>

#include "Descriptions.h"
#include "wire/Messages.h"

namespace nwsim {

struct StructureRows {
    std::u16string name;
    rfcwire::RowBlock fields;
    uint32_t lengthB1 = 0, lengthB2 = 0;
};

// The fields of a structure; false with the reason when a row is malformed.
bool FieldsFromRows(const StructureRows& rows, std::vector<FieldDesc>& fields,
                    std::string& error);

// One parameter row read; structure names the row type of structures and
// tables (empty otherwise), to be resolved to a TypeDesc by the caller.
struct ParameterRow {
    ParameterDesc desc;
    std::u16string structure;
};

bool ParametersFromRows(const rfcwire::RowBlock& rows, std::vector<ParameterRow>& parameters,
                        std::vector<ExceptionDesc>& exceptions, std::string& error);

}  // namespace nwsim
