// The headless front end as a whole, from the command line to the exit
// status; main only calls RunConsole.
#pragma once

#include <cstdio>

// The documented exit statuses. A stop during the start ends with 128 + the
// signal (130 for SIGINT, 143 for SIGTERM); see StopSignals.h.
enum ConsoleExit : int {
    kExitDone = 0,
    kExitStartFailed = 1,
    kExitBadOptions = 2,
    kExitRefused = 3,
};

int RunConsole(int argc, const char* const* argv, std::FILE* out = stdout,
               std::FILE* errors = stderr);
