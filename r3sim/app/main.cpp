// r3sim: runs a simulated R/3 system until SIGINT or SIGTERM.
//
//   r3sim [--scenario FILE] [--port-base N]
//
// Prints where each application server listens and the environment the RFC
// library needs to reach them.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "r3sim/SimulatedSystem.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: r3sim [--scenario FILE] [--port-base N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scenarioPath;
    int portBase = 3300;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scenario" && i + 1 < argc) {
            scenarioPath = argv[++i];
        } else if (arg == "--port-base" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 65535 - 99) return Usage();
            portBase = static_cast<int>(value);
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else {
            return Usage();
        }
    }

    // Block the signals in every thread; the main thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        r3sim::Scenario scenario =
            scenarioPath.empty() ? r3sim::DefaultScenario() : r3sim::LoadScenarioFile(scenarioPath);
        r3sim::SimulatedSystem system(std::move(scenario));
        const int base = system.Start(portBase);
        const r3sim::Scenario& s = system.GetScenario();
        std::printf("r3sim: system %s (release %s) on port base %d\n", s.systemId.c_str(),
                    s.release.c_str(), base);
        for (const r3sim::ServerSpec& server : s.servers) {
            if (server.down)
                std::printf("  %-20s host %-12s SYSNR %02d  down\n", server.name.c_str(),
                            server.host.c_str(), server.systemNumber);
            else
                std::printf("  %-20s host %-12s SYSNR %02d  %s:%u\n", server.name.c_str(),
                            server.host.c_str(), server.systemNumber,
                            system.AddressOf(server.name).c_str(),
                            static_cast<unsigned>(system.PortOf(server.name)));
        }
        std::printf("export QUORVEL_RFC_PORT_BASE=%d\n", base);
        std::printf("export QUORVEL_RFC_HOSTS=%s\n", system.HostsOverride().c_str());
        std::fflush(stdout);

        int signal = 0;
        sigwait(&signals, &signal);
        std::printf("r3sim: %s received, stopping\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
        system.Stop();
        const r3sim::CounterSnapshot counts = system.Counters().Snapshot();
        std::printf("r3sim: served %llu logons, %llu refused, %llu bad frames\n",
                    static_cast<unsigned long long>(counts.logons),
                    static_cast<unsigned long long>(counts.refusedLogons),
                    static_cast<unsigned long long>(counts.protocolErrors));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "r3sim: %s\n", e.what());
        return 1;
    }
}
