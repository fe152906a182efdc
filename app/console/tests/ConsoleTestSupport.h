// Test support for the headless front end: a private settings directory
// and a program directory that is the current directory, as the service
// and the shell give them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/settings/SettingsStore.h"
#include "platform/TextCodec.h"

namespace consoletest {

namespace fs = std::filesystem;

class ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-console-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/config");
        fs::create_directories(root_ + "/program");
        if (const char* previous = std::getenv(settings::kDirectoryEnv))
            previousSettings_ = previous;
        ::setenv(settings::kDirectoryEnv, (root_ + "/config").c_str(), 1);
        ::unsetenv("QUORVEL_PASSWORD");
        ::unsetenv("CREDENTIALS_DIRECTORY");
        previousDirectory_ = fs::current_path();
        fs::current_path(root_ + "/program");
    }
    void TearDown() override {
        fs::current_path(previousDirectory_);
        if (previousSettings_) {
            ::setenv(settings::kDirectoryEnv, previousSettings_->c_str(), 1);
        } else {
            ::unsetenv(settings::kDirectoryEnv);
        }
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    settings::SettingsStore Store() const {
        return settings::SettingsStore(settings::kCollectorApp);
    }
    // The settings file as bytes ("" when there is none).
    std::string StoredFile() const {
        std::ifstream in(Store().FilePath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string WriteFile(const std::string& name, const std::string& text, fs::perms mode) {
        const std::string path = root_ + "/" + name;
        std::ofstream(path) << text;
        fs::permissions(path, mode);
        return path;
    }

    std::string root_;
    fs::path previousDirectory_;
    std::optional<std::string> previousSettings_;
};

}  // namespace consoletest
