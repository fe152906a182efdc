// What the screenshot programs share: the output directory from the command
// line, Qt's offscreen platform, and a scratch settings root and program
// directory that are removed again at the end.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "wizard/settings/SettingsStore.h"

class ScreenshotScratch {
  public:
    // False (with the usage written) unless exactly one directory is given.
    bool Open(int argc, char** argv) {
        if (argc != 2) {
            std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
            return false;
        }
        out_ = std::filesystem::absolute(argv[1]).string();
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        char pattern[] = "/tmp/quorvel-shots-XXXXXX";
        if (!::mkdtemp(pattern)) return false;
        root_ = pattern;
        std::filesystem::create_directories(root_ + "/quorvel");
        ::setenv(settings::kDirectoryEnv, root_.c_str(), 1);
        std::filesystem::current_path(root_ + "/quorvel");
        return true;
    }
    ~ScreenshotScratch() {
        if (root_.empty()) return;
        std::filesystem::current_path("/");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::string Out(const std::string& file) const { return out_ + "/" + file; }

  private:
    std::string out_, root_;
};
