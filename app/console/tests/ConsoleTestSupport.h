// Test support for the headless front end: the scratch settings and
// program directories, with no password in the environment.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/TextCodec.h"
#include "wizard/settings/tests/ScratchSettings.h"

namespace consoletest {

namespace fs = std::filesystem;

class ConsoleTest : public settingstest::ScratchSettings {
  protected:
    void SetUp() override {
        ScratchSettings::SetUp();
        ::unsetenv("QUORVEL_PASSWORD");
        ::unsetenv("CREDENTIALS_DIRECTORY");
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
};

}  // namespace consoletest
