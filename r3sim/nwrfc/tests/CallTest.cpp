// Descriptions and calls through the SDK's interface: a module with
// imports, exports, structures and tables, its exception, a system failure,
// and the same values from a non-Unicode 4.6C system.
#include <atomic>
#include <cstring>
#include <thread>

#include "SdkSystem.h"
#include "r3sim/Record.h"

namespace nwsimtest {
namespace {

using namespace nwrfc;

// Echoes TEXT, doubles COUNT, returns AMOUNT as TOTAL and HEADER as FIRST,
// reverses the ROWS it got and appends COUNT rows of its own; tells whether
// the caller listed UNUSED. COUNT above 1000 raises TOO_MANY, below 0 ends
// the call as a failure in the system.
void Echo(r3sim::CallContext& call) {
    const int64_t count = call.ImportInt(u"COUNT");
    if (count > 1000) return call.Raise("TOO_MANY", "at most 1000 rows");
    if (count < 0) return call.Fail("SYSTEM_FAILURE", "Module Z_SDK_ECHO terminated");
    call.Export(u"ECHO", call.ImportText(u"TEXT"));
    call.Export(u"DOUBLED", 2 * count);
    call.Export(u"TOTAL", call.ImportText(u"AMOUNT"));
    call.Export(u"SAW_UNUSED", call.Wants(u"UNUSED") ? 1 : 0);
    for (const rfcwire::Value& value : call.Request().exporting)
        if (value.name == u"HEADER") {
            rfcwire::Value first = value;
            first.name = u"FIRST";
            call.ExportValue(first);
        }
    if (const rfcwire::TableData* rows = call.Table(u"ROWS")) {
        rfcwire::TableData reversed = *rows;
        for (uint32_t r = 0; r < rows->rowCount; ++r)
            std::memcpy(reversed.rows.data() + r * rows->rowLength,
                        rows->rows.data() + (rows->rowCount - 1 - r) * rows->rowLength,
                        rows->rowLength);
        call.ReturnTable(reversed);
    }
    for (int64_t i = 0; i < count; ++i) {
        r3sim::Record row = call.NewRecord(u"ROWS");
        const uint8_t raw[] = {0xAB, 0xCD, static_cast<uint8_t>(i)};
        row.SetText("NAME", "Zoë " + std::to_string(i))
            .SetInt("FLAG", i)
            .SetInt("SMALL", -i)
            .SetInt("NUMBER", i * 1000)
            .SetFloat("RATE", static_cast<double>(i) / 4)
            .SetText("VALUE", "-12.5")
            .SetText("CODE", std::to_string(i))
            .SetText("DAY", "20261209")
            .SetText("TIME", "101500")
            .SetBytes("RAW", raw);
        call.AddRow(u"ROWS", row);
    }
}

class SdkCall : public SdkSystem {
  protected:
    void SetUp() override {
        SdkSystem::SetUp();
        RfcClearRepository(nullptr, nullptr);
    }

    r3sim::SimulatedSystem& StartEcho(r3sim::Scenario scenario = r3sim::DefaultScenario()) {
        using namespace r3sim;
        SimulatedSystem& system = Prepare(std::move(scenario));
        system.Modules().Structures().Add(Structure(
            "ZSDKROW", {Char("NAME", 7), Int1("FLAG"), Int2("SMALL"), Int("NUMBER"),
                        Float("RATE"), Packed("VALUE", 4, 1), Num("CODE", 4), Date("DAY"),
                        Time("TIME"), Bytes("RAW", 3)}));
        system.Modules().Register(
            "Z_SDK_ECHO",
            {Import(Char("TEXT", 10)), Import(Int("COUNT")),
             Import(Packed("AMOUNT", 5, 2)).Optional().Text("Amount"),
             Import(Date("DAY")).Optional(), ImportStructure("HEADER", "ZSDKROW").Optional(),
             Export(Char("ECHO", 10)), Export(Int("DOUBLED")), Export(Packed("TOTAL", 5, 2)),
             Export(Int("SAW_UNUSED")), ExportStructure("FIRST", "ZSDKROW"),
             Table("ROWS", "ZSDKROW"), Table("UNUSED", "ZSDKROW"), Exception("TOO_MANY")},
            Echo);
        return StartPrepared();
    }

    RFC_FUNCTION_HANDLE NewEcho(RFC_CONNECTION_HANDLE handle) {
        RFC_ERROR_INFO error{};
        RFC_FUNCTION_DESC_HANDLE desc = RfcGetFunctionDesc(handle, u"Z_SDK_ECHO", &error);
        EXPECT_NE(desc, nullptr) << Text(error.message);
        return RfcCreateFunction(desc, &error);
    }

