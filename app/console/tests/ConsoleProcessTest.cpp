// The real quorvel-console against the simulated system in this process:
// each refusal ends quickly with its status and its text on the error
// stream and leaves the stored values alone; stop signals are honoured
// during the start; the pre-flight check names what failed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <cstdio>
#include <thread>

#include "ConsoleProcess.h"
#include "ConsoleTestSupport.h"
#include "app/console/ConsoleProgram.h"
#include "rfc/tests/support/SimulatorSession.h"

namespace consoletest {
namespace {

using namespace std::chrono_literals;

constexpr auto kRefusalLimit = 10s;
constexpr auto kStopLimit = 5s;

class ConsoleProcessTest : public ConsoleTest {
  protected:
    static ProcessResult Run(std::vector<std::string> args, ConsoleProcess::Env env = {},
                             std::chrono::milliseconds limit = kRefusalLimit) {
        ConsoleProcess process(std::move(args), std::move(env));
        return process.Finish(limit);
    }
    static int Lines(const std::string& text) {
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
};

TEST_F(ConsoleProcessTest, EveryRefusalEndsWithItsStatusAndTextAndStoresNothing) {
    SimulatorSession sim;
    struct Case {
        const char* what;
        std::vector<std::string> args;
        ConsoleProcess::Env env;
        bool storedPassword;
        const char* text;  // on the error stream
    };
    const Case cases[] = {
        {"wrong password", {}, {{"QUORVEL_PASSWORD", "WRONG"}}, true, "quorvel-console: RFC"},
        {"locked user",
         {"--user", "LOCKED"},
         {{"QUORVEL_PASSWORD", "LOCKED"}},
         true,
         "quorvel-console: RFC"},
        {"nothing listens", {"--system-number", "07"}, {}, true, "quorvel-console: RFC"},
        {"domain suffix",
         {"--host", "a.b"},
         {},
         true,
         "quorvel-console: Collector Exception: Please do not enter an IP address or  domain "
         "suffix for the short host name.\n"},
        {"no number",
         {"--system-number", "7a"},
         {},
         true,
         "quorvel-console: Collector Exception: Please enter a system number of 1 to 3 "
         "digits.\n"},
        {"long user",
         {"--user", "collector_long"},
         {},
         true,
         "quorvel-console: Collector Exception: Please enter a SAP user id of at most 12 "
         "characters.\n"},
        {"no password, no terminal",
         {},
         {},
         false,
         "quorvel-console: Collector Exception: Please enter a password.\n"},
    };
    for (const Case& c : cases) {
        StoreSimulatorLogon();
        if (!c.storedPassword) {
            ASSERT_TRUE(Store().SetStrings(u"Logon", {{u"Password", u""}}));
        }
        const std::string before = StoredFile();
        const ProcessResult r = Run(c.args, c.env);
        EXPECT_FALSE(r.killed) << c.what;
        EXPECT_EQ(r.status, kExitRefused) << c.what << "\n" << r.err;
        EXPECT_EQ(r.err.rfind(c.text, 0), 0u) << c.what << "\n" << r.err;
        EXPECT_EQ(Lines(r.err), 1) << c.what << "\n" << r.err;
        EXPECT_EQ(StoredFile(), before) << c.what;
        EXPECT_FALSE(fs::exists("DATA")) << c.what;  // no session folder was made
    }
}

TEST_F(ConsoleProcessTest, AStoredGatewayThatIsNoServerIsRefusedAfterTheLogon) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    ASSERT_TRUE(Store().SetStrings(
        u"QAS", {{u"Destination1", u"QASDB_SAPCCMSR"}, {u"Gateway1", u"qasold_QAS_00"}}));
    const ProcessResult r = Run({"--host", "qashost1"}, {{"QUORVEL_PASSWORD", "secret"}});
    EXPECT_EQ(r.status, kExitRefused) << r.err;
    EXPECT_EQ(r.err,
              "quorvel-console: Collector Exception: Please enter gateway instance for "
              "destination QASDB_SAPCCMSR\n");
    // The logon passed and was stored; the refused folder was removed again.
    EXPECT_EQ(Store().GetString(u"Logon", u"Password").empty(), false);
    EXPECT_TRUE(fs::is_empty("DATA"));
}

// The rule lives in the step, not in a drop-down list: a given gateway that
// is no server of the system is refused as the page refuses one, every time.
TEST_F(ConsoleProcessTest, AGivenGatewayThatIsNoServerIsRefusedEveryTime) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    const std::string before = StoredFile();
    for (int run = 0; run < 2; ++run) {
        const ProcessResult r = Run({"--database", "QASDB_SAPCCMSR,,nosuch_QAS_99"},
                                    {{"QUORVEL_PASSWORD", "secret"}});
        EXPECT_EQ(r.status, kExitRefused) << r.err;
        EXPECT_EQ(r.err,
                  "quorvel-console: Collector Exception: Please enter gateway instance for "
                  "destination QASDB_SAPCCMSR\n");
        EXPECT_TRUE(Store().GetString(u"QAS", u"Gateway1").empty());
    }
}

TEST_F(ConsoleProcessTest, StoreOnlyChecksTheDataDirectoryAsAStartWould) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    std::ofstream("afile") << "x";
    const std::u16string before = Store().GetString(u"Data", u"Path");
    const ProcessResult bad = Run({"--store-only", "--data-dir", "afile/sub"},
                                  {{"QUORVEL_PASSWORD", "secret"}});
    EXPECT_NE(bad.status, kExitDone) << bad.err;
    EXPECT_NE(bad.err.find("unable to create directory"), std::string::npos) << bad.err;
    EXPECT_EQ(Store().GetString(u"Data", u"Path"), before);

