// The call base against the simulated system: interfaces and structures read
// at run time, every value type moved both ways, the same results from a
// Unicode and a non-Unicode system, tables left out of the transfer, and a
// raised exception.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/TextCodec.h"
#include "r3sim/Record.h"
#include "rfc/BaseRfc.h"
#include "rfc/RfcException.h"
#include "support/SimulatorSession.h"

namespace {

using namespace r3sim;

constexpr char kModule[] = "Z_QUORVEL_TYPES";

// Echoes its imports into exports, a structure and two tables of the same
// row structure; raises RAISED on request.
void RegisterTypesModule(ModuleRegistry& registry) {
    registry.Structures().Add(Structure(
        "ZTYPES",
        {Char("TEXT", 10), Num("DIGITS", 6), Date("DAY"), Time("CLOCK"), Packed("AMOUNT", 4, 2),
         Bytes("RAW", 4), Float("RATIO"), Int("COUNT"), Int2("SHORT"), Int1("TINY")}));
    registry.Register(
        kModule,
        {Import(Char("TEXT", 10)),
         Import(Num("DIGITS", 6)).Optional(),
         Import(Packed("AMOUNT", 4, 2)),
         Import(Bytes("RAW", 4)),
         Import(Float("RATIO")),
         Import(Int("COUNT")),
         Import(Int2("SHORT")),
         Import(Int1("TINY")),
         Import(Char("FLAG", 1)).Default("'X'"),
         Import(Char("MODE", 4)).Default("SPACE"),
         Import(Int("ROWS")).Default("3"),
         Import(Char("RAISE", 1)).Optional(),
         Export(Char("TEXT_BACK", 10)),
         Export(Num("DIGITS_BACK", 6)),
         Export(Packed("AMOUNT_BACK", 4, 2)),
         Export(Float("RATIO_BACK")),
         Export(Int("COUNT_BACK")),
         Export(Int2("SHORT_BACK")),
         Export(Int1("TINY_BACK")),
         Export(Char("FLAG_BACK", 1)),
         Export(Char("MODE_BACK", 4)),
         ExportStructure("RECORD", "ZTYPES"),
         Table("ROWS_A", "ZTYPES"),
         Table("ROWS_B", "ZTYPES"),
         Exception("RAISED")},
        [](CallContext& call) {
            if (call.ImportText(u"RAISE") == "X") return call.Raise("RAISED", "raised on request");
            call.Export(u"TEXT_BACK", call.ImportText(u"TEXT"));
            call.Export(u"DIGITS_BACK", call.ImportText(u"DIGITS"));
            call.Export(u"AMOUNT_BACK", call.ImportText(u"AMOUNT"));
            call.Export(u"RATIO_BACK", call.ImportText(u"RATIO"));
            call.Export(u"COUNT_BACK", call.ImportInt(u"COUNT"));
            call.Export(u"SHORT_BACK", call.ImportInt(u"SHORT"));
            call.Export(u"TINY_BACK", call.ImportInt(u"TINY"));
            call.Export(u"FLAG_BACK", call.ImportText(u"FLAG"));
            call.Export(u"MODE_BACK", call.ImportText(u"MODE"));
            Record record = call.NewRecord(u"RECORD");
            record.SetText("TEXT", call.ImportText(u"TEXT")).SetText("DAY", "20040229");
            call.ExportRecord(u"RECORD", record);
            for (int64_t i = 1; i <= call.ImportInt(u"ROWS"); ++i) {
                Record row = call.NewRecord(u"ROWS_A");
                const uint8_t raw[4] = {0xDE, 0xAD, static_cast<uint8_t>(i), 0xFF};
                row.SetText("TEXT", "Zeile " + std::to_string(i) + " \xC3\xBC\xE2\x82\xAC")
                    .SetInt("DIGITS", i * 7)
                    .SetText("DAY", "20261207")
                    .SetText("CLOCK", "235959")
                    .SetFloat("AMOUNT", -1.25 * static_cast<double>(i))
                    .SetBytes("RAW", raw)
                    .SetFloat("RATIO", static_cast<double>(i) / 4)
                    .SetInt("COUNT", 100000 * i)
                    .SetInt("SHORT", -i)
                    .SetInt("TINY", 200 + i);
                call.AddRow(u"ROWS_A", row);
                call.AddRow(u"ROWS_B", row);
            }
        });
}

class TypesCall : public CBaseRfc {
  public:
    TypesCall() : CBaseRfc(u"Z_QUORVEL_TYPES") {}
    bool wantRowsB = true;

