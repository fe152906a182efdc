// The widgets need one application object for every test of the binary.
// No test may touch the operator's own settings: they go to a directory of
// this run unless a test names its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "wizard/settings/SettingsStore.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char pattern[] = "/tmp/quorvel-wizard-run-XXXXXX";
    const char* settingsDir = ::mkdtemp(pattern);
    if (settingsDir) ::setenv(settings::kDirectoryEnv, settingsDir, 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    if (settingsDir) {
        std::error_code ec;
        std::filesystem::remove_all(settingsDir, ec);
    }
    return rc;
}
