// Test support for the main dialog: the wizard's private settings, program
// directory and driven clock, message boxes recorded and answered from a
// script, and a dialog whose wizard presses Next through every page.
#pragma once

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <deque>
#include <fstream>
#include <sstream>

#include "app/dialog/CollectorDialog.h"
#include "rfc/RfcConnection.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/tests/WizardTestSupport.h"

namespace dialogtest {

namespace fs = std::filesystem;

// The wizard run unattended with the values it shows; cancelled on request.
class CTestDialog : public CCollectorDialog {
  public:
    bool cancelWizard = false;
    std::vector<std::u16string> launched;
    std::vector<std::u16string> launchedOn;  // the session folder of each launch
    bool launchSucceeds = true;
    bool useRealLaunch = false;

  protected:
    int RunSheet(CConnectionPropertySheet& sheet) override {
        sheet.show();
        QCoreApplication::processEvents();
        if (cancelWizard) {
            sheet.PressCancel();
            return ID_WIZCANCEL;
        }
        for (int page = 0; page + 1 < sheet.GetPageCount(); ++page) {
            const int before = sheet.GetActiveIndex();
            sheet.PressNext();
            QCoreApplication::processEvents();
            if (sheet.GetActiveIndex() == before) {
                sheet.PressCancel();
                return ID_WIZCANCEL;
            }
        }
        sheet.PressFinish();
        QCoreApplication::processEvents();
        return sheet.result() == ID_WIZFINISH ? ID_WIZFINISH : ID_WIZCANCEL;
    }
    bool LaunchProgram(const std::u16string& program, const std::u16string& session) override {
        launched.push_back(program);
        launchedOn.push_back(session);
        if (useRealLaunch) return CCollectorDialog::LaunchProgram(program, session);
        return launchSucceeds;
    }
};

class DialogTest : public wizardtest::WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        wizard::SetMessageBoxHook([this](const wizard::MessageBoxRequest& request) {
            boxes_.push_back(request);
            if (!request.yesNo) return wizard::IDOK;
            if (answers_.empty()) return wizard::IDNO;
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
        StoreSimulatorLogon();
        dialog_ = std::make_unique<CTestDialog>();
        dialog_->show();
    }
    void TearDown() override {
        dialog_.reset();
        WizardTest::TearDown();
    }

    void At(int hour, int minute, int second) {
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 6, hour, minute, second));
        dialog_->OnClockTimer();
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < dialog_->MessageList()->count(); ++i)
            lines.push_back(dialog_->MessageList()->item(i)->text().toStdString());
        return lines;
    }
    std::string LogFile() const {
        std::ifstream in(programPath_ + "collector.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    template <typename Pred>
    static bool Eventually(Pred pred, int ms = 120000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (pred()) return true;
            QTest::qWait(20);
        }
        return pred();
    }

    std::deque<int> answers_;
    std::unique_ptr<CTestDialog> dialog_;
};

}  // namespace dialogtest