  protected:
    bool IsParameterWanted(std::u16string_view name, std::u16string_view cls) override {
        if (cls == u"T" && name == u"ROWS_B") return wantRowsB;
        return CBaseRfc::IsParameterWanted(name, cls);
    }
};

Scenario WithUnicode(bool unicode) {
    Scenario s = DefaultScenario();
    s.unicode = unicode;
    if (!unicode) s.release = s.partnerRelease = s.kernelRelease = "46C";
    return s;
}

// Every value the call hands back, as one text to compare between systems.
std::u16string Transcript(TypesCall& call) {
    std::u16string out;
    auto add = [&out](std::u16string_view label, const std::u16string& value) {
        out += label;
        out += u'=';
        out += value;
        out += u'\n';
    };
    std::u16string text;
    call.GetExport(u"E_TEXT_BACK", text);
    add(u"text", text);
    call.GetExport(u"E_DIGITS_BACK", text);
    add(u"digits", text);
    call.GetExport(u"E_AMOUNT_BACK", text);
    add(u"amount", text);
    double ratio = 0;
    call.GetExport(u"E_RATIO_BACK", ratio);
    add(u"ratio", platform::FromUtf8(std::to_string(ratio)));
    int32_t count = 0, shortValue = 0, tiny = 0;
    call.GetExport(u"E_COUNT_BACK", count);
    call.GetExport(u"E_SHORT_BACK", shortValue);
    call.GetExport(u"E_TINY_BACK", tiny);
    add(u"ints", platform::FromUtf8(std::to_string(count) + "," + std::to_string(shortValue) + "," +
                                    std::to_string(tiny)));
    call.GetExport(u"E_FLAG_BACK", text);
    add(u"flag", text);
    call.GetExport(u"E_MODE_BACK", text);
    add(u"mode", u"[" + text + u"]");
    EXPECT_TRUE(call.GetExportField(u"E_RECORD", u"DAY", text));
    add(u"record.day", text);
    EXPECT_TRUE(call.GetExportField(u"E_RECORD", u"TEXT", text));
    add(u"record.text", text);
    for (int i = 1; i <= call.GetTableRowCount(u"ROWS_A"); ++i) {
        const void* row = call.GetTableRow(u"ROWS_A", i);
        for (const char16_t* field : {u"TEXT", u"DIGITS", u"DAY", u"CLOCK", u"AMOUNT", u"RAW",
                                      u"RATIO", u"COUNT", u"SHORT", u"TINY"}) {
            EXPECT_TRUE(call.GetTableField(u"T_ROWS_A", field, row, text))
                << platform::ToUtf8(field);
            add(field, text);
        }
        double amount = 0;
        call.GetTableField(u"T_ROWS_A", u"AMOUNT", row, amount);
        add(u"amount as number", platform::FromUtf8(std::to_string(amount)));
    }
    return out;
}

std::u16string RunTypesCall(bool unicode, int rows = 3) {
    SimulatorSession sim(WithUnicode(unicode), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.PrepareInterface(connection);
    call.SetImport(u"I_TEXT", u"Gr\u00fc\u00dfe \u20ac");
    call.SetImport(u"I_AMOUNT", -12.5);
    call.SetImport(u"I_RAW", u"0A0B0C0D");
    call.SetImport(u"I_RATIO", 0.125);
    call.SetImport(u"I_COUNT", int32_t{-70000});
    call.SetImport(u"I_SHORT", int32_t{-300});
    call.SetImport(u"I_TINY", int32_t{300});  // outside 0..255: stored as 0
    call.SetImport(u"I_ROWS", int32_t{rows});
    call.CallFunctionModule(connection);
    return Transcript(call);
}

TEST(DynamicInterfaceSimulatorTest, EveryTypeTravelsBothWays) {
    const std::u16string transcript = RunTypesCall(true);
    for (const char16_t* expected :
         {u"text=Gr\u00fc\u00dfe \u20ac\n", u"digits=000000\n", u"amount=-12.50\n",
          u"ratio=0.125000\n", u"ints=-70000,-300,0\n", u"flag=X\n", u"mode=[]\n",
          u"record.day=20040229\n", u"TEXT=Zeile 2 \u00fc\u20ac\n", u"DIGITS=000021\n",
          u"AMOUNT=-3.75\n", u"RAW=DEAD03FF\n", u"RATIO=0.750000\n", u"COUNT=300000\n",
          u"SHORT=-3\n", u"TINY=203\n", u"CLOCK=235959\n", u"amount as number=-2.500000\n"})
        EXPECT_NE(transcript.find(expected), std::u16string::npos)
            << platform::ToUtf8(expected) << " not in\n"
            << platform::ToUtf8(transcript);
}

TEST(DynamicInterfaceSimulatorTest, UnicodeAndNonUnicodeSystemsGiveTheSameValues) {
    const std::u16string unicode = RunTypesCall(true, 50);
    const std::u16string narrow = RunTypesCall(false, 50);
    EXPECT_EQ(platform::ToUtf8(unicode), platform::ToUtf8(narrow));
}

TEST(DynamicInterfaceSimulatorTest, InterfaceAndStructuresAreReadOncePerStructure) {
    SimulatorSession sim(DefaultScenario(), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.PrepareInterface(connection);
    EXPECT_EQ(call.ImportCount(), 12);
    EXPECT_EQ(call.ExportCount(), 10);
    EXPECT_EQ(call.TableCount(), 2);
    // ZTYPES serves the export and both tables: one definition, one installation.
    EXPECT_EQ(call.StructureCount(), 1u);
    call.CallFunctionModule(connection);
    call.CallFunctionModule(connection);
    EXPECT_EQ(sim.System().Counters().Calls(kModule), 2u);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_B"), 3);
}

TEST(DynamicInterfaceSimulatorTest, AnUnwantedTableIsNotTransferred) {
    SimulatorSession sim(DefaultScenario(), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.wantRowsB = false;
    call.PrepareInterface(connection);
    call.SetImport(u"I_ROWS", int32_t{1000});
    call.CallFunctionModule(connection);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 1000);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_B"), 0);
    EXPECT_EQ(call.GetTableRow(u"ROWS_B", 1), nullptr);
    EXPECT_EQ(sim.System().Counters().RowsSent(kModule, "ROWS_A"), 1000u);
    EXPECT_FALSE(sim.System().Counters().TableSent(kModule, "ROWS_B"));
}

// Rows freed for the next call, or given back after a call made once: the
// tables are empty either way, and the next call fills them anew.
TEST(DynamicInterfaceSimulatorTest, FreedAndGivenBackTablesAreEmptyAndTheNextCallFillsThem) {
    SimulatorSession sim(DefaultScenario(), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.PrepareInterface(connection);
    call.SetImport(u"I_ROWS", int32_t{1000});
    call.CallFunctionModule(connection);
    ASSERT_EQ(call.GetTableRowCount(u"ROWS_A"), 1000);
    const int rowsB = call.GetTableRowCount(u"ROWS_B");
    ASSERT_GT(rowsB, 0);
    call.FreeTables();
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 0);
    EXPECT_EQ(call.GetTableRow(u"ROWS_A", 1), nullptr);
    call.CallFunctionModule(connection);
    ASSERT_EQ(call.GetTableRowCount(u"ROWS_A"), 1000);
    call.GiveBackTables();
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 0);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_B"), 0);
    EXPECT_EQ(call.GetTableRow(u"ROWS_A", 1), nullptr);
    call.CallFunctionModule(connection);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 1000);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_B"), rowsB);
    EXPECT_EQ(sim.System().Counters().Calls(kModule), 3u);
}

TEST(DynamicInterfaceSimulatorTest, ARaisedExceptionNamesTheReceiveStep) {
    SimulatorSession sim(DefaultScenario(), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.PrepareInterface(connection);
    call.SetImport(u"I_RAISE", u"X");
    try {
        call.CallFunctionModule(connection);
        FAIL() << "no exception";
    } catch (const CRfcException& e) {
        const std::u16string text = e.ReportText();
        EXPECT_NE(text.find(u"CBaseRfc::CallFunctionModule - RfcReceive"), std::u16string::npos)
            << platform::ToUtf8(text);
        EXPECT_NE(text.find(u"Z_QUORVEL_TYPES"), std::u16string::npos) << platform::ToUtf8(text);
    }
    // The connection stays usable for the next call.
    call.SetImport(u"I_RAISE", u" ");
    call.CallFunctionModule(connection);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 3);
}

TEST(DynamicInterfaceSimulatorTest, UnknownModuleOrStructureFailsThePreparation) {
    SimulatorSession sim;
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    CBaseRfc unknown(u"Z_NOT_THERE");
    try {
        unknown.PrepareInterface(connection);
        FAIL() << "prepared an unknown module";
    } catch (const CRfcException& e) {
        EXPECT_NE(
            e.ReportText().find(
                u"CRfcGetFunctionInterface::GetFunctionInterface - RfcGetFunctionInfoAsTable"),
            std::u16string::npos)
            << platform::ToUtf8(e.ReportText());
    }
    EXPECT_FALSE(unknown.IsPrepared());
}

// A structure query that fails (a timed-out read, a dropped connection, a
// refused definition) leaves no half-built interface: the next call on the
// same object prepares it again and goes through.
TEST(DynamicInterfaceSimulatorTest, AFailedPreparationIsUndoneAndTheNextCallPreparesAgain) {
    Scenario scenario = DefaultScenario();
    FaultSpec once;
    once.structure = "ZTYPES";
    once.action = FaultAction::kFail;
    once.times = 1;
    scenario.faults.push_back(once);
    SimulatorSession sim(scenario, 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    EXPECT_THROW(call.CallFunctionModule(connection), CRfcException);
    EXPECT_FALSE(call.IsPrepared());
    EXPECT_EQ(call.TableCount(), 0);
    EXPECT_EQ(call.StructureCount(), 0u);
    EXPECT_EQ(sim.System().Counters().Calls(kModule), 0u);

    call.CallFunctionModule(connection);
    EXPECT_TRUE(call.IsPrepared());
    EXPECT_EQ(sim.System().Counters().Calls(kModule), 1u);
    EXPECT_EQ(call.GetTableRowCount(u"ROWS_A"), 3);
    std::u16string day;
    EXPECT_TRUE(call.GetExportField(u"E_RECORD", u"DAY", day));
    EXPECT_EQ(day, u"20040229");
}

// A packed number that does not convert is an error of the call that sets
// it, and the parameter never keeps the previous value for the next send.
TEST(DynamicInterfaceSimulatorTest, APackedValueThatDoesNotConvertFailsAndIsNotSent) {
    SimulatorSession sim(DefaultScenario(), 0, RegisterTypesModule);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    TypesCall call;
    call.PrepareInterface(connection);
    call.SetImport(u"I_AMOUNT", -12.5);
    try {
        call.SetImport(u"I_AMOUNT", u"12A.5");
        FAIL() << "a value that is no number was taken";
    } catch (const CRfcException& e) {
        EXPECT_NE(e.ReportText().find(u"RfcConvertCharToBcd"), std::u16string::npos)
            << platform::ToUtf8(e.ReportText());
        EXPECT_NE(e.ReportText().find(u"I_AMOUNT"), std::u16string::npos);
    }
    call.CallFunctionModule(connection);
    std::u16string amount;
    call.GetExport(u"E_AMOUNT_BACK", amount);
    EXPECT_EQ(amount, u"0.00");
    EXPECT_THROW(call.SetImportField(u"E_RECORD", u"AMOUNT", std::u16string_view(u"x")),
                 CRfcException);
}

// Lengths the partner gives are bounded before they size a buffer: a
// parameter or a record beyond the limit is refused with an RFC error that
// names it, never with an allocation failure.
TEST(DynamicInterfaceSimulatorTest, HostileLengthsAreRefusedByName) {
    const auto hostile = [](ModuleRegistry& registry) {
        registry.Structures().Add(Structure("ZHUGE", {Char("TEXT", 300000)}));
        registry.Register("Z_QUORVEL_LONG_PARAMETER", {Import(Char("TEXT", 600000))},
                          [](CallContext&) {});
        registry.Register("Z_QUORVEL_LONG_RECORD", {Table("ROWS", "ZHUGE")}, [](CallContext&) {});
    };
    SimulatorSession sim(DefaultScenario(), 0, hostile);
    CRfcConnection connection;
    SimulatorSession::LogOn(connection);
    connection.CallRfcOpen();
    for (const auto& [module, expected] :
         {std::pair{u"Z_QUORVEL_LONG_PARAMETER", u"parameter TEXT of 1200000 bytes"},
          std::pair{u"Z_QUORVEL_LONG_RECORD", u"ZHUGE: record of 600000 bytes"}}) {
        CBaseRfc call(module);
        try {
            call.PrepareInterface(connection);
            FAIL() << platform::ToUtf8(module) << " prepared";
        } catch (const CRfcException& e) {
            EXPECT_NE(e.ReportText().find(expected), std::u16string::npos)
                << platform::ToUtf8(e.ReportText());
            EXPECT_NE(e.ReportText().find(u"over the limit"), std::u16string::npos);
        }
        EXPECT_FALSE(call.IsPrepared());
    }
}

TEST(DynamicInterfaceSimulatorTest, SystemInfoAndServerListThroughTheirInterfaces) {
    for (bool unicode : {true, false}) {
        SimulatorSession sim(WithUnicode(unicode));
        CRfcConnection connection;
        SimulatorSession::LogOn(connection);
        connection.CallRfcOpen();
        CBaseRfc info(u"RFC_SYSTEM_INFO");
        info.PrepareInterface(connection);
        info.CallFunctionModule(connection);
        std::u16string sysid, opsys;
        EXPECT_TRUE(info.GetExportField(u"E_RFCSI_EXPORT", u"RFCSYSID", sysid));
        EXPECT_TRUE(info.GetExportField(u"E_RFCSI_EXPORT", u"RFCOPSYS", opsys));
        EXPECT_EQ(sysid, u"QAS");
        EXPECT_EQ(opsys, u"Linux");

        CBaseRfc list(u"TH_SERVER_LIST");
        list.PrepareInterface(connection);
        list.CallFunctionModule(connection);
        ASSERT_EQ(list.GetTableRowCount(u"LIST"), 3);
        std::u16string name;
        uint8_t types = 0;
        const void* row = list.GetTableRow(u"LIST", 1);
        EXPECT_TRUE(list.GetTableField(u"T_LIST", u"NAME", row, name));
        EXPECT_TRUE(list.GetTableField(u"T_LIST", u"MSGTYPES", row, &types, 1));
        EXPECT_EQ(name, u"qashost1_QAS_00");
        EXPECT_EQ(types, 0x3F);
    }
}

}  // namespace