    const ProcessResult longer = Run({"--store-only", "--data-dir", "/" + std::string(260, 'd')},
                                     {{"QUORVEL_PASSWORD", "secret"}});
    EXPECT_EQ(longer.status, kExitRefused) << longer.err;
    EXPECT_EQ(longer.err,
              "quorvel-console: Collector Exception: Please enter a data directory path of at "
              "most 260 characters.\n");
    EXPECT_EQ(Store().GetString(u"Data", u"Path"), before);

    const ProcessResult good = Run({"--store-only", "--data-dir", "kept"},
                                   {{"QUORVEL_PASSWORD", "secret"}});
    EXPECT_EQ(good.status, kExitDone) << good.err;
    EXPECT_TRUE(fs::is_directory("kept"));
    EXPECT_TRUE(fs::is_empty("kept"));
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Data", u"Path")),
              fs::current_path().string() + "/kept/");
}

TEST_F(ConsoleProcessTest, BadOptionsAndUnusablePasswordFilesEndWithStatusTwo) {
    const ProcessResult bad = Run({"--colour", "red"});
    EXPECT_EQ(bad.status, kExitBadOptions);
    EXPECT_EQ(bad.err.rfind("quorvel-console: unknown option --colour\nusage:", 0), 0u) << bad.err;
    EXPECT_TRUE(bad.out.empty());

    const std::string file =
        WriteFile("pw", "SECRET", fs::perms::owner_read | fs::perms::others_read);
    const ProcessResult open = Run({"--password-file", file, "--check"});
    EXPECT_EQ(open.status, kExitBadOptions);
    EXPECT_NE(open.err.find("may be read by group or others"), std::string::npos) << open.err;
}

TEST_F(ConsoleProcessTest, StopSignalsEndAHangingLogonAtOnce) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec hang;
    hang.module = "RFC_SYSTEM_INFO";
    hang.action = r3sim::FaultAction::kHang;
    scenario.faults.push_back(hang);
    SimulatorSession sim(std::move(scenario));
    StoreSimulatorLogon();
    for (int signal : {SIGTERM, SIGINT}) {
        const std::string before = StoredFile();
        ConsoleProcess process({"--host", "qashost1"}, {{"QUORVEL_PASSWORD", "SECRET"}});
        // Stopped once the logon test is waiting for its answer.
        const auto end = std::chrono::steady_clock::now() + kRefusalLimit;
        const uint64_t calls = sim.System().Counters().Calls("RFC_SYSTEM_INFO");
        while (sim.System().Counters().Calls("RFC_SYSTEM_INFO") == calls &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(20ms);
        process.Signal(signal);
        const ProcessResult r = process.Finish(kStopLimit);
        EXPECT_FALSE(r.killed);
        EXPECT_EQ(r.status, 128 + signal) << r.err;
        EXPECT_NE(r.err.find("stopped during the start"), std::string::npos) << r.err;
        EXPECT_EQ(StoredFile(), before);
    }
}

