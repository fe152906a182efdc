// Takes the README's picture of the main window while it collects: the
// wizard finished with the simulated system's values, the threads' first
// messages in the list after a quarter-hour tick. Usage:
// dialog_screenshots OUTPUT_DIRECTORY
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/dialog/CollectorDialog.h"
#include "collect/SystemThread.h"
#include "rfc/RfcConnection.h"
#include "rfc/tests/support/SimulatorSession.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/settings/SettingsStore.h"
#include "wizard/tests/ScreenshotScratch.h"

namespace {

// Next through every page with the values shown, then Finish.
class CUnattendedDialog : public CCollectorDialog {
  protected:
    int RunSheet(CConnectionPropertySheet& sheet) override {
        sheet.show();
        for (int page = 0; page + 1 < sheet.GetPageCount(); ++page) {
            QApplication::processEvents();
            sheet.PressNext();
        }
        QApplication::processEvents();
        sheet.PressFinish();
        return sheet.result() == ID_WIZFINISH ? ID_WIZFINISH : ID_WIZCANCEL;
    }
};

bool StoreLogon() {
    std::u16string password = u"SECRET";
    CRfcConnection().ScramblePassword(password);
    return settings::SettingsStore(settings::kCollectorApp)
        .SetStrings(u"Logon", {{u"HostName", u"qashost1"},
                               {u"SystemNumber", u"00"},
                               {u"Client", u"100"},
                               {u"User", u"COLLECTOR"},
                               {u"Password", password},
                               {u"Language", u"EN"}});
}

}  // namespace

int main(int argc, char** argv) {
    ScreenshotScratch scratch;
    if (!scratch.Open(argc, argv)) return 2;
    const std::string out = scratch.Out("collector-running.png");

    QApplication app(argc, argv);
    // Stop: yes; data reduction: no.
    int answers = 0;
    wizard::SetMessageBoxHook([&answers](const wizard::MessageBoxRequest& r) {
        if (r.yesNo) return answers++ == 0 ? wizard::IDYES : wizard::IDNO;
        std::fprintf(stderr, "message: %s\n", wizard::ToQt(r.text).toUtf8().constData());
        return wizard::IDOK;
    });
    bool saved = false;
    if (StoreLogon()) {
        SimulatorSession sim;
        CUnattendedDialog dialog;
        dialog.show();
        dialog.Start();
        if (dialog.IsRunning()) {
            QTest::qWait(1500);
            dialog.OnMinuteTick(15);
            QTest::qWait(2500);
            saved = dialog.grab().save(QString::fromStdString(out));
            if (saved) std::printf("%s\n", out.c_str());
            dialog.Stop();
        }
    }
    return saved ? 0 : 1;
}
