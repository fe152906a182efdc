#include "app/console/ConsoleProgram.h"

#include <chrono>
#include <memory>
#include <string>

#include "app/console/ConsoleOptions.h"
#include "app/console/ConsoleUserInterface.h"
#include "app/console/ConsoleWizard.h"
#include "app/console/PasswordSource.h"
#include "app/console/ServiceNotifier.h"
#include "app/console/SimulatorPrefill.h"
#include "app/console/StartExtender.h"
#include "app/console/StopSignals.h"
#include "collect/CollectionClock.h"
#include "collect/PreflightCheck.h"
#include "collect/SystemThread.h"
#include "collect/core/CatchConvention.h"
#include "collect/metrics/MetricsEndpoint.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"
#include "rfc/RfcLibraryChoice.h"
#include "rfc32u.h"
#include "wizard/settings/SettingsStore.h"

namespace {

// The main window's clock.
constexpr std::chrono::milliseconds kClockPeriod{500};

void WriteTo(std::FILE* stream, std::u16string_view text) {
    const std::string line = platform::ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

void WriteError(std::FILE* errors, std::u16string_view text) {
    WriteTo(errors, u"quorvel-console: " + OneLine(text));
}

int StatusOf(CConsoleWizard::Outcome outcome) {
    switch (outcome) {
        case CConsoleWizard::Outcome::Finished:
            return kExitDone;
        case CConsoleWizard::Outcome::Refused:
            return kExitRefused;
        case CConsoleWizard::Outcome::Failed:
            break;
    }
    return kExitStartFailed;
}

int RunCheck(CConsoleWizard& wizard, std::FILE* out) {
    WriteTo(out, u"RFC library: " + RfcLibraryDescription());
    ConnectionSettings settings;
    std::vector<tagSERVERLIST> servers;
    std::vector<tagREMOTELIST> remotes;
    const CConsoleWizard::Outcome outcome =
        wizard.Run(CConsoleWizard::Mode::Check, settings, servers, remotes);
    if (outcome != CConsoleWizard::Outcome::Finished) {
        WriteTo(out, u"logon: failed");
        return outcome == CConsoleWizard::Outcome::Refused ? kExitRefused : kExitStartFailed;
    }
    WriteTo(out, platform::Format(u"logon to %s, system number %s, client %s, user %s: passed",
                                  settings.hostName, settings.systemNumber, settings.client,
                                  settings.user));
    CPreflightCheck check(
        settings, servers, remotes, [out](std::u16string_view what, std::u16string_view failure) {
            WriteTo(out, failure.empty()
                             ? platform::Format(u"%s: passed", what)
                             : platform::Format(u"%s: failed: %s", what, OneLine(failure)));
        });
    const bool passed = check.RunChecks();
    WriteTo(out, passed ? platform::Format(u"pre-flight check passed: %d checks.",
                                           check.CheckCount() + 1)
                        : platform::Format(u"pre-flight check failed: %d of %d checks.",
                                           check.FailedCount(), check.CheckCount() + 1));
    return passed ? kExitDone : kExitRefused;
}

// Runs the clock until a stop or the end of the given time.
void DriveSession(CSystemThread& session, long runSeconds) {
    CCollectionClock clock;
    const auto started = std::chrono::steady_clock::now();
    while (!StopSignals::Instance().WaitForStop(kClockPeriod)) {
        const platform::DateTime now = platform::CurrentLocalTime();
        const int minute = clock.Poll(&now);
        if (minute >= 0) CCollectionClock::SignalMinuteTick(session, minute);
        if (runSeconds >= 0 &&
            std::chrono::steady_clock::now() - started >= std::chrono::seconds(runSeconds))
            return;
    }
}

int RunSession(CConsoleWizard& wizard, const ConsoleOptions& options, std::FILE* out,
               std::FILE* errors) {
    // The endpoint listens before the start, so a bad or busy address ends
    // the run before any session folder exists.
    auto registry = std::make_shared<metrics::Registry>();
    metrics::MetricsEndpoint endpoint(registry);
    if (!options.metricsListen.empty()) {
        if (const std::string error = endpoint.Start(options.metricsListen); !error.empty()) {
            WriteError(errors, platform::FromUtf8("--metrics-listen: " + error));
            return kExitStartFailed;
        }
        WriteTo(out, platform::FromUtf8("live figures at http://" + endpoint.ListeningOn() +
                                        "/metrics"));
    }
    CConsoleUserInterface ui(wizard, out);
    SetUserInterface(&ui);
    MessageChannel::Instance().SetMainWindow(&ui);
    auto session = std::make_unique<CSystemThread>();
    if (endpoint.IsRunning()) session->SetMetricsRegistry(registry);
    session->SetMinimumFreeBytes(options.minFreeBytes);
    session->SetRotation(options.rotation);
    session->SetRetention(options.retention);
    session->SetStartWithoutUnreachable(options.startWithoutUnreachable);
    int status = kExitDone;
    const bool started = RunReported(
        u"CConsoleProgram::StartSession", TrapStyle::Posted,
        [&] {
            const service::StartExtender extender;
            session->Start();
        },
        [&](const std::u16string& text) {
            // A refusal of the wizard was said already; the cancellation
            // that follows it is not news.
            if (ui.WizardOutcome() != CConsoleWizard::Outcome::Finished) {
                status = StatusOf(ui.WizardOutcome());
                return;
            }
            WriteError(errors, text);
            status = kExitStartFailed;
        });
    if (started) {
        StopSignals::Instance().EnterSession();
        service::NotifyReady();
        session->SetOpenRequest();
        DriveSession(*session, options.runSeconds);
        service::NotifyStopping();
    }
    // Deleting the session waits for every collection thread to end; they
    // leave the registry before the endpoint stops.
    session.reset();
    endpoint.Stop();
    MessageChannel::Instance().SetMainWindow(nullptr);
    SetUserInterface(nullptr);
    return status;
}

}  // namespace

int RunConsole(int argc, const char* const* argv, std::FILE* out, std::FILE* errors) {
    ConsoleOptions options;
    std::string optionError;
    if (!ParseConsoleOptions(argc, argv, options, optionError)) {
        std::fprintf(errors, "quorvel-console: %s\n%s", optionError.c_str(), ConsoleUsage());
        return kExitBadOptions;
    }
    if (options.help) {
        std::fputs(ConsoleUsage(), out);
        return kExitDone;
    }

    std::u16string error;
    if (!UseRfcLibrary(RfcLibraryFromEnvironment({options.rfcLibrary, options.rfcOptions}),
                       error)) {
        WriteError(errors, error);
        return kExitStartFailed;
    }
    settings::SettingsStore store(settings::kCollectorApp);
    if (options.prefillSimulator && !PrefillSimulatorSettings(store, error)) {
        WriteError(errors, u"cannot store the simulated system's values: " + error);
        return kExitStartFailed;
    }
    PasswordResult password = PasswordFromSources(options.passwordFile);
    if (!password.error.empty()) {
        WriteError(errors, platform::FromUtf8(password.error));
        return kExitBadOptions;
    }
    if (!password.password && store.GetString(u"Logon", u"Password").empty())
        password.password = PromptForPassword();

    CConsoleWizard wizard(options, password.password, errors, password.fromOutside);
    if (options.check) return RunCheck(wizard, out);
    if (options.storeOnly) {
        ConnectionSettings settings;
        std::vector<tagSERVERLIST> servers;
        std::vector<tagREMOTELIST> remotes;
        return StatusOf(wizard.Run(CConsoleWizard::Mode::StoreOnly, settings, servers, remotes));
    }
    return RunSession(wizard, options, out, errors);
}
