// Descriptions from PARAMS and FIELDS rows, well-formed and not; and logon
// parameters to our client's logon data.
#include <gtest/gtest.h>

#include <cstring>

#include "LogonParameters.h"
#include "MetadataRows.h"
#include "rfc32u.h"

namespace nwsimtest {
namespace {

template <size_t N>
void Put(RFC_CHAR (&field)[N], std::u16string_view text) {
    for (size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : u' ';
}

template <typename Row>
void Append(rfcwire::RowBlock& block, const Row& row) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&row);
    block.rows.insert(block.rows.end(), bytes, bytes + sizeof row);
    block.rowLength = sizeof row;
    ++block.rowCount;
}

RFC_U_FIELDS FieldRow(std::u16string_view name, char16_t exid, int o1, int l1, int o2, int l2) {
    RFC_U_FIELDS row;
    std::memset(&row, 0, sizeof row);
    Put(row.tabname, u"ZROW");
    Put(row.fieldname, name);
    row.exid = exid;
    row.offset_b1 = o1;
    row.length_b1 = l1;
    row.offset_b2 = o2;
    row.length_b2 = l2;
    return row;
}

RFC_U_FUNINT ParamRow(char16_t paramClass, std::u16string_view name, char16_t exid, int l1, int l2,
                      std::u16string_view structure = u"") {
    RFC_U_FUNINT row;
    std::memset(&row, 0, sizeof row);
    row.paramclass = paramClass;
    Put(row.parameter, name);
    Put(row.tabname, structure);
    Put(row.default_value, u"");
    Put(row.paramtext, u"");
    row.exid = exid;
    row.length_b1 = l1;
    row.length_b2 = l2;
    row.optional = u' ';
    return row;
}

TEST(MetadataRows, FieldsKeepBothLayoutsAndRefuseWhatLiesOutside) {
    nwsim::StructureRows rows{u"ZROW", {}, 12, 20};
    Append(rows.fields, FieldRow(u"NAME", u'C', 0, 5, 0, 10));
    Append(rows.fields, FieldRow(u"FLAG", u'b', 5, 1, 10, 1));
    Append(rows.fields, FieldRow(u"COUNT", u'I', 8, 4, 12, 4));
    std::vector<nwsim::FieldDesc> fields;
    std::string error;
    ASSERT_TRUE(nwsim::FieldsFromRows(rows, fields, error)) << error;
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1].name, u"FLAG");
    EXPECT_EQ(fields[1].slot.type, nwrfc::RFCTYPE_INT1);
    EXPECT_EQ(fields[1].slot.nucOffset, 5u);
    EXPECT_EQ(fields[1].slot.ucOffset, 10u);
    EXPECT_EQ(fields[2].slot.ucLength, 4u);

    auto refused = [&](RFC_U_FIELDS row) {
        nwsim::StructureRows bad{u"ZROW", {}, 12, 20};
        Append(bad.fields, row);
        std::string reason;
        return !nwsim::FieldsFromRows(bad, fields, reason) && !reason.empty();
    };
    EXPECT_TRUE(refused(FieldRow(u"FAR", u'I', 8, 4, 18, 4)));   // beyond 20 bytes
    EXPECT_TRUE(refused(FieldRow(u"NEG", u'I', -4, 4, 12, 4)));  // negative offset
    EXPECT_TRUE(refused(FieldRow(u"ODD", u'C', 0, 5, 0, 9)));    // half a character
    EXPECT_TRUE(refused(FieldRow(u"WHAT", u'?', 0, 1, 0, 1)));   // unknown letter
    EXPECT_TRUE(refused(FieldRow(u"", u'C', 0, 1, 0, 2)));       // no name
    rows.fields.rows.resize(rows.fields.rows.size() - 1);        // a row cut short
    EXPECT_FALSE(nwsim::FieldsFromRows(rows, fields, error));
}

TEST(MetadataRows, ParametersMapClassesToDirectionsAndExceptionsApart) {
    rfcwire::RowBlock rows;
    Append(rows, ParamRow(u'I', u"IN", u'C', 4, 8));
    Append(rows, ParamRow(u'E', u"OUT", u'u', 12, 20, u"ZROW"));
    Append(rows, ParamRow(u'T', u"LIST", u'h', 12, 20, u"ZROW"));
    Append(rows, ParamRow(u'X', u"BROKEN", u' ', 0, 0));
    std::vector<nwsim::ParameterRow> parameters;
    std::vector<nwsim::ExceptionDesc> exceptions;
    std::string error;
    ASSERT_TRUE(nwsim::ParametersFromRows(rows, parameters, exceptions, error)) << error;
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_EQ(parameters[0].desc.direction, nwrfc::RFC_IMPORT);
    EXPECT_EQ(parameters[0].desc.slot.ucLength, 8u);
    EXPECT_EQ(parameters[1].desc.direction, nwrfc::RFC_EXPORT);
    EXPECT_EQ(parameters[1].desc.slot.type, nwrfc::RFCTYPE_STRUCTURE);
    EXPECT_EQ(parameters[1].structure, u"ZROW");
    EXPECT_EQ(parameters[2].desc.direction, nwrfc::RFC_TABLES);
    EXPECT_EQ(parameters[2].desc.slot.type, nwrfc::RFCTYPE_TABLE);
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(exceptions[0].key, u"BROKEN");

    rfcwire::RowBlock bad;
    Append(bad, ParamRow(u'Q', u"IN", u'C', 4, 8));
    EXPECT_FALSE(nwsim::ParametersFromRows(bad, parameters, exceptions, error));
    rfcwire::RowBlock noStructure;
    Append(noStructure, ParamRow(u'T', u"LIST", u'h', 12, 20));
    EXPECT_FALSE(nwsim::ParametersFromRows(noStructure, parameters, exceptions, error));
}

TEST(LogonParameters, RouterHopsGoInFrontOfTheHost) {
    const std::u16string names[] = {u"ASHOST", u"sysnr", u"SapRouter", u"client"};
    const std::u16string values[] = {u"srv1", u"07", u"/H/gw/S/3298/H/", u"100"};
    nwrfc::RFC_CONNECTION_PARAMETER list[4];
    for (int i = 0; i < 4; ++i) list[i] = {names[i].c_str(), values[i].c_str()};
    rfclib::ConnectParameters out;
    std::string error;
    ASSERT_TRUE(nwsim::ParseLogonParameters(list, 4, out, error)) << error;
    EXPECT_EQ(out.host, u"srv1");
    EXPECT_EQ(out.systemNumber, 7);
    EXPECT_EQ(out.client, u"100");
    ASSERT_EQ(out.routers.size(), 1u);
    EXPECT_EQ(out.routers[0].host, u"gw");
    EXPECT_EQ(out.routers[0].port, 3298);

    const std::u16string bare = u"/H/gw2";  // without its closing /H/
    list[2].value = bare.c_str();
    ASSERT_TRUE(nwsim::ParseLogonParameters(list, 4, out, error)) << error;
    ASSERT_EQ(out.routers.size(), 1u);
    EXPECT_EQ(out.routers[0].host, u"gw2");
    EXPECT_EQ(out.host, u"srv1");
    EXPECT_FALSE(nwsim::ParseLogonParameters(nullptr, 2, out, error));
}

}  // namespace
}  // namespace nwsimtest
