// What the NetWeaver backend does that our own protocol does not: the
// library closes a connection after a system failure, a stop cancels a
// call that gets no answer, and the options file's parameters reach the
// library.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "../LiveSystem.h"
#include "platform/FixedText.h"

namespace rfctest {
namespace {

using NetWeaverBackend = LiveSystem;
using Clock = std::chrono::steady_clock;

r3sim::Scenario WithFault(const char* module, r3sim::FaultAction action) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec fault;
    fault.module = module;
    fault.action = action;
    fault.times = 1;
    fault.message = "dump in the module";
    scenario.faults.push_back(fault);
    return scenario;
}

TEST_F(NetWeaverBackend, TheLibraryIsNamedWithItsVersion) {
    RFC_CHAR text[256] = {};
    RfcGetLibraryDescriptionU(text, std::size(text));
    const std::string description = platform::ToUtf8(platform::FieldText(text, std::size(text)));
    EXPECT_EQ(description.rfind(std::string("NetWeaver RFC library ") + QUORVEL_NWRFC_LIBRARY +
                                    ", version 7500.",
                                0),
              0u)
        << description;
}

TEST_F(NetWeaverBackend, ASystemFailureClosesTheConnectionAndAReopenWorks) {
    Start(WithFault("RFC_PING", r3sim::FaultAction::kFail));
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_SYS_EXCEPTION);
    EXPECT_EQ(LastError().group, RFC_ERROR_SYSTEM_FAILURE);
    // The library has closed it: the reconnect path sees a handle to close.
    RFC_ERROR_INFO_EX info{};
    EXPECT_EQ(RfcIsValidHandleU(handle, &info), RFC_CLOSED);
    EXPECT_EQ(Ping(handle), RFC_CLOSED);
    RfcCloseU(handle);
    const RFC_HANDLE again = Open();
    EXPECT_EQ(Ping(again), RFC_OK);
    RfcCloseU(again);
}

TEST_F(NetWeaverBackend, ADroppedConnectionIsACommunicationFailureAndReopens) {
    auto& system = Start(WithFault("RFC_PING", r3sim::FaultAction::kDrop));
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_FAILURE);
    EXPECT_EQ(LastError().group, RFC_ERROR_COMMUNICATION);
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    RfcCloseU(handle);
    const RFC_HANDLE again = Open();
    EXPECT_EQ(Ping(again), RFC_OK);
    RfcCloseU(again);
    EXPECT_EQ(system.Counters().Snapshot().logons, 2u);
}

TEST_F(NetWeaverBackend, AStopCancelsACallThatGetsNoAnswer) {
    Start(WithFault("RFC_PING", r3sim::FaultAction::kHang));
    setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "3600000", 1);
    const RFC_HANDLE handle = Open();
    std::atomic<RFC_RC> rc{RFC_OK};
    std::u16string key;
    std::thread caller([&] {
        rc = Ping(handle);
        key = Key(LastError());  // the last error is the calling thread's
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto started = Clock::now();
    RfcCancelAllCallsU();
    caller.join();
    RfcResumeCallsU();
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
    EXPECT_NE(rc.load(), RFC_OK);
    EXPECT_EQ(key, std::u16string(RFC_KEY_CANCELLED));
    EXPECT_EQ(RfcIsValidHandleU(handle, nullptr), RFC_CLOSED);
    RfcCloseU(handle);
}

// Stops racing calls that end and connections that close: a cancel reaches
// a connection only while it is open, every call either answers or ends as
// cancelled, and the library stays usable (the sanitizer builds watch the
// handles).
TEST_F(NetWeaverBackend, StopsRacingCallsAndClosesTouchOnlyOpenConnections) {
    Start();
    std::atomic<bool> done{false};
    std::thread stopper([&] {
        while (!done) {
            RfcCancelAllCallsU();
            std::this_thread::yield();
            RfcResumeCallsU();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    // Until both outcomes were seen often enough, within a bound for a slow
    // sanitizer build.
    int answered = 0, stopped = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while ((answered < 30 || stopped < 5) && Clock::now() < deadline) {
        RFC_ERROR_INFO_EX error{};
        const RFC_HANDLE handle = RfcOpenExU(Logon().c_str(), &error);
        if (handle == RFC_HANDLE_NULL) {
            ASSERT_EQ(Key(error), std::u16string(RFC_KEY_CANCELLED)) << Message(error);
            ++stopped;
            continue;
        }
        if (Ping(handle) == RFC_OK) {
            ++answered;
        } else {
            ASSERT_EQ(Key(LastError()), std::u16string(RFC_KEY_CANCELLED))
                << Message(LastError());
            ++stopped;
        }
        RfcCloseU(handle);
    }
    done = true;
    stopper.join();
    RfcResumeCallsU();
    EXPECT_GE(answered, 30);
    EXPECT_GE(stopped, 5);
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_OK);
    RfcCloseU(handle);
}

TEST_F(NetWeaverBackend, TheOptionsFilesParametersReachTheLibrary) {
    Start();
    char path[] = "/tmp/quorvel-rfc-options-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    std::ofstream(path) << "# no SNC on the simulated system\nsnc_mode=1\n";
    RFC_ERROR_INFO_EX info{};
    ASSERT_EQ(RfcUseNetWeaverLibraryU(QUORVEL_NWRFC_LIBRARY, path, &info), RFC_OK)
        << Message(info);
    const RFC_ERROR_INFO_EX refused = Refused(Logon());
    EXPECT_NE(Message(refused).find("SNC"), std::string::npos) << Message(refused);
    // Back to the environment's plain installation.
    ASSERT_EQ(RfcUseNetWeaverLibraryU(QUORVEL_NWRFC_LIBRARY, nullptr, &info), RFC_OK);
    std::remove(path);
    const RFC_HANDLE handle = Open();
    EXPECT_EQ(Ping(handle), RFC_OK);
    // The library cannot change under an open connection.
    EXPECT_EQ(RfcUseNetWeaverLibraryU(nullptr, nullptr, &info), RFC_FAILURE);
    RfcCloseU(handle);
}

}  // namespace
}  // namespace rfctest
