// Test support for the wizard: the scratch settings and program
// directories, a clock that moves only when
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
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/settings/tests/ScratchSettings.h"

namespace wizardtest {

namespace fs = std::filesystem;

class WizardTest : public settingstest::ScratchSettings {
  protected:
    void SetUp() override {
        ScratchSettings::SetUp();
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
        ScratchSettings::TearDown();
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

    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::vector<wizard::MessageBoxRequest> boxes_;
};

}  // namespace wizardtest