    static RFC_RC CallEcho(RFC_CONNECTION_HANDLE handle, RFC_FUNCTION_HANDLE fn, int count,
                           RFC_ERROR_INFO& error) {
        EXPECT_EQ(RfcSetInt(fn, u"COUNT", count, &error), RFC_OK);
        return RfcInvoke(handle, fn, &error);
    }

    // Every value a full echo returns, as text, rows in order.
    std::vector<std::u16string> EchoValues(RFC_CONNECTION_HANDLE handle) {
        RFC_ERROR_INFO error{};
        RFC_FUNCTION_HANDLE fn = NewEcho(handle);
        EXPECT_EQ(RfcSetChars(fn, u"TEXT", u"héllo", 5, &error), RFC_OK);
        EXPECT_EQ(RfcSetString(fn, u"AMOUNT", u"-123.45", 7, &error), RFC_OK);
        RFC_STRUCTURE_HANDLE header = nullptr;
        EXPECT_EQ(RfcGetStructure(fn, u"HEADER", &header, &error), RFC_OK);
        EXPECT_EQ(RfcSetChars(header, u"NAME", u"Zoë", 3, &error), RFC_OK);
        EXPECT_EQ(RfcSetInt(header, u"NUMBER", 42, &error), RFC_OK);
        EXPECT_EQ(RfcSetString(header, u"VALUE", u"7.5", 3, &error), RFC_OK);
        RFC_TABLE_HANDLE rows = nullptr;
        EXPECT_EQ(RfcGetTable(fn, u"ROWS", &rows, &error), RFC_OK);
        for (const char16_t* name : {u"A", u"B"}) {
            RFC_STRUCTURE_HANDLE row = RfcAppendNewRow(rows, &error);
            EXPECT_EQ(RfcSetChars(row, u"NAME", name, 1, &error), RFC_OK);
        }
        EXPECT_EQ(RfcSetParameterActive(fn, u"UNUSED", 0, &error), RFC_OK);
        EXPECT_EQ(CallEcho(handle, fn, 3, error), RFC_OK) << Text(error.message);
        std::vector<std::u16string> values;
        for (const char16_t* name : {u"ECHO", u"DOUBLED", u"TOTAL", u"SAW_UNUSED"})
            values.push_back(StringOf(fn, name));
        RFC_STRUCTURE_HANDLE first = nullptr;
        EXPECT_EQ(RfcGetStructure(fn, u"FIRST", &first, &error), RFC_OK);
        unsigned count = 0;
        EXPECT_EQ(RfcGetRowCount(rows, &count, &error), RFC_OK);
        for (unsigned r = 0; r <= count; ++r) {
            RFC_STRUCTURE_HANDLE row = first;
            if (r > 0) {
                EXPECT_EQ(RfcMoveTo(rows, r - 1, &error), RFC_OK);
                row = RfcGetCurrentRow(rows, &error);
            }
            for (const char16_t* field : {u"NAME", u"FLAG", u"SMALL", u"NUMBER", u"RATE", u"VALUE",
                                          u"CODE", u"DAY", u"TIME", u"RAW"})
                values.push_back(StringOf(row, field));
        }
        RfcDestroyFunction(fn, &error);
        return values;
    }
};

TEST_F(SdkCall, DescriptionsComeFromTheSystemOncePerSystem) {
    auto& system = StartEcho();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    RFC_FUNCTION_DESC_HANDLE desc = RfcGetFunctionDesc(handle, u"Z_SDK_ECHO", &error);
    ASSERT_NE(desc, nullptr) << Text(error.message);
    unsigned count = 0;
    EXPECT_EQ(RfcGetParameterCount(desc, &count, &error), RFC_OK);
    EXPECT_EQ(count, 12u);
    RFC_PARAMETER_DESC p{};
    ASSERT_EQ(RfcGetParameterDescByName(desc, u"AMOUNT", &p, &error), RFC_OK);
    EXPECT_EQ(p.type, RFCTYPE_BCD);
    EXPECT_EQ(p.direction, RFC_IMPORT);
    EXPECT_EQ(p.nucLength, 5u);
    EXPECT_EQ(p.ucLength, 5u);
    EXPECT_EQ(p.decimals, 2u);
    EXPECT_EQ(p.optional, 1);
    EXPECT_EQ(std::u16string(p.parameterText), u"Amount");
    ASSERT_EQ(RfcGetParameterDescByName(desc, u"TEXT", &p, &error), RFC_OK);
    EXPECT_EQ(p.type, RFCTYPE_CHAR);
    EXPECT_EQ(p.nucLength, 10u);
    EXPECT_EQ(p.ucLength, 20u);
    EXPECT_EQ(p.optional, 0);
    ASSERT_EQ(RfcGetParameterDescByName(desc, u"FIRST", &p, &error), RFC_OK);
    EXPECT_EQ(p.type, RFCTYPE_STRUCTURE);
    EXPECT_EQ(p.direction, RFC_EXPORT);
    ASSERT_EQ(RfcGetParameterDescByIndex(desc, 10, &p, &error), RFC_OK);
    EXPECT_EQ(std::u16string(p.name), u"ROWS");
    EXPECT_EQ(p.type, RFCTYPE_TABLE);
    EXPECT_EQ(p.direction, RFC_TABLES);
    EXPECT_EQ(RfcGetParameterDescByIndex(desc, 12, &p, &error), RFC_INVALID_PARAMETER);
    RFC_EXCEPTION_DESC exception{};
    EXPECT_EQ(RfcGetExceptionCount(desc, &count, &error), RFC_OK);
    EXPECT_EQ(count, 1u);
    ASSERT_EQ(RfcGetExceptionDescByIndex(desc, 0, &exception, &error), RFC_OK);
    EXPECT_EQ(std::u16string(exception.key), u"TOO_MANY");

    RFC_TYPE_DESC_HANDLE type = RfcGetTypeDesc(handle, u"ZSDKROW", &error);
    EXPECT_EQ(type, p.typeDescHandle);  // one description per system
    RFC_ABAP_NAME name{};
    EXPECT_EQ(RfcGetTypeName(type, name, &error), RFC_OK);
    EXPECT_EQ(std::u16string(name), u"ZSDKROW");
    EXPECT_EQ(RfcGetFieldCount(type, &count, &error), RFC_OK);
    EXPECT_EQ(count, 10u);
    RFC_FIELD_DESC f{};
    ASSERT_EQ(RfcGetFieldDescByName(type, u"SMALL", &f, &error), RFC_OK);
    EXPECT_EQ(f.type, RFCTYPE_INT2);
    EXPECT_EQ(f.nucOffset, 8u);  // after NAME(7) and FLAG(1)
    EXPECT_EQ(f.ucOffset, 16u);  // after NAME(14) and FLAG(1), aligned to 2
    ASSERT_EQ(RfcGetFieldDescByIndex(type, 0, &f, &error), RFC_OK);
    EXPECT_EQ(f.type, RFCTYPE_CHAR);
    EXPECT_EQ(f.nucLength, 7u);
    EXPECT_EQ(f.ucLength, 14u);
    const r3sim::StructureDef& row = system.Modules().Structures().Get("ZSDKROW");
    unsigned nuc = 0, uc = 0;
    EXPECT_EQ(RfcGetTypeLength(type, &nuc, &uc, &error), RFC_OK);
    EXPECT_EQ(nuc, row.length[r3sim::kWidth1]);
    EXPECT_EQ(uc, row.length[r3sim::kWidth2]);

    // A second connection to the same system asks for nothing again.
    RFC_CONNECTION_HANDLE other = Connect();
    EXPECT_EQ(RfcGetFunctionDesc(other, u"Z_SDK_ECHO", &error), desc);
    EXPECT_EQ(system.Counters().Snapshot().structureQueries["ZSDKROW"], 1u);

    EXPECT_EQ(RfcGetFunctionDesc(handle, u"Z_NOT_THERE", &error), nullptr);
    EXPECT_EQ(error.code, RFC_ABAP_EXCEPTION);
    EXPECT_EQ(error.group, ABAP_APPLICATION_FAILURE);
    EXPECT_EQ(Key(error), u"FU_NOT_FOUND");
    EXPECT_EQ(RfcPing(handle, &error), RFC_OK);  // still open
    RfcCloseConnection(handle, nullptr);
    RfcCloseConnection(other, nullptr);
}

TEST_F(SdkCall, ImportsExportsStructuresAndTablesTravelBothWays) {
    StartEcho();
    RFC_CONNECTION_HANDLE handle = Connect();
    const std::vector<std::u16string> v = EchoValues(handle);
    ASSERT_EQ(v.size(), 4u + 6 * 10);
    EXPECT_EQ(v[0], u"héllo");
    EXPECT_EQ(v[1], u"6");
    EXPECT_EQ(v[2], u"-123.45");
    EXPECT_EQ(v[3], u"0");  // UNUSED was switched off
    auto field = [&](size_t record, size_t f) { return v[4 + record * 10 + f]; };
    EXPECT_EQ(field(0, 0), u"Zoë");  // FIRST, the header echoed
    EXPECT_EQ(field(0, 3), u"42");
    EXPECT_EQ(field(0, 5), u"7.5");
    EXPECT_EQ(field(0, 7), u"00000000");  // initial DATE
    EXPECT_EQ(field(1, 0), u"B");         // the rows sent, reversed: row 0 is the last sent
    EXPECT_EQ(field(2, 0), u"A");
    EXPECT_EQ(field(2, 6), u"0000");  // initial NUM
    EXPECT_EQ(field(5, 0), u"Zoë 2");
    EXPECT_EQ(field(5, 1), u"2");
    EXPECT_EQ(field(5, 2), u"-2");
    EXPECT_EQ(field(5, 3), u"2000");
    EXPECT_EQ(field(5, 4), u"0.5");
    EXPECT_EQ(field(5, 5), u"-12.5");
    EXPECT_EQ(field(5, 6), u"0002");
    EXPECT_EQ(field(5, 7), u"20261209");
    EXPECT_EQ(field(5, 8), u"101500");
    EXPECT_EQ(field(5, 9), u"ABCD02");
    RfcCloseConnection(handle, nullptr);
}

TEST_F(SdkCall, RowsCountFromZeroAndEndWithMoveEof) {
    StartEcho();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    RFC_FUNCTION_HANDLE fn = NewEcho(handle);
    ASSERT_EQ(CallEcho(handle, fn, 4, error), RFC_OK) << Text(error.message);
    RFC_TABLE_HANDLE rows = nullptr;
    ASSERT_EQ(RfcGetTable(fn, u"ROWS", &rows, &error), RFC_OK);
    unsigned count = 0;
    EXPECT_EQ(RfcGetRowCount(rows, &count, &error), RFC_OK);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(RfcMoveTo(rows, 0, &error), RFC_OK);
    RFC_STRUCTURE_HANDLE row0 = RfcGetCurrentRow(rows, &error);
    EXPECT_EQ(StringOf(row0, u"NAME"), u"Zoë 0");
    EXPECT_EQ(RfcMoveTo(rows, 4, &error), RFC_TABLE_MOVE_EOF);
    EXPECT_EQ(error.code, RFC_TABLE_MOVE_EOF);
    EXPECT_EQ(RfcMoveTo(rows, 3, &error), RFC_OK);
    EXPECT_EQ(StringOf(RfcGetCurrentRow(rows, &error), u"NAME"), u"Zoë 3");
    EXPECT_EQ(RfcMoveToNextRow(rows, &error), RFC_TABLE_MOVE_EOF);
    EXPECT_EQ(StringOf(row0, u"NAME"), u"Zoë 0");  // a row handle keeps its row
    EXPECT_EQ(RfcMoveToFirstRow(rows, &error), RFC_OK);
    EXPECT_EQ(RfcMoveToNextRow(rows, &error), RFC_OK);
    EXPECT_EQ(StringOf(RfcGetCurrentRow(rows, &error), u"NAME"), u"Zoë 1");
    // A table the reply names is replaced, not appended to.
    ASSERT_EQ(CallEcho(handle, fn, 2, error), RFC_OK);
    EXPECT_EQ(RfcGetRowCount(rows, &count, &error), RFC_OK);
    EXPECT_EQ(count, 4u + 2u);  // the 4 sent, reversed, and 2 new
    EXPECT_EQ(RfcMoveTo(rows, 0, &error), RFC_OK);
    EXPECT_EQ(StringOf(RfcGetCurrentRow(rows, &error), u"NAME"), u"Zoë 3");
    EXPECT_EQ(RfcDeleteAllRows(rows, &error), RFC_OK);
    EXPECT_EQ(RfcGetCurrentRow(rows, &error), nullptr);
    EXPECT_EQ(error.code, RFC_TABLE_MOVE_EOF);
    RfcDestroyFunction(fn, nullptr);
    RfcCloseConnection(handle, nullptr);
}

TEST_F(SdkCall, ModuleExceptionIsKeyedByItsNameAndKeepsTheConnection) {
    StartEcho();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    RFC_FUNCTION_HANDLE fn = NewEcho(handle);
    EXPECT_EQ(CallEcho(handle, fn, 5000, error), RFC_ABAP_EXCEPTION);
    EXPECT_EQ(error.group, ABAP_APPLICATION_FAILURE);
    EXPECT_EQ(Key(error), u"TOO_MANY");
    EXPECT_NE(Text(error.message).find("1000"), std::string::npos);
    int valid = 0;
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_OK);
    EXPECT_EQ(valid, 1);
    EXPECT_EQ(CallEcho(handle, fn, 1, error), RFC_OK);
    RfcDestroyFunction(fn, nullptr);
    RfcCloseConnection(handle, nullptr);
}

TEST_F(SdkCall, SystemFailureClosesTheConnection) {
    StartEcho();
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    RFC_FUNCTION_HANDLE fn = NewEcho(handle);
    EXPECT_EQ(CallEcho(handle, fn, -1, error), RFC_ABAP_RUNTIME_FAILURE);
    EXPECT_EQ(error.group, ABAP_RUNTIME_FAILURE);
    EXPECT_EQ(Key(error), u"RFC_ABAP_RUNTIME_FAILURE");
    EXPECT_NE(Text(error.message).find("terminated"), std::string::npos);
    int valid = 1;
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(RfcInvoke(handle, fn, &error), RFC_INVALID_HANDLE);
    RfcDestroyFunction(fn, nullptr);
}

TEST_F(SdkCall, ALostConnectionIsACommunicationFailureAndClosesIt) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec drop;
    drop.module = "Z_SDK_ECHO";
    drop.action = r3sim::FaultAction::kDrop;
    scenario.faults.push_back(drop);
    StartEcho(scenario);
    RFC_CONNECTION_HANDLE handle = Connect();
    RFC_ERROR_INFO error{};
    RFC_FUNCTION_HANDLE fn = NewEcho(handle);
    EXPECT_EQ(CallEcho(handle, fn, 1, error), RFC_COMMUNICATION_FAILURE);
    EXPECT_EQ(error.group, COMMUNICATION_FAILURE);
    EXPECT_EQ(Key(error), u"RFC_COMMUNICATION_FAILURE");
    int valid = 1;
    EXPECT_EQ(RfcIsConnectionHandleValid(handle, &valid, &error), RFC_INVALID_HANDLE);
    EXPECT_EQ(valid, 0);
    // The descriptions stay usable with a new connection.
    RFC_CONNECTION_HANDLE again = Connect();
    EXPECT_EQ(RfcPing(again, &error), RFC_OK);
    RfcDestroyFunction(fn, nullptr);
    RfcCloseConnection(again, nullptr);
}

