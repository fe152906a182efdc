// quorvel-console: the collector without a main window. It runs the
// connection wizard unattended with the stored values, starts the session
// and drives it with the collector's clock until it is stopped (Ctrl-C,
// SIGTERM, or the time given with --minutes / --seconds), writing every
// message line to standard output.
#include <QApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/console/ConsoleOptions.h"
#include "app/console/ConsoleUserInterface.h"
#include "app/core/MessageChannel.h"
#include "app/settings/SettingsStore.h"
#include "collect/CollectionClock.h"
#include "collect/SystemThread.h"
#include "platform/Exception.h"
#include "platform/TextCodec.h"

namespace {

std::atomic<bool> g_stopRequested{false};

void OnStopSignal(int) {
    g_stopRequested = true;
}

}  // namespace

int main(int argc, char** argv) {
    ConsoleOptions options;
    std::string optionError;
    if (!ParseConsoleOptions(argc, argv, options, optionError)) {
        std::fprintf(stderr, "quorvel-console: %s\n%s", optionError.c_str(), ConsoleUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(ConsoleUsage(), stdout);
        return 0;
    }
    // Without a display the wizard runs on Qt's offscreen platform.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    CConsoleUserInterface ui;
    {
        settings::SettingsStore store(settings::kCollectorApp);
        std::u16string error;
        if (options.prefillSimulator && !PrefillSimulatorSettings(store, error)) {
            ui.WriteLine(u"cannot store the simulated system's values: " + error);
            return 1;
        }
        if (!ApplyConsoleOptions(options, store, error) ||
            !PromptForMissingPassword(store, error)) {
            ui.WriteLine(u"cannot store the given values: " + error);
            return 1;
        }
    }
    if (options.storeOnly) return 0;
    ui.SetDatabaseServers(options.databases);
    SetUserInterface(&ui);
    MessageChannel::Instance().SetMainWindow(&ui);
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);

    auto session = std::make_unique<CSystemThread>();
    try {
        session->Start();
    } catch (const CException& e) {
        ui.WriteLine(e.ReportText());
        session.reset();
        MessageChannel::Instance().SetMainWindow(nullptr);
        SetUserInterface(nullptr);
        return 1;
    }
    session->SetOpenRequest();

    CCollectionClock clock;
    const auto started = std::chrono::steady_clock::now();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const platform::DateTime now = platform::CurrentLocalTime();
        const int minute = clock.Poll(&now);
        if (minute >= 0) CCollectionClock::SignalMinuteTick(*session, minute);
        const auto elapsed = std::chrono::steady_clock::now() - started;
        if (g_stopRequested ||
            (options.runSeconds >= 0 && elapsed >= std::chrono::seconds(options.runSeconds)))
            app.quit();
    });
    timer.start(500);
    app.exec();

    // Deleting the session waits for every collection thread to end.
    session.reset();
    MessageChannel::Instance().SetMainWindow(nullptr);
    SetUserInterface(nullptr);
    return 0;
}