// systemd's end of sd_notify: a datagram socket named by NOTIFY_SOCKET.
class NotifySocket {
  public:
    explicit NotifySocket(const std::string& path) : path_(path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~NotifySocket() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    // Every message sent so far, one per line.
    std::string Messages() {
        std::string all;
        char buffer[1024];
        ssize_t n;
        while ((n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            all.append(buffer, static_cast<size_t>(n)).append("\n");
        return all;
    }

  private:
    std::string path_;
    int fd_ = -1;
};

TEST_F(ConsoleProcessTest, AStopDuringThePasswordPromptRestoresTheEcho) {
    StoreSimulatorLogon();
    ASSERT_TRUE(Store().SetStrings(u"Logon", {{u"Password", u""}}));
    int master = -1, terminal = -1;
    ASSERT_EQ(::openpty(&master, &terminal, nullptr, nullptr, nullptr), 0);
    ConsoleProcess process({}, {}, terminal);
    ASSERT_TRUE(process.WaitForOutput("Password: ", kRefusalLimit, true));
    termios during{};
    ASSERT_EQ(::tcgetattr(terminal, &during), 0);
    EXPECT_EQ(during.c_lflag & ECHO, 0u);  // the prompt is not echoed
    process.Signal(SIGINT);
    const ProcessResult r = process.Finish(kStopLimit);
    EXPECT_EQ(r.status, 130) << r.err;
    termios after{};
    ASSERT_EQ(::tcgetattr(terminal, &after), 0);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    ::close(terminal);
    ::close(master);
}

TEST_F(ConsoleProcessTest, ASessionStoresTheGivenValuesAndEndsCleanlyOnSigterm) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    ASSERT_TRUE(Store().SetStrings(u"Logon", {{u"User", u"OLD"}, {u"Password", u""}}));
    NotifySocket notify(root_ + "/notify");
    ConsoleProcess process({"--user", "collector", "--data-dir", "collect"},
                           {{"QUORVEL_PASSWORD", "secret"}, {"NOTIFY_SOCKET", root_ + "/notify"}});
    ASSERT_TRUE(process.WaitForOutput("data capture started.", 60s));
    process.Signal(SIGTERM);
    const ProcessResult r = process.Finish(60s);
    // More time asked for during the start, ready only once capture has
    // started, stopping when it ends.
    const std::string messages = notify.Messages();
    EXPECT_EQ(messages.rfind("EXTEND_TIMEOUT_USEC=60000000\n", 0), 0u) << messages;
    EXPECT_GT(messages.find("READY=1\n"), messages.rfind("EXTEND_TIMEOUT_USEC"));
    EXPECT_NE(messages.find("STOPPING=1"), std::string::npos) << messages;
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_NE(r.out.find("data capture stopped."), std::string::npos) << r.out;
    EXPECT_EQ(Store().GetString(u"Logon", u"User"), u"COLLECTOR");
    // A password from the environment stays out of the settings.
    EXPECT_TRUE(Store().GetString(u"Logon", u"Password").empty());
    // The relative data directory lies below the working directory.
    EXPECT_EQ(platform::ToUtf8(Store().GetString(u"Data", u"Path")),
              fs::current_path().string() + "/collect/");
    EXPECT_FALSE(fs::is_empty("collect"));
}

// A server that takes a call and never answers: the stop cancels the call,
// the thread says so once, and the process ends with status 0 in time.
TEST_F(ConsoleProcessTest, AStopDuringACallThatNeverEndsEndsWithinTheBound) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec hang;
    hang.module = "SAPTUNE_GET_STORAGE_INFOS";
    hang.server = "qashost1_QAS_01";
    hang.action = r3sim::FaultAction::kHang;
    scenario.faults.push_back(hang);
    SimulatorSession sim(std::move(scenario));
    StoreSimulatorLogon();
    ConsoleProcess process({"--data-dir", "collect"}, {{"QUORVEL_PASSWORD", "SECRET"}});
    ASSERT_TRUE(process.WaitForOutput("data capture started.", 60s));
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (sim.System().Counters().Calls("qashost1_QAS_01", "SAPTUNE_GET_STORAGE_INFOS") == 0 &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(200ms);
    const auto stopped = std::chrono::steady_clock::now();
    process.Signal(SIGTERM);
    const ProcessResult r = process.Finish(20s);
    EXPECT_FALSE(r.killed);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 10s);
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_NE(r.out.find("data capture stopped."), std::string::npos) << r.out;
    size_t cancelled = 0;
    for (size_t at = 0; (at = r.out.find("cancelled: stopping", at)) != std::string::npos; ++at)
        ++cancelled;
    EXPECT_EQ(cancelled, 1u) << r.out;
}

// Scrapers that trickle their requests or never read their answers: the
// endpoint closes them and the stop ends in time.
TEST_F(ConsoleProcessTest, AStopWithStalledScrapersEndsWithinTheBound) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    ConsoleProcess process({"--metrics-listen", "127.0.0.1:0", "--data-dir", "collect"},
                           {{"QUORVEL_PASSWORD", "SECRET"}});
    ASSERT_TRUE(process.WaitForOutput("data capture started.", 60s));
    const std::string marker = "live figures at http://127.0.0.1:";
    const size_t at = process.Output().find(marker);
    ASSERT_NE(at, std::string::npos) << process.Output();
    const int port = std::atoi(process.Output().c_str() + at + marker.size());
    std::vector<int> scrapers;
    for (int i = 0; i < 16; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int small = 1024;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string request = i % 2 ? "GET /metrics HTTP/1.1\r\n\r\n" : "GET /me";
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        scrapers.push_back(fd);
    }
    const auto stopped = std::chrono::steady_clock::now();
    process.Signal(SIGTERM);
    const ProcessResult r = process.Finish(20s);
    EXPECT_FALSE(r.killed);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 10s);
    EXPECT_EQ(r.status, kExitDone) << r.err;
    for (int fd : scrapers) ::close(fd);
}

