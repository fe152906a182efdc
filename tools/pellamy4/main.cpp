// pellamy4 [--no-browser] [--quiet] [session folder]: reduces a collector
// session into report.html and CSV files inside the folder. Without a
// folder it takes the one the collector created last, as after a stop.
// pellamy4 --out DIR FOLDER... or pellamy4 --out DIR --system SID --from DAY
// --to DAY DATA_DIR reduces several folders of one system (rotated ones)
// as one span into DIR.
// Exit status: 0 done, 1 the report could not be written, 2 no session
// folder (none given or recorded, or the folder is not a session).
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Directory.h"
#include "platform/TextCodec.h"
#include "tools/pellamy4/ProgramSettings.h"
#include "tools/pellamy4/Reduction.h"
#include "tools/pellamy4/SessionSpan.h"

extern char** environ;

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: pellamy4 [--no-browser] [--quiet] [session folder]\n"
                 "       pellamy4 [--no-browser] [--quiet] --out DIR FOLDER...\n"
                 "       pellamy4 [--no-browser] [--quiet] --out DIR --system SID\n"
                 "                --from YYYY-MM-DD --to YYYY-MM-DD DATA_DIR\n"
                 "Without a folder, the collector's last session folder is reduced.\n"
                 "Several folders of one system are reduced as one span, the report\n"
                 "and CSV files written to DIR.\n");
}

// Progress on the terminal: one line per large file, rewritten in place
// when stderr is a terminal.
class TerminalProgress {
  public:
    explicit TerminalProgress(bool quiet) : quiet_(quiet), tty_(::isatty(2) == 1) {}
    void operator()(const std::string& what, uint64_t done, uint64_t total) {
        if (quiet_ || total < kShownFrom) return;
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (what != current_) {
            if (tty_ && !current_.empty()) std::fputc('\n', stderr);
            current_ = what;
            last_ = -1;
            if (!tty_)
                std::fprintf(stderr, "pellamy4: reading %s (%.1f MB)\n", what.c_str(),
                             static_cast<double>(total) / 1e6);
        }
        if (tty_ && percent != last_) {
            std::fprintf(stderr, "\rpellamy4: reading %s (%.1f MB) %3d%%", what.c_str(),
                         static_cast<double>(total) / 1e6, percent);
            std::fflush(stderr);
        }
        last_ = percent;
    }
    void Finish() {
        if (tty_ && !current_.empty()) std::fputc('\n', stderr);
        current_.clear();
    }

  private:
    static constexpr uint64_t kShownFrom = 4u << 20;
    bool quiet_, tty_;
    std::string current_;
    int last_ = -1;
};

// Opens the report in the user's browser when a display is there; the
// browser runs on after this program ends.
void OpenInBrowser(const std::string& path) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return;
    const char* opener = std::getenv("BROWSER");
    std::string program = opener != nullptr && *opener != 0 ? opener : "xdg-open";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {program.data(), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
        std::fprintf(stderr, "pellamy4: could not start %s; open %s in a browser\n",
                     program.c_str(), path.c_str());
    posix_spawn_file_actions_destroy(&actions);
}

// Several folders as one span: named, or those of a system between two days.
int ReduceSpanOf(std::vector<std::string> folders, const std::string& outDir,
                 const std::string& system, const std::string& fromDay, const std::string& toDay,
                 bool browser, bool quiet) {
    if (outDir.empty()) {
        std::fprintf(stderr, "pellamy4: a span of folders needs --out DIR for its report\n");
        return 2;
    }
    TerminalProgress progress(quiet);
    try {
        if (!system.empty()) {
            if (fromDay.empty() || toDay.empty() || folders.size() != 1) {
                std::fprintf(stderr, "pellamy4: --system takes --from, --to and one DATA_DIR\n");
                return 2;
            }
            folders = pellamy::FoldersOfSystem(folders.front(), system, fromDay, toDay);
            if (folders.empty()) {
                std::fprintf(stderr, "pellamy4: no session folder of %s from %s to %s\n",
                             system.c_str(), fromDay.c_str(), toDay.c_str());
                return 2;
            }
        }
        if (folders.empty()) {
            Usage();
            return 2;
        }
        if (!quiet) std::fprintf(stderr, "pellamy4: reducing %zu folders\n", folders.size());
        const pellamy::ReductionResult result = pellamy::ReduceSpan(
            folders, outDir, [&](const std::string& what, uint64_t done, uint64_t total) {
                progress(what, done, total);
            });
        progress.Finish();
        if (!quiet)
            std::printf("pellamy4: wrote %s and %zu CSV files (%llu dialog steps, %zu notes)\n",
                        result.reportPath.c_str(), result.files.size() - 1,
                        static_cast<unsigned long long>(result.dialogSteps), result.notes);
        if (browser) OpenInBrowser(result.reportPath);
        return 0;
    } catch (const pellamy::NotASession& e) {
        progress.Finish();
        std::fprintf(stderr, "pellamy4: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        progress.Finish();
        std::fprintf(stderr, "pellamy4: %s\n", e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool browser = true, quiet = false;
    std::vector<std::string> folders;
    std::string outDir, system, fromDay, toDay;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "--out"      ? &outDir
                             : arg == "--system" ? &system
                             : arg == "--from"   ? &fromDay
                             : arg == "--to"     ? &toDay
                                                 : nullptr;
        if (value != nullptr) {
            if (i + 1 >= argc || argv[i + 1][0] == 0) {
                std::fprintf(stderr, "pellamy4: %s needs a value\n", arg.c_str());
                return 2;
            }
            *value = argv[++i];
        } else if (arg == "--no-browser") {
            browser = false;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (arg.starts_with("-")) {
            Usage();
            return 2;
        } else {
            folders.push_back(arg);
        }
    }
    const bool span = !outDir.empty() || !system.empty() || folders.size() > 1;
    if (span) return ReduceSpanOf(folders, outDir, system, fromDay, toDay, browser, quiet);
    std::string folder = folders.empty() ? std::string() : folders.front();

    // Let the collector find this program after its next stop.
    std::string error;
    if (!pellamy::RecordProgramDirectory(platform::ToUtf8(platform::ProgramDirectory()), error))
        std::fprintf(stderr, "pellamy4: could not record the program directory: %s\n",
                     error.c_str());

    if (folder.empty()) {
        folder = pellamy::CollectorSessionPath();
        if (folder.empty()) {
            std::fprintf(stderr,
                         "pellamy4: no session folder given, and the collector has recorded "
                         "none (its setting Session/Path is empty)\n");
            Usage();
            return 2;
        }
    }

    TerminalProgress progress(quiet);
    pellamy::ReductionResult result;
    try {
        if (!quiet) std::fprintf(stderr, "pellamy4: reducing %s\n", folder.c_str());
        result =
            pellamy::ReduceSession(folder, [&](const std::string& what, uint64_t done,
                                               uint64_t total) { progress(what, done, total); });
        progress.Finish();
    } catch (const pellamy::NotASession& e) {
        progress.Finish();
        std::fprintf(stderr, "pellamy4: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        progress.Finish();
        std::fprintf(stderr, "pellamy4: %s\n", e.what());
        return 1;
    }
    if (!quiet)
        std::printf(
            "pellamy4: wrote %s and %zu CSV files (%llu dialog steps, %zu notes on "
            "files)\n",
            result.reportPath.c_str(), result.files.size() - 1,
            static_cast<unsigned long long>(result.dialogSteps), result.notes);
    if (browser) OpenInBrowser(result.reportPath);
    return 0;
}
