// pellamy4-scenario FOLDER [SEED [DIALOG_STEPS]]: writes a seeded session
// folder with the collector's writers, to try the reduction on.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "ScenarioSession.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [SEED [DIALOG_STEPS]]\n", argv[0]);
        return 2;
    }
    ScenarioOptions options;
    if (argc > 2) options.seed = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    if (argc > 3) options.dialogSteps = std::strtoull(argv[3], nullptr, 10);
    options.minutes = 240;
    options.missedMinutes = {37, 38, 39, 150};
    try {
        WriteScenarioSession(argv[1], options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "could not write the session\n");
        return 1;
    }
    return 0;
}