// The environment's password is gone from /proc/PID/environ at once, a
// password with a blank logs on, and a refusal shows no part of it.
TEST_F(ConsoleProcessTest, APasswordLeavesTheEnvironmentAndNoMessageShowsIt) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::UserSpec user = scenario.users.front();
    user.name = "SPACED";
    user.password = "S\"E T X";
    scenario.users.push_back(user);
    SimulatorSession sim(std::move(scenario));
    StoreSimulatorLogon();
    ASSERT_TRUE(Store().SetStrings(u"Logon", {{u"Password", u""}}));
    ConsoleProcess process({"--user", "spaced", "--data-dir", "collect"},
                           {{"QUORVEL_PASSWORD", "S\"E T X"}});
    ASSERT_TRUE(process.WaitForOutput("data capture started.", 60s)) << process.Output();
    std::ifstream in("/proc/" + std::to_string(process.Pid()) + "/environ", std::ios::binary);
    const std::string environ(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(environ.find("QUORVEL_"), std::string::npos) << "the test reads the environment";
    EXPECT_EQ(environ.find("E T X"), std::string::npos);
    process.Signal(SIGTERM);
    EXPECT_EQ(process.Finish(20s).status, kExitDone);
    EXPECT_TRUE(Store().GetString(u"Logon", u"Password").empty());

    for (const char* wrong : {"SEC RET", "SEC\"RET"}) {
        const ProcessResult r = Run({"--check"}, {{"QUORVEL_PASSWORD", wrong}});
        EXPECT_EQ(r.status, kExitRefused) << r.err;
        EXPECT_EQ(r.err.find("SEC"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("RET"), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("RET"), std::string::npos) << r.out;
    }
}

// Every session folder below a data directory.
std::vector<fs::path> SessionFolders(const fs::path& dataDir) {
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir, ec))
        if (entry.is_directory()) folders.push_back(entry.path());
    return folders;
}

