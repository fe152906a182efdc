// Rows per second for a table of 100,000 rows of 177 bytes that a non-Unicode
// system sends in one call, read back row by row through GetTableRow and
// fields resolved once (and, apart, through GetTableField by name); beside
// it the raw rate of moving the same bytes over a loopback TCP connection,
// the floor the call stack adds its cost to. The same table through SAP's
// NetWeaver RFC library (our implementation of its interface over the same
// protocol), and the NetWeaver backend's own share: rebuilding the rows
// field by field from the library's table.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "client/TypeRegistry.h"
#include "nwrfc/Descriptors.h"
#include "nwrfc/FieldTransfer.h"
#include "r3sim/Record.h"
#include "rfc/BaseRfc.h"
#include "support/SimulatorSession.h"

namespace {

using namespace r3sim;

constexpr int kRows = 100000;
constexpr char kModule[] = "Z_QUORVEL_BENCH_ROWS";

// 20 + 40 + 12 + 10 + 95 = 177 bytes in the 1-byte layout.
void RegisterRowsModule(ModuleRegistry& registry) {
    registry.Structures().Add(
        Structure("ZBENCH177", {Char("TCODE", 20), Char("REPORT", 40), Char("ACCOUNT", 12),
                                Num("STEPS", 10), Char("TEXT", 95)}));
    registry.Register(kModule, {Import(Int("ROW_COUNT")), Table("ROWS", "ZBENCH177")},
                      [](CallContext& call) {
                          Record row = call.NewRecord(u"ROWS");
                          row.SetText("TCODE", "VA01")
                              .SetText("REPORT", "SAPMV45A")
                              .SetText("ACCOUNT", "SMITH")
                              .SetText("TEXT", "Create sales order");
                          const FieldLayout& steps = row.FieldOf("STEPS");
                          const int64_t rows = call.ImportInt(u"ROW_COUNT");
                          for (int64_t i = 0; i < rows; ++i) {
                              row.SetInt(steps, i);
                              call.AddRow(u"ROWS", row);
                          }
                      });
}

Scenario NonUnicodeSystem() {
    Scenario s = DefaultScenario();
    s.unicode = false;
    s.release = s.partnerRelease = s.kernelRelease = "46C";
    return s;
}

// Installs the NetWeaver backend for the life of the object (or our own
// protocol when not asked to).
class Backend {
  public:
    explicit Backend(bool netweaver) {
        RFC_ERROR_INFO_EX info{};
        ok_ = RfcUseNetWeaverLibraryU(netweaver ? QUORVEL_NWRFC_LIBRARY : nullptr, nullptr,
                                      &info) == RFC_OK;
    }
    ~Backend() {
        RFC_ERROR_INFO_EX info{};
        RfcUseNetWeaverLibraryU(nullptr, nullptr, &info);
    }
    bool Ok() const { return ok_; }

  private:
    bool ok_ = false;
};

// The non-Unicode system with the module, a logon, and the call prepared.
class RowsCall {
  public:
    explicit RowsCall(bool netweaver = false)
        : backend_(netweaver),
          sim_(NonUnicodeSystem(), 0, RegisterRowsModule),
          call_(u"Z_QUORVEL_BENCH_ROWS") {
        SimulatorSession::LogOn(connection_);
        connection_.CallRfcOpen();
        call_.PrepareInterface(connection_);
        call_.SetImport(u"I_ROW_COUNT", int32_t{kRows});
    }
    ~RowsCall() { connection_.CloseConnection(); }

