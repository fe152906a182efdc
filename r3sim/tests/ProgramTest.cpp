// The r3sim program: prints where it listens, runs every shipped scenario
// file and ends cleanly on SIGTERM and SIGINT.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct ProgramRun {
    std::string output;
    int status = -1;
};

// Starts r3sim, waits for its environment line, sends the signal and
// collects what it printed; every wait is bounded.
ProgramRun RunUntilSignal(int signal, const std::string& portBase,
                          const std::string& scenarioFile = {}) {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string program = R3SIM_PROGRAM;
    std::string flag = "--port-base";
    std::string scenarioFlag = "--scenario";
    std::vector<char*> argv = {program.data(), flag.data(), const_cast<char*>(portBase.c_str())};
    if (!scenarioFile.empty()) {
        argv.push_back(scenarioFlag.data());
        argv.push_back(const_cast<char*>(scenarioFile.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);

    ProgramRun run;
    bool signalled = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    char buffer[512];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd fd{pipeFds[0], POLLIN, 0};
        if (::poll(&fd, 1, 200) <= 0) continue;
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        run.output.append(buffer, static_cast<size_t>(n));
        if (!signalled && run.output.find("QUORVEL_RFC_HOSTS=") != std::string::npos) {
            ::kill(pid, signal);
            signalled = true;
        }
    }
    if (!signalled) ::kill(pid, SIGKILL);
    ::close(pipeFds[0]);
    ::waitpid(pid, &run.status, 0);
    return run;
}

TEST(R3simProgram, PrintsItsPortsAndStopsOnSigterm) {
    const ProgramRun run = RunUntilSignal(SIGTERM, "0");
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.output;
    EXPECT_NE(run.output.find("qashost2_QAS_02"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("export QUORVEL_RFC_PORT_BASE="), std::string::npos);
    EXPECT_NE(run.output.find("QUORVEL_RFC_HOSTS=qashost1=127.0.0.1,qashost2=127.0.0.2"),
              std::string::npos);
    EXPECT_NE(run.output.find("SIGTERM received"), std::string::npos) << run.output;
}

TEST(R3simProgram, StopsOnSigint) {
    const ProgramRun run = RunUntilSignal(SIGINT, "0");
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.output;
    EXPECT_NE(run.output.find("SIGINT received"), std::string::npos) << run.output;
}

// Each shipped scenario starts as a system: the program lists the servers
// it serves (the first of each file is named by host_SID_NN) and stops.
TEST(R3simProgram, RunsEveryShippedScenario) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(R3SIM_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        const ProgramRun run = RunUntilSignal(SIGTERM, "0", entry.path().string());
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.output;
        EXPECT_NE(run.output.find("QUORVEL_RFC_HOSTS="), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("SIGTERM received"), std::string::npos) << run.output;
        if (entry.path().filename() == "large.json") {
            // 200 servers on 100 hosts of their own addresses, two per host.
            size_t servers = 0;
            for (size_t at = 0; (at = run.output.find(" SYSNR ", at)) != std::string::npos; ++at)
                ++servers;
            EXPECT_EQ(servers, 200u);
            EXPECT_NE(run.output.find("host100=127.0.0.100"), std::string::npos);
            EXPECT_NE(run.output.find("SYSNR 01  127.0.0.100:"), std::string::npos);
        }
    }
    EXPECT_GE(files, 6);
}

}  // namespace