TEST_F(ConsoleProcessTest, ASecondCollectorForTheSameSystemAndDirectoryIsRefused) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    ConsoleProcess first({"--data-dir", "collect"}, {{"QUORVEL_PASSWORD", "SECRET"}});
    ASSERT_TRUE(first.WaitForOutput("data capture started.", 60s));
    const ProcessResult second = Run({"--data-dir", "collect"}, {{"QUORVEL_PASSWORD", "SECRET"}});
    EXPECT_EQ(second.status, kExitStartFailed) << second.err;
    EXPECT_NE(second.err.find("another collector (process " + std::to_string(first.Pid()) +
                              ") collects from system QAS into "),
              std::string::npos)
        << second.err;
    // Another data directory is another collector's own.
    ConsoleProcess other({"--data-dir", "elsewhere"}, {{"QUORVEL_PASSWORD", "SECRET"}});
    EXPECT_TRUE(other.WaitForOutput("data capture started.", 60s)) << other.Output();
    other.Signal(SIGTERM);
    EXPECT_EQ(other.Finish(20s).status, kExitDone);
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Finish(20s).status, kExitDone);
    // The first one's folder is whole: one folder, its files kept.
    const auto folders = SessionFolders("collect");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(fs::exists(folders[0] / "pc.ctl"));
    // Once it has ended, a new one may start.
    ConsoleProcess again({"--data-dir", "collect"}, {{"QUORVEL_PASSWORD", "SECRET"}});
    EXPECT_TRUE(again.WaitForOutput("data capture started.", 60s)) << again.Output();
    again.Signal(SIGTERM);
    EXPECT_EQ(again.Finish(20s).status, kExitDone);
}

TEST_F(ConsoleProcessTest, AFailedStartRemovesTheFolderItMade) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers[2].refuseLogons = true;  // its connection test fails the start
    SimulatorSession sim(std::move(scenario));
    StoreSimulatorLogon();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ProcessResult r =
            Run({"--data-dir", "collect"}, {{"QUORVEL_PASSWORD", "SECRET"}}, 60s);
        EXPECT_EQ(r.status, kExitStartFailed) << r.err << r.out;
        EXPECT_FALSE(r.err.empty());
        EXPECT_NE(r.out.find("created directory"), std::string::npos) << r.out;
        EXPECT_TRUE(SessionFolders("collect").empty());
    }
}

// One plain HTTP/1.0 GET on loopback; the whole answer, or "" when nothing answers.
std::string HttpGet(int port, const std::string& path) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval limit{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
            char buffer[8192];
            ssize_t n;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                answer.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return answer;
}

TEST_F(ConsoleProcessTest, LiveFiguresAreServedWhereAskedAndABusyAddressEndsTheStart) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    ConsoleProcess process({"--metrics-listen", "127.0.0.1:0"});
    ASSERT_TRUE(process.WaitForOutput("data capture started.", 60s));
    const std::string marker = "live figures at http://127.0.0.1:";
    const size_t at = process.Output().find(marker);
    ASSERT_NE(at, std::string::npos) << process.Output();
    const int port = std::atoi(process.Output().c_str() + at + marker.size());
    ASSERT_GT(port, 0);
    const std::string answer = HttpGet(port, "/metrics");
    EXPECT_NE(answer.find("200 OK"), std::string::npos) << answer.substr(0, 200);
    EXPECT_NE(answer.find("quorvel_build_info"), std::string::npos);
    EXPECT_NE(answer.find("system=\"QAS\""), std::string::npos);

    // A second collector on the same port is refused before it starts.
    const ProcessResult busy = Run({"--metrics-listen", "127.0.0.1:" + std::to_string(port)});
    EXPECT_EQ(busy.status, kExitStartFailed) << busy.err;
    EXPECT_EQ(busy.err.rfind("quorvel-console: --metrics-listen: ", 0), 0u) << busy.err;
    EXPECT_EQ(busy.out.find("created directory"), std::string::npos) << busy.out;

    process.Signal(SIGTERM);
    EXPECT_EQ(process.Finish(60s).status, kExitDone);
}