    // Transfers the table; its row count.
    int Call() {
        call_.CallFunctionModule(connection_);
        return call_.GetTableRowCount(u"ROWS");
    }
    // Reads two fields of every row, as a collector's capture does: their
    // places resolved once for the table.
    int64_t ReadRows(int count) {
        rfcfield::RowField steps, tcode;
        call_.LookupTableField(u"T_ROWS", u"STEPS", steps);
        call_.LookupTableField(u"T_ROWS", u"TCODE", tcode);
        int64_t checksum = 0;
        char16_t text[20];
        for (int i = 1; i <= count; ++i) {
            const auto* row = static_cast<const unsigned char*>(call_.GetTableRow(u"ROWS", i));
            checksum += rfcfield::GetFieldInt32(row, steps.recordLength, steps.place);
            rfcfield::GetFieldText(row, tcode.recordLength, tcode.place, text, std::size(text));
            checksum += text[0];
        }
        return checksum;
    }
    // The same through the accessors by name, each looking its field up.
    int64_t ReadRowsByName(int count) {
        int64_t checksum = 0;
        for (int i = 1; i <= count; ++i) {
            const void* row = call_.GetTableRow(u"ROWS", i);
            int32_t steps = 0;
            call_.GetTableField(u"T_ROWS", u"STEPS", row, steps);
            call_.GetTableField(u"T_ROWS", u"TCODE", row, tcode_);
            checksum += steps + static_cast<int64_t>(tcode_.size());
        }
        return checksum;
    }
    void Free() { call_.FreeTables(); }

