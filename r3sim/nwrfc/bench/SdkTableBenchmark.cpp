// A table of 100,000 rows read through our SDK interface against the same
// table read through our own client, in the same run and from the same
// in-process simulated system (Unicode and non-Unicode):
//   BM_OwnClient       RfcCallReceiveU into an internal table
//   BM_SdkInvoke       RfcInvoke: the rows arrive in the function's table
//   BM_SdkInvokeRead   RfcInvoke, then every row rebuilt field by field with
//                      RfcGetChars / RfcGetBytes, as a caller of the SDK does
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "nwrfc/NwRfcApi.h"
#include "platform/TextCodec.h"
#include "r3sim/Record.h"
#include "r3sim/SimulatedSystem.h"
#include "rfc32u.h"

namespace {

constexpr int kRows = 100000;

void Rows(r3sim::CallContext& call) {
    r3sim::Record row = call.NewRecord(u"ROWS");
    const auto& number = row.FieldOf("NUMBER");
    for (int i = 0; i < kRows; ++i) {
        row.SetInt(number, i);
        call.AddRow(u"ROWS", row);
    }
}

struct Bench {
    explicit Bench(bool unicode) {
        using namespace r3sim;
        Scenario scenario = DefaultScenario();
        scenario.unicode = unicode;
        system = std::make_unique<SimulatedSystem>(scenario);
        system->Modules().Structures().Add(Structure(
            "ZBENCH", {Char("NAME", 45), Char("TEXT", 80), Num("CODE", 10), Date("DAY"),
                       Time("AT"), Int("NUMBER"), Int2("SMALL"), Packed("VALUE", 8, 2),
                       Float("RATE"), Bytes("RAW", 1)}));
        system->Modules().Register("Z_BENCH_ROWS", {Table("ROWS", "ZBENCH")}, Rows);
        const int base = system->Start();
        setenv("QUORVEL_RFC_PORT_BASE", std::to_string(base).c_str(), 1);
        setenv("QUORVEL_RFC_HOSTS", system->HostsOverride().c_str(), 1);
        const StructureDef& def = system->Modules().Structures().Get("ZBENCH");
        wideRow = def.length[kWidth2];
    }
    ~Bench() { system->Stop(); }
    std::unique_ptr<r3sim::SimulatedSystem> system;
    unsigned wideRow = 0;
};

void BM_OwnClient(benchmark::State& state) {
    Bench bench(state.range(0) != 0);
    RFC_ERROR_INFO_EX error{};
    const RFC_HANDLE handle = RfcOpenExU(
        u"ASHOST=qashost1 SYSNR=00 CLIENT=100 USER=COLLECTOR PASSWD=SECRET LANG=EN", &error);
    if (handle == RFC_HANDLE_NULL) return state.SkipWithError("open failed");
    ITAB_H rows = ItCreateU(u"ROWS", bench.wideRow, 0, 0);
    RFC_TYPEHANDLE type = 0;
    // The row's layout, installed as the collector does from FIELDS rows.
    const r3sim::StructureDef& def = bench.system->Modules().Structures().Get("ZBENCH");
    std::vector<RFC_UNICODE_TYPE_ELEMENT> elements;
    std::vector<std::u16string> names;
    for (const auto& f : def.fields) names.push_back(platform::FromUtf8(f.spec.name));
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const auto& f = def.fields[i];
        elements.push_back({names[i].c_str(), RfcExidToRfcTypeU(static_cast<RFC_CHAR>(f.spec.type)),
                            f.spec.decimals, f.length[0], f.offset[0], f.length[1], f.offset[1],
                            f.length[2], f.offset[2]});
    }
    RfcInstallUnicodeStructureU(u"ZBENCH", elements.data(), static_cast<unsigned>(elements.size()),
                                &type);
    RFC_TABLE tables[] = {{u"ROWS", 4, type, bench.wideRow, 0, rows, 0}, {}};
    RFC_CHAR* exception = nullptr;
    for (auto _ : state) {
        if (RfcCallReceiveU(handle, u"Z_BENCH_ROWS", nullptr, nullptr, tables, &exception) != RFC_OK)
            return state.SkipWithError("call failed");
        if (ItFillU(rows) != kRows) return state.SkipWithError("rows missing");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    ItDeleteU(rows);
    RfcCloseU(handle);
}

void SdkRead(benchmark::State& state, bool readRows) {
    Bench bench(state.range(0) != 0);
    const std::u16string names[] = {u"ashost", u"sysnr", u"client", u"user", u"passwd", u"lang"};
    const std::u16string values[] = {u"qashost1", u"00", u"100", u"COLLECTOR", u"SECRET", u"EN"};
    nwrfc::RFC_CONNECTION_PARAMETER logon[6];
    for (int i = 0; i < 6; ++i) logon[i] = {names[i].c_str(), values[i].c_str()};
    nwrfc::RFC_ERROR_INFO error{};
    auto handle = nwrfc::RfcOpenConnection(logon, 6, &error);
    if (handle == nullptr) return state.SkipWithError("open failed");
    auto desc = nwrfc::RfcGetFunctionDesc(handle, u"Z_BENCH_ROWS", &error);
    auto type = nwrfc::RfcGetTypeDesc(handle, u"ZBENCH", &error);
    unsigned fieldCount = 0;
    nwrfc::RfcGetFieldCount(type, &fieldCount, &error);
    std::vector<nwrfc::RFC_FIELD_DESC> fields(fieldCount);
    for (unsigned i = 0; i < fieldCount; ++i) nwrfc::RfcGetFieldDescByIndex(type, i, &fields[i], &error);
    std::vector<uint8_t> row(bench.wideRow);
    for (auto _ : state) {
        auto fn = nwrfc::RfcCreateFunction(desc, &error);
        if (nwrfc::RfcInvoke(handle, fn, &error) != nwrfc::RFC_OK)
            return state.SkipWithError("invoke failed");
        nwrfc::RFC_TABLE_HANDLE table = nullptr;
        nwrfc::RfcGetTable(fn, u"ROWS", &table, &error);
        unsigned count = 0;
        nwrfc::RfcGetRowCount(table, &count, &error);
        if (count != kRows) return state.SkipWithError("rows missing");
        for (unsigned r = 0; readRows && r < count; ++r) {
            nwrfc::RfcMoveTo(table, r, &error);
            auto current = nwrfc::RfcGetCurrentRow(table, &error);
            for (unsigned f = 0; f < fieldCount; ++f) {
                const nwrfc::RFC_FIELD_DESC& d = fields[f];
                if (d.type == nwrfc::RFCTYPE_CHAR || d.type == nwrfc::RFCTYPE_NUM ||
                    d.type == nwrfc::RFCTYPE_DATE || d.type == nwrfc::RFCTYPE_TIME)
                    nwrfc::RfcGetCharsByIndex(current, f,
                                              reinterpret_cast<char16_t*>(row.data() + d.ucOffset),
                                              d.ucLength / 2, &error);
                else
                    nwrfc::RfcGetBytesByIndex(current, f, row.data() + d.ucOffset, d.ucLength,
                                              &error);
            }
            benchmark::DoNotOptimize(row.data());
        }
        nwrfc::RfcDestroyFunction(fn, &error);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    nwrfc::RfcCloseConnection(handle, &error);
}

void BM_SdkInvoke(benchmark::State& state) {
    SdkRead(state, false);
}
void BM_SdkInvokeRead(benchmark::State& state) {
    SdkRead(state, true);
}

// Argument: 1 Unicode system, 0 non-Unicode.
BENCHMARK(BM_OwnClient)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SdkInvoke)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SdkInvokeRead)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