TEST_F(ConsoleProcessTest, TheCheckPassesOnTheDefaultSystemAndNamesWhatTheLimitedUserLacks) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    const std::string before = StoredFile();
    const ProcessResult good = Run({"--check", "--database", "QASDB_SAPCCMSR"}, {}, 60s);
    EXPECT_EQ(good.status, kExitDone) << good.out << good.err;
    EXPECT_NE(good.out.find("authorization S_RFC RFC_TYPE=FUGR RFC_NAME=THFB ACTVT=16: passed"),
              std::string::npos)
        << good.out;
    EXPECT_NE(good.out.find("connection to instance qashost2_QAS_02: passed"), std::string::npos);
    EXPECT_NE(good.out.find("database server QASDB_SAPCCMSR through qashost1_QAS_00: passed"),
              std::string::npos)
        << good.out;
    EXPECT_NE(good.out.find("pre-flight check passed:"), std::string::npos);
    EXPECT_EQ(StoredFile(), before);  // a check stores nothing
    EXPECT_FALSE(fs::exists("DATA"));

    const ProcessResult limited =
        Run({"--check", "--user", "LIMITED"}, {{"QUORVEL_PASSWORD", "LIMITED"}}, 60s);
    EXPECT_EQ(limited.status, kExitRefused) << limited.out << limited.err;
    EXPECT_NE(limited.out.find("authorization S_RFC RFC_TYPE=FUGR RFC_NAME=THFB ACTVT=16: failed"),
              std::string::npos)
        << limited.out;
    EXPECT_NE(limited.out.find("authorization S_ADMI_FCD S_ADMI_FCD=SM21: failed"),
              std::string::npos);
    EXPECT_NE(limited.out.find("pre-flight check failed: 2 of "), std::string::npos) << limited.out;
    EXPECT_EQ(StoredFile(), before);
}

TEST_F(ConsoleProcessTest, TheCheckRunsThroughTheNetWeaverLibraryAndNamesIt) {
    SimulatorSession sim;
    StoreSimulatorLogon();
    const ProcessResult good =
        Run({"--check", "--rfc-library", QUORVEL_NWRFC_LIBRARY, "--database", "QASDB_SAPCCMSR"},
            {}, 60s);
    EXPECT_EQ(good.status, kExitDone) << good.out << good.err;
    EXPECT_EQ(good.out.rfind(std::string("RFC library: NetWeaver RFC library ") +
                                 QUORVEL_NWRFC_LIBRARY + ", version 7500.",
                             0),
              0u)
        << good.out;
    EXPECT_NE(good.out.find("pre-flight check passed:"), std::string::npos) << good.out;

    // A wrong password: the wizard's refusal, as through our own protocol.
    const ProcessResult wrong = Run({"--check", "--rfc-library", QUORVEL_NWRFC_LIBRARY},
                                    {{"QUORVEL_PASSWORD", "WRONG"}}, 60s);
    EXPECT_EQ(wrong.status, kExitRefused) << wrong.out << wrong.err;
    EXPECT_NE(wrong.err.find("Name or password is incorrect"), std::string::npos) << wrong.err;

    // A library that is not there ends the start with one line.
    const ProcessResult missing =
        Run({"--check", "--rfc-library", "/nonexistent/libsapnwrfc.so"}, {}, 60s);
    EXPECT_EQ(missing.status, kExitStartFailed);
    EXPECT_EQ(missing.err.rfind(
                  "quorvel-console: cannot load the RFC library /nonexistent/libsapnwrfc.so: ", 0),
              0u)
        << missing.err;
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;
}

TEST_F(ConsoleProcessTest, TheProgramLinksNoWidgetsAndPrintsNoPlatformLines) {
    std::FILE* ldd = ::popen("ldd " QUORVEL_CONSOLE_PATH, "r");
    ASSERT_NE(ldd, nullptr);
    std::string libraries;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, ldd)) libraries += buffer;
    ::pclose(ldd);
    EXPECT_NE(libraries.find("libQt6Core"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6Widgets"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6Gui"), std::string::npos) << libraries;

    const ProcessResult help = Run({"--help"});
    EXPECT_EQ(help.status, kExitDone);
    EXPECT_TRUE(help.err.empty()) << help.err;
    EXPECT_NE(help.out.find("--check"), std::string::npos);
}

}  // namespace
}  // namespace consoletest