  private:
    Backend backend_;
    SimulatorSession sim_;
    CRfcConnection connection_;
    CBaseRfc call_;
    std::u16string tcode_;
};

void TableRows(benchmark::State& state, bool netweaver) {
    RowsCall call(netweaver);
    int64_t rows = 0;
    for (auto _ : state) {
        const int count = call.Call();
        benchmark::DoNotOptimize(call.ReadRows(count));
        rows += count;
        call.Free();
    }
    if (rows != static_cast<int64_t>(state.iterations()) * kRows)
        state.SkipWithError("the table did not arrive whole");
    state.SetItemsProcessed(rows);
    state.SetBytesProcessed(rows * 177);
}
void BM_TableRowsThroughTheCallBase(benchmark::State& state) {
    TableRows(state, false);
}
BENCHMARK(BM_TableRowsThroughTheCallBase)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TableRowsThroughNetWeaver(benchmark::State& state) {
    TableRows(state, true);
}
BENCHMARK(BM_TableRowsThroughNetWeaver)->Unit(benchmark::kMillisecond)->Iterations(5);

// The backend's own work on the NetWeaver path: every row of the library's
// table rebuilt field by field into the classic 2-byte layout, on a table
// the library holds already.
void BM_NetWeaverRowRebuildAlone(benchmark::State& state) {
    using namespace rfclib::nw;
    SimulatorSession sim(NonUnicodeSystem(), 0, RegisterRowsModule);
    std::string error;
    const auto library = NwRfcLibrary::Load(QUORVEL_NWRFC_LIBRARY, error);
    if (!library) {
        state.SkipWithError(error.c_str());
        return;
    }
    const Functions& api = library->Api();
    const nwrfc::RFC_CONNECTION_PARAMETER logon[] = {
        {u"ashost", u"qashost1"}, {u"sysnr", u"00"},     {u"client", u"100"},
        {u"user", u"COLLECTOR"},  {u"passwd", u"SECRET"}, {u"lang", u"EN"}};
    nwrfc::RFC_ERROR_INFO info{};
    nwrfc::RFC_CONNECTION_HANDLE connection = api.RfcOpenConnection(logon, 6, &info);
    nwrfc::RFC_FUNCTION_DESC_HANDLE desc =
        connection ? api.RfcGetFunctionDesc(connection, u"Z_QUORVEL_BENCH_ROWS", &info) : nullptr;
    nwrfc::RFC_FUNCTION_HANDLE function = desc ? api.RfcCreateFunction(desc, &info) : nullptr;
    nwrfc::RFC_TABLE_HANDLE table = nullptr;
    nwrfc::RFC_PARAMETER_DESC rows{};
    unsigned count = 0;
    if (function == nullptr || api.RfcSetInt(function, u"ROW_COUNT", kRows, &info) != 0 ||
        api.RfcInvoke(connection, function, &info) != 0 ||
        api.RfcGetTable(function, u"ROWS", &table, &info) != 0 ||
        api.RfcGetRowCount(table, &count, &info) != 0 ||
        api.RfcGetParameterDescByName(desc, u"ROWS", &rows, &info) != 0 || count != kRows) {
        state.SkipWithError("the table did not arrive through the library");
        return;
    }
    // The structure as the call base installs it: the library's 2-byte layout.
    std::vector<rfclib::InstalledField> fields;
    unsigned fieldCount = 0, nuc = 0, uc = 0;
    api.RfcGetFieldCount(rows.typeDescHandle, &fieldCount, &info);
    api.RfcGetTypeLength(rows.typeDescHandle, &nuc, &uc, &info);
    for (unsigned i = 0; i < fieldCount; ++i) {
        nwrfc::RFC_FIELD_DESC f{};
        api.RfcGetFieldDescByIndex(rows.typeDescHandle, i, &f, &info);
        rfclib::InstalledField field;
        field.name = f.name;
        field.type = RfcExidToRfcTypeU(ExidOf(f.type));
        field.decimals = f.decimals;
        field.c2Offset = f.ucOffset;
        field.c2Length = f.ucLength;
        fields.push_back(field);
    }
    const RFC_TYPEHANDLE type = rfclib::InstallStructure(u"ZBENCH177", fields);
    RowMapping mapping;
    rfcwire::ErrorRecord failure;
    if (!mapping.Resolve(api, rows.typeDescHandle, type, uc, failure)) {
        state.SkipWithError("the row type cannot be resolved");
        return;
    }
    std::vector<uint8_t> record(uc);
    for (auto _ : state) {
        for (unsigned r = 0; r < count; ++r) {
            api.RfcMoveTo(table, r, &info);
            if (!mapping.Read(api, api.RfcGetCurrentRow(table, &info), record.data(), failure)) {
                state.SkipWithError("a row could not be rebuilt");
                break;
            }
            benchmark::DoNotOptimize(record.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    api.RfcDestroyFunction(function, &info);
    api.RfcCloseConnection(connection, &info);
}
BENCHMARK(BM_NetWeaverRowRebuildAlone)->Unit(benchmark::kMillisecond);

// The row reads alone, on a table already transferred: what the
// collector's per-row work costs beside the transfer, with the fields
// resolved once and through the accessors by name.
void BM_TableFieldsOfATransferredTable(benchmark::State& state) {
    RowsCall call;
    const int count = call.Call();
    for (auto _ : state) benchmark::DoNotOptimize(call.ReadRows(count));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_TableFieldsOfATransferredTable)->Unit(benchmark::kMillisecond);

void BM_TableFieldsByName(benchmark::State& state) {
    RowsCall call;
    const int count = call.Call();
    for (auto _ : state) benchmark::DoNotOptimize(call.ReadRowsByName(count));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_TableFieldsByName)->Unit(benchmark::kMillisecond);

// The same 17.7 MB written by one thread and read by another over 127.0.0.1.
void BM_RawLoopbackSameBytes(benchmark::State& state) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        state.SkipWithError("no loopback listener");
        return;
    }
    const size_t total = size_t{kRows} * 177;
    std::vector<char> sent(total, 'x'), received(total);
    for (auto _ : state) {
        std::thread writer([&] {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                for (size_t done = 0; done < total;) {
                    const ssize_t n = ::write(fd, sent.data() + done, total - done);
                    if (n <= 0) break;
                    done += static_cast<size_t>(n);
                }
            }
            ::close(fd);
        });
        const int fd = ::accept(listener, nullptr, nullptr);
        size_t done = 0;
        while (done < total) {
            const ssize_t n = ::read(fd, received.data() + done, total - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        writer.join();
        if (done != total) state.SkipWithError("short loopback transfer");
    }
    ::close(listener);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRows);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
}
BENCHMARK(BM_RawLoopbackSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