TEST_F(SdkCall, ThreadsShareConnectionsAndTheRepository) {
    auto& system = StartEcho();
    RFC_CONNECTION_HANDLE connections[] = {Connect(), Connect()};
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            RFC_CONNECTION_HANDLE handle = connections[t % 2];
            for (int i = 0; i < 10; ++i) {
                RFC_ERROR_INFO error{};
                RFC_FUNCTION_DESC_HANDLE desc = RfcGetFunctionDesc(handle, u"Z_SDK_ECHO", &error);
                RFC_FUNCTION_HANDLE fn = RfcCreateFunction(desc, &error);
                RFC_INT doubled = 0;
                if (RfcSetInt(fn, u"COUNT", 20 + t, &error) == RFC_OK &&
                    RfcInvoke(handle, fn, &error) == RFC_OK &&
                    RfcGetInt(fn, u"DOUBLED", &doubled, &error) == RFC_OK && doubled == 40 + 2 * t)
                    ++good;
                RfcDestroyFunction(fn, &error);
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(good, 40);
    EXPECT_EQ(system.Counters().Snapshot().structureQueries["ZSDKROW"], 1u);
    EXPECT_EQ(system.Counters().Calls("Z_SDK_ECHO"), 40u);
    for (RFC_CONNECTION_HANDLE handle : connections) RfcCloseConnection(handle, nullptr);
}

TEST_F(SdkCall, NonUnicode46CSystemGivesTheSameValues) {
    StartEcho();
    RFC_CONNECTION_HANDLE unicode = Connect();
    const std::vector<std::u16string> expected = EchoValues(unicode);
    RfcCloseConnection(unicode, nullptr);
    system_->Stop();

    StartEcho(r3sim::LoadScenarioFile(R3SIM_SCENARIO_DIR "/nonunicode-46c.json"));
    RFC_CONNECTION_HANDLE narrow = Connect(Collector(u"p46ci", u"00", u"300"));
    RFC_ATTRIBUTES a{};
    ASSERT_EQ(RfcGetConnectionAttributes(narrow, &a, nullptr), RFC_OK);
    EXPECT_EQ(std::u16string(a.partnerBytesPerChar), u"1");
    EXPECT_EQ(std::u16string(a.partnerRel), u"46C");
    EXPECT_EQ(EchoValues(narrow), expected);
    RfcCloseConnection(narrow, nullptr);
}

}  // namespace
}  // namespace nwsimtest
