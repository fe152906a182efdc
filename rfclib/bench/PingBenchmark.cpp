// RFC_PING round trips per second over loopback against the in-process
// simulated system: the cost of one call through the whole stack.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/TextCodec.h"
#include "r3sim/SimulatedSystem.h"
#include "rfc32u.h"

namespace {

void BM_RfcPingRoundTrip(benchmark::State& state) {
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
}
BENCHMARK(BM_RfcPingRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
