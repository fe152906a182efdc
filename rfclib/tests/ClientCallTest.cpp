// Function-module calls against the simulated system: values in and out,
// exceptions, unknown modules, tables in both directions, and call order.
#include <cstring>

#include "LiveSystem.h"

namespace rfctest {
namespace {

using ClientCall = LiveSystem;

RFC_PARAMETER Param(const char16_t* name, void* addr, unsigned leng,
                    RFC_TYPEHANDLE type = RFCTYPE_CHAR) {
    return {name, static_cast<unsigned>(std::char_traits<char16_t>::length(name)), addr, leng,
            type};
}

std::u16string Chars(const std::vector<RFC_CHAR>& buffer) {
    return std::u16string(buffer.begin(), buffer.end());
}

// Calls OBJECT_EXISTS or AUTHORITY_CHECK style modules and returns the rc.
RFC_RC CallWithText(RFC_HANDLE handle, const char16_t* function,
                    std::vector<std::pair<const char16_t*, std::u16string>> values,
                    RFC_CHAR** exception) {
    std::vector<RFC_PARAMETER> exporting;
    for (auto& [name, value] : values)
        exporting.push_back(Param(name, value.data(), static_cast<unsigned>(value.size() * 2)));
    exporting.push_back({});
    return RfcCallReceiveU(handle, function, exporting.data(), nullptr, nullptr, exception);
}

TEST_F(ClientCall, SystemParametersArriveThroughCallAndReceive) {
    auto& system = Start();
    const RFC_HANDLE handle = Open();
    ASSERT_EQ(RfcCallU(handle, u"RFC_GET_SAP_SYSTEM_PARAMETERS", nullptr, nullptr), RFC_OK);
    std::vector<RFC_CHAR> dateFormat(30, u'#'), decimal(1), language(1), release(4), user(12);
    RFC_PARAMETER importing[] = {Param(u"DATE_FORMAT", dateFormat.data(), 60),
                                 Param(u"DECIMAL_SIGN", decimal.data(), 2),
                                 Param(u"LANGUAGE", language.data(), 2),
                                 Param(u"SAP_SYSTEM_RELEASE", release.data(), 8),
                                 Param(u"USER_NAME", user.data(), 24),
                                 {}};
    RFC_CHAR* exception = nullptr;
    ASSERT_EQ(RfcReceiveU(handle, importing, nullptr, &exception), RFC_OK);
    ASSERT_NE(exception, nullptr);
    EXPECT_EQ(exception[0], 0);
    EXPECT_EQ(Chars(dateFormat), Field(u"DD.MM.YYYY", 30));
    EXPECT_EQ(Chars(decimal), u",");
    EXPECT_EQ(Chars(language), u"E");
    EXPECT_EQ(Chars(release), u"700 ");
    EXPECT_EQ(Chars(user), Field(u"COLLECTOR", 12));

    std::vector<RFC_CHAR> dbsys(3), dbrel(7);
    RFC_PARAMETER db[] = {
        Param(u"DBSYSTEM", dbsys.data(), 6), Param(u"RELEASE", dbrel.data(), 14), {}};
    ASSERT_EQ(RfcCallReceiveU(handle, u"DB_DBSYS_RELEASE", nullptr, db, nullptr, &exception),
              RFC_OK);
    EXPECT_EQ(Chars(dbsys), u"ORA");
    EXPECT_EQ(Chars(dbrel), u"10.2.0 ");
    RfcCloseU(handle);

    EXPECT_EQ(system.Counters().Calls("RFC_GET_SAP_SYSTEM_PARAMETERS"), 1u);
    EXPECT_EQ(system.Counters().Calls("qashost1_QAS_00", "DB_DBSYS_RELEASE"), 1u);
    EXPECT_EQ(system.Counters().Calls("qashost1_QAS_01", "DB_DBSYS_RELEASE"), 0u);
    EXPECT_EQ(system.Counters().Calls("RFC_PING"), 0u);
}

TEST_F(ClientCall, ModuleExceptionsReturn2WithTheNameAsKey) {
    Start();
    const RFC_HANDLE handle = Open();
    RFC_CHAR* exception = nullptr;
    EXPECT_EQ(
        CallWithText(handle, u"OBJECT_EXISTS", {{u"OBJECT", Field(u"S_RFC", 10)}}, &exception),
        RFC_EXCEPTION);
    EXPECT_EQ(std::u16string(exception), u"OBJECT_EXISTS");
    RFC_ERROR_INFO_EX error = LastError();
    EXPECT_EQ(error.group, RFC_ERROR_APPLICATION_EXCEPTION);
    EXPECT_EQ(Key(error), u"OBJECT_EXISTS");

    EXPECT_EQ(
        CallWithText(handle, u"OBJECT_EXISTS", {{u"OBJECT", Field(u"S_LOG_COM", 10)}}, &exception),
        RFC_EXCEPTION);
    EXPECT_EQ(Key(LastError()), u"OBJECT_NOT_FOUND");
    // An exception leaves the connection usable.
    EXPECT_EQ(RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception), RFC_OK);
    RfcCloseU(handle);
}

TEST_F(ClientCall, AuthorityCheckRefusesOnlyTheMissingAuthorisations) {
    Start();
    auto check = [&](RFC_HANDLE handle, std::u16string_view user, std::u16string_view group) {
        RFC_CHAR* exception = nullptr;
        const RFC_RC rc = CallWithText(handle, u"AUTHORITY_CHECK",
                                       {{u"USER", Field(user, 12)},
                                        {u"OBJECT", Field(u"S_RFC", 10)},
                                        {u"FIELD1", Field(u"RFC_TYPE", 10)},
                                        {u"VALUE1", Field(u"FUGR", 40)},
                                        {u"FIELD2", Field(u"RFC_NAME", 10)},
                                        {u"VALUE2", Field(group, 40)},
                                        {u"FIELD3", Field(u"ACTVT", 10)},
                                        {u"VALUE3", Field(u"16", 40)}},
                                       &exception);
        EXPECT_EQ(rc, RFC_EXCEPTION);
        return std::u16string(exception);
    };
    const RFC_HANDLE collector = Open();
    EXPECT_EQ(check(collector, u"COLLECTOR", u"THFB"), u"USER_IS_AUTHORIZED");
    RfcCloseU(collector);
    const RFC_HANDLE limited = Open(Logon(u"qashost1", u"00", u"LIMITED", u"LIMITED"));
    EXPECT_EQ(check(limited, u"LIMITED", u"THFB"), u"USER_IS_NOT_AUTHORIZED");
    EXPECT_NE(Message(LastError()).find("S_RFC"), std::string::npos);
    EXPECT_EQ(check(limited, u"LIMITED", u"SYST"), u"USER_IS_AUTHORIZED");
    RfcCloseU(limited);
}

TEST_F(ClientCall, UnknownModuleIsASystemFailureAndTheHandleStays) {
    Start();
    const RFC_HANDLE handle = Open();
    RFC_CHAR* exception = nullptr;
    EXPECT_EQ(RfcCallReceiveU(handle, u"Z_DOES_NOT_EXIST", nullptr, nullptr, nullptr, &exception),
              RFC_SYS_EXCEPTION);
    const RFC_ERROR_INFO_EX error = LastError();
    EXPECT_EQ(error.group, RFC_ERROR_SYSTEM_FAILURE);
    EXPECT_EQ(Key(error), u"FU_NOT_FOUND");
    EXPECT_NE(Message(error).find("Z_DOES_NOT_EXIST"), std::string::npos);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_OK);
    RfcCloseU(handle);
}

