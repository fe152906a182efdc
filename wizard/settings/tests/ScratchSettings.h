// Test support for everything that reads the collector's settings: a
// private settings directory (QUORVEL_SETTINGS_DIR) and a program directory
// that is the current directory, both removed again, and the environment
// and the current directory restored as they were.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "rfc/RfcConnection.h"
#include "wizard/settings/SettingsStore.h"

namespace settingstest {

namespace fs = std::filesystem;

class ScratchSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/config");
        fs::create_directories(root_ + "/program");
        if (const char* previous = std::getenv(settings::kDirectoryEnv)) previousSettings_ = previous;
        ::setenv(settings::kDirectoryEnv, (root_ + "/config").c_str(), 1);
        previousDirectory_ = fs::current_path();
        fs::current_path(root_ + "/program");
        programPath_ = fs::current_path().string() + "/";
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

    // The simulated system's collector logon, stored as the wizard stores it.
    void StoreSimulatorLogon() {
        std::u16string password = u"SECRET";
        CRfcConnection().ScramblePassword(password);
        ASSERT_TRUE(Store().SetStrings(u"Logon", {{u"HostName", u"qashost1"},
                                                  {u"SystemNumber", u"00"},
                                                  {u"Client", u"100"},
                                                  {u"User", u"COLLECTOR"},
                                                  {u"Password", password},
                                                  {u"Language", u"EN"}}));
    }

    std::string root_;
    std::string programPath_;
    fs::path previousDirectory_;
    std::optional<std::string> previousSettings_;  // the variable as it was, if set
};

}  // namespace settingstest
