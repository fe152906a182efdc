#include "app/dialog/CollectorApp.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <clocale>
#include <exception>

#include "app/dialog/CollectorDialog.h"
#include "collect/core/CatchConvention.h"
#include "collect/core/MessageChannel.h"
#include "platform/Exception.h"
#include "platform/SystemInformation.h"
#include "platform/TextCodec.h"
#include "rfc/RfcLibraryChoice.h"
#include "wizard/MessageBox.h"
#include "wizard/settings/SettingsStore.h"

CCollectorApp::CCollectorApp(KernelSource kernel) : m_Kernel(std::move(kernel)) {}

CCollectorApp::~CCollectorApp() = default;

void CCollectorApp::ShowSplash() {
    QPixmap picture(360, 160);
    picture.fill(QColor(0, 84, 147));
    {
        QPainter painter(&picture);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPointSize(18);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(picture.rect(), Qt::AlignCenter, CCollectorDialog::Caption());
    }
    m_pSplash = std::make_unique<QSplashScreen>(picture);
    m_pSplash->show();
    // It closes itself; start-up goes on while it is shown.
    QTimer::singleShot(kSplashMs, m_pSplash.get(), &QWidget::close);
}

bool CCollectorApp::ChooseRfcLibrary() {
    const settings::SettingsStore store(settings::kCollectorApp);
    const RfcLibraryChoice stored{platform::ToUtf8(store.GetString(u"RFC", u"Library")),
                                  platform::ToUtf8(store.GetString(u"RFC", u"Options"))};
    std::u16string error;
    if (UseRfcLibrary(RfcLibraryFromEnvironment(stored), error)) return true;
    wizard::ShowMessageBox(nullptr, error, wizard::MessageIcon::Stop);
    m_nExitCode = 1;
    return false;
}

void CCollectorApp::RunMainDialog() {
    CCollectorDialog dialog;
    dialog.exec();
}

bool CCollectorApp::InitInstance() {
    try {
        if (!platform::RunsOnBuildPlatform(m_Kernel())) {
            wizard::ShowMessageBox(nullptr, u"Program will only run on Windows 2000/XP!",
                                   wizard::MessageIcon::Information);
            return false;
        }
        QApplication::setApplicationName(QStringLiteral("quorvel"));
        QApplication::setApplicationDisplayName(CCollectorDialog::Caption());
        QApplication::setOrganizationName(QString::fromLatin1(kSettingsRoot));
        if (!ChooseRfcLibrary()) return false;
        ShowSplash();
        // English names in time stamps and text; the text files get their
        // code page from the platform layer, not from this locale.
        if (std::setlocale(LC_ALL, "en_US.UTF-8") == nullptr) std::setlocale(LC_ALL, "C");
        RunMainDialog();
    } catch (const CException& e) {
        wizard::ShowMessageBox(nullptr, CutToErrorCapacity(e.ReportText()),
                               wizard::MessageIcon::Stop);
    } catch (...) {
        wizard::ShowMessageBox(
            nullptr, LowLevelTrapText(u"CCollectorApp::InitInstance", TrapStyle::MessageBox),
            wizard::MessageIcon::Stop);
    }
    return false;
}