TEST_F(ClientCall, TablesTravelBothWaysInOneTransfer) {
    auto& system = Prepare();
    // Reverses the rows of ROWS, reports their number, and offers a table
    // EXTRA that only a caller listing it receives.
    system.Modules().Structures().Add(r3sim::Structure("ZROW8", {r3sim::Bytes("ROW", 8)}));
    system.Modules().Structures().Add(r3sim::Structure("ZROW2", {r3sim::Bytes("ROW", 2)}));
    const r3sim::Interface rowsInterface = {r3sim::Export(r3sim::Int("COUNT")),
                                            r3sim::Table("ROWS", "ZROW8"),
                                            r3sim::Table("EXTRA", "ZROW2")};
    system.Modules().Register("Z_REVERSE_ROWS", rowsInterface, [](r3sim::CallContext& call) {
        const rfcwire::TableData* rows = call.Table(u"ROWS");
        rfcwire::TableData reversed = *rows;
        for (uint32_t r = 0; r < rows->rowCount; ++r)
            std::memcpy(reversed.rows.data() + r * rows->rowLength,
                        rows->rows.data() + (rows->rowCount - 1 - r) * rows->rowLength,
                        rows->rowLength);
        call.ReturnTable(reversed);
        call.ReturnTable({u"EXTRA", RFCTYPE_BYTE, {}, 2, 1, {'x', 0}});
        std::vector<uint8_t> count(4);
        const int32_t n = static_cast<int32_t>(rows->rowCount);
        std::memcpy(count.data(), &n, 4);
        call.ExportValue({u"COUNT", RFCTYPE_INT, {}, count});
    });
    StartPrepared();
    const RFC_HANDLE handle = Open();
    ITAB_H rows = ItCreateU(u"ROWS", 8, 0, 0);
    ITAB_H extra = ItCreateU(u"EXTRA", 2, 0, 0);
    for (int i = 0; i < 500; ++i) {
        auto* row = static_cast<uint8_t*>(ItAppLineU(rows));
        std::memcpy(row, &i, sizeof i);
    }
    int32_t count = -1;
    RFC_PARAMETER importing[] = {Param(u"COUNT", &count, 4, RFCTYPE_INT), {}};
    RFC_TABLE tables[] = {{u"ROWS", 4, RFCTYPE_BYTE, 8, 0, rows, 0}, {}};
    RFC_CHAR* exception = nullptr;
    ASSERT_EQ(RfcCallReceiveU(handle, u"Z_REVERSE_ROWS", nullptr, importing, tables, &exception),
              RFC_OK);
    EXPECT_EQ(count, 500);
    ASSERT_EQ(ItFillU(rows), 500u);
    int first = -1, last = -1;
    std::memcpy(&first, ItGetLineU(rows, 1), sizeof first);
    std::memcpy(&last, ItGetLineU(rows, 500), sizeof last);
    EXPECT_EQ(first, 499);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(ItFillU(extra), 0u);  // not listed, not transferred

    RFC_TABLE both[] = {
        {u"ROWS", 4, RFCTYPE_BYTE, 8, 0, rows, 0}, {u"EXTRA", 5, RFCTYPE_BYTE, 2, 0, extra, 0}, {}};
    ASSERT_EQ(RfcCallU(handle, u"Z_REVERSE_ROWS", nullptr, both), RFC_OK);
    ASSERT_EQ(RfcReceiveU(handle, nullptr, both, &exception), RFC_OK);
    EXPECT_EQ(ItFillU(extra), 1u);
    std::memcpy(&first, ItGetLineU(rows, 1), sizeof first);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(system.Counters().Calls("Z_REVERSE_ROWS"), 2u);
    ItDeleteU(rows);
    ItDeleteU(extra);
    RfcCloseU(handle);
}

