// RFC_PING round trips per second over loopback against the in-process
// simulated system: the cost of one call through the whole stack, through
// our own protocol and through SAP's NetWeaver RFC library.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/TextCodec.h"
#include "r3sim/SimulatedSystem.h"
#include "rfc32u.h"

namespace {

void PingRoundTrips(benchmark::State& state, const char* library) {
    RFC_ERROR_INFO_EX installed{};
    if (RfcUseNetWeaverLibraryU(library, nullptr, &installed) != RFC_OK) {
        state.SkipWithError(platform::ToUtf8(installed.message).c_str());
        return;
    }
    r3sim::SimulatedSystem system(r3sim::DefaultScenario());
    const int base = system.Start();
    setenv("QUORVEL_RFC_PORT_BASE", std::to_string(base).c_str(), 1);
    setenv("QUORVEL_RFC_HOSTS", system.HostsOverride().c_str(), 1);
    const std::u16string connect =
        u"ASHOST=qashost1 SYSNR=00 CLIENT=100 USER=COLLECTOR PASSWD=SECRET LANG=EN";
    RFC_ERROR_INFO_EX error{};
    const RFC_HANDLE handle = RfcOpenExU(connect.c_str(), &error);
    if (handle == RFC_HANDLE_NULL) {
        state.SkipWithError(platform::ToUtf8(error.message).c_str());
        return;
    }
    RFC_CHAR* exception = nullptr;
    for (auto _ : state) {
        if (RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception) != RFC_OK) {
            state.SkipWithError("RFC_PING failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    RfcCloseU(handle);
    system.Stop();
    RfcUseNetWeaverLibraryU(nullptr, nullptr, &installed);
}

void BM_RfcPingRoundTrip(benchmark::State& state) {
    PingRoundTrips(state, nullptr);
}
BENCHMARK(BM_RfcPingRoundTrip)->Unit(benchmark::kMicrosecond);

// The same through SAP's NetWeaver RFC library (our implementation of its
// interface over the same protocol).
void BM_RfcPingRoundTripThroughNetWeaver(benchmark::State& state) {
    PingRoundTrips(state, QUORVEL_NWRFC_LIBRARY);
}
BENCHMARK(BM_RfcPingRoundTripThroughNetWeaver)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
