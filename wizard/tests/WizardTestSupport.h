// Test support for the wizard: a private settings directory, a program
// directory that is the current directory, a clock that moves only when
// told to, and the message boxes recorded and answered with OK.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/SettingsStore.h"
#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"

namespace wizardtest {

namespace fs = std::filesystem;

class WizardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-wizard-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/config");
        fs::create_directories(root_ + "/program");
        if (const char* previous = std::getenv(settings::kDirectoryEnv))
            previousSettings_ = previous;
        ::setenv(settings::kDirectoryEnv, (root_ + "/config").c_str(), 1);
        previousDirectory_ = fs::current_path();
        fs::current_path(root_ + "/program");
        programPath_ = fs::current_path().string() + "/";

        clock_ = std::make_shared<platform::ManualTimeSource>(std::chrono::system_clock::now());
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 6, 15, 7, 0));
        platform::SetTimeSource(clock_);

        wizard::SetMessageBoxHook([this](const wizard::MessageBoxRequest& request) {
            boxes_.push_back(request);
            return wizard::IDOK;
        });
    }

    void TearDown() override {
        wizard::SetMessageBoxHook({});
        platform::SetTimeSource(nullptr);
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

    // The text of the only message box shown since the last call, or a
    // note of how many there were.
    std::string TakeMessage() {
        std::string text;
        if (boxes_.size() == 1) {
            text = platform::ToUtf8(boxes_[0].text);
        } else {
            text = std::to_string(boxes_.size()) + " message boxes";
        }
        boxes_.clear();
        return text;
    }
    wizard::MessageIcon LastIcon() const {
        return boxes_.empty() ? wizard::MessageIcon::Information : boxes_.back().icon;
    }

    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QTest::keyClicks(edit, text);
        }
    }
    static void Click(QPushButton* button) {
        ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    static void ShowActive(QWidget* w) {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    static std::string Text(QLineEdit* edit) { return edit->text().toStdString(); }

    std::vector<std::string> Entries(const std::string& dir) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string root_;
    std::string programPath_;
    fs::path previousDirectory_;
    std::optional<std::string> previousSettings_;  // the variable as it was, if set
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::vector<wizard::MessageBoxRequest> boxes_;
};

}  // namespace wizardtest
