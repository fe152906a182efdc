// Takes the README's pictures of the wizard: each page and the connection
// test window, grabbed offscreen while the wizard talks to the in-process
// simulated system. Usage: wizard_screenshots OUTPUT_DIRECTORY
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "rfc/tests/support/SimulatorSession.h"
#include "wizard/ConnectionDialog.h"
#include "wizard/ConnectionPropertySheet.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/tests/ScreenshotScratch.h"

namespace {

bool Save(QWidget* w, const std::string& path) {
    QApplication::processEvents();
    if (!w->grab().save(QString::fromStdString(path))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

int main(int argc, char** argv) {
    ScreenshotScratch scratch;
    if (!scratch.Open(argc, argv)) return 2;
    const std::string out = scratch.Out("");

    QApplication app(argc, argv);
    int failures = 0;
    wizard::SetMessageBoxHook([&failures](const wizard::MessageBoxRequest& r) {
        std::fprintf(stderr, "message: %s\n", wizard::ToQt(r.text).toUtf8().constData());
        ++failures;
        return wizard::IDOK;
    });
    {
        SimulatorSession sim;
        std::vector<tagSERVERLIST> servers;
        std::vector<tagREMOTELIST> remotes;
        CConnectionPropertySheet sheet;
        sheet.SetServerList(&servers);
        sheet.SetRemoteList(&remotes);
        sheet.show();
        CLogonPropertyPage& logon = sheet.m_LogonPage;
        Type(logon.Control(CLogonPropertyPage::IDC_HOSTNAME), "qashost1");
        Type(logon.Control(CLogonPropertyPage::IDC_CLIENT), "100");
        Type(logon.Control(CLogonPropertyPage::IDC_USER), "collector");
        Type(logon.Control(CLogonPropertyPage::IDC_PASSWORD), "secret");
        if (!Save(&sheet, out + "wizard-logon.png")) ++failures;
        sheet.PressNext();
        // The picture shows a typical path; the folder is made in the scratch
        // directory.
        QLineEdit* directory = sheet.m_DirectoryPage.DirectoryEdit()->Edit();
        const QString scratch = directory->text();
        directory->setText(QStringLiteral("/srv/quorvel/DATA/"));
        if (!Save(&sheet, out + "wizard-directory.png")) ++failures;
        directory->setText(scratch);
        sheet.PressNext();
        CGridControl* grid = sheet.m_SaposcolPage.Grid();
        grid->SetCellText(1, 1, QStringLiteral("SAPCCMSR.DBHOST.99"));
        grid->SetCellText(1, 2, QStringLiteral("DB1"));
        grid->SetCellText(1, 3, QStringLiteral("qashost1_QAS_00"));
        if (!Save(&sheet, out + "wizard-database-servers.png")) ++failures;
        sheet.PressCancel();

        CConnectionTestWindow test;
        test.SetStatus(u"opening connection to instance qashost1_QAS_00.");
        QTest::qWait(400);
        if (!Save(&test.Dialog(), out + "wizard-connection-test.png")) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