TEST_F(ClientCall, CallAndReceiveMustAlternate) {
    Start();
    const RFC_HANDLE handle = Open();
    RFC_CHAR* exception = nullptr;
    EXPECT_EQ(RfcReceiveU(handle, nullptr, nullptr, &exception), RFC_FAILURE);
    EXPECT_EQ(LastError().group, RFC_ERROR_PROGRAM);
    ASSERT_EQ(RfcCallU(handle, u"RFC_PING", nullptr, nullptr), RFC_OK);
    EXPECT_EQ(RfcCallU(handle, u"RFC_PING", nullptr, nullptr), RFC_FAILURE);
    EXPECT_EQ(RfcReceiveU(handle, nullptr, nullptr, &exception), RFC_OK);
    // A table without an internal table is refused before anything is sent.
    RFC_TABLE bad[] = {{u"ROWS", 4, RFCTYPE_CHAR, 8, 0, nullptr, 0}, {}};
    EXPECT_EQ(RfcCallU(handle, u"RFC_PING", nullptr, bad), RFC_FAILURE);
    EXPECT_EQ(RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception), RFC_OK);
    // Calls on handles that are not open.
    EXPECT_EQ(RfcCallU(RFC_HANDLE_NULL, u"RFC_PING", nullptr, nullptr), RFC_NOT_OPEN);
    RfcCloseU(handle);
    EXPECT_EQ(RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception),
              RFC_INVALID_HANDLE);
}

TEST_F(ClientCall, InterfaceQueriesReportWhatTheSystemDoesNotServe) {
    Start();
    const RFC_HANDLE handle = Open();
    ITAB_H params = ItCreateU(u"PARAMS", sizeof(RFC_U_FUNINT), 0, 0);
    RFC_CHAR* exception = nullptr;
    EXPECT_EQ(RfcGetFunctionInfoAsTableU(handle, u"Z_NOT_IN_THIS_SYSTEM", params, &exception), RFC_FAILURE);
    EXPECT_EQ(std::u16string(exception), u"FU_NOT_FOUND");
    EXPECT_EQ(LastError().group, RFC_ERROR_SYSTEM_FAILURE);
    // The connection stays usable.
    EXPECT_EQ(RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception), RFC_OK);
    ItDeleteU(params);
    RfcCloseU(handle);
}

}  // namespace
}  // namespace rfctest
