// quorvel-console: the collector without a main window, for servers and
// services. See ConsoleOptions.cpp for the command line and ConsoleProgram.h
// for the exit statuses.
#include "app/console/ConsoleProgram.h"
#include "app/console/StopSignals.h"
#include "platform/DescriptorLimit.h"
#include "platform/HeapArenas.h"

int main(int argc, char** argv) {
    platform::BoundHeapArenas();
    // Before any thread exists, so that every thread has the stop signals blocked.
    StopSignals::Instance().Install();
    platform::RaiseDescriptorLimit();
    return RunConsole(argc, argv);
}
