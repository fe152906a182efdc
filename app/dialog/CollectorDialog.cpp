#include "app/dialog/CollectorDialog.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>
#include <cstdlib>
#include <exception>

#include "app/dialog/ReductionProgram.h"
#include "collect/SystemThread.h"
#include "collect/core/CatchConvention.h"
#include "collect/core/CollectorException.h"
#include "collect/core/MessageChannel.h"
#include "platform/AnsiTextFile.h"
#include "platform/Directory.h"
#include "platform/FixedText.h"
#include "wizard/MessageBox.h"
#include "wizard/QtText.h"
#include "wizard/WaitCursor.h"
#include "wizard/settings/SettingsStore.h"

namespace {

constexpr char16_t kLogFile[] = u"collector.log";
constexpr char16_t kBusyText[] = u"Please press the STOP button before exiting program.";

// The application icon, drawn rather than loaded so the program needs no
// resource files beside it.
QIcon MakeIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 84, 147));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 28, 28);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(9, 22, 14, 14);
    painter.drawLine(14, 14, 18, 19);
    painter.drawLine(18, 19, 24, 9);
    return QIcon(pixmap);
}

}  // namespace

CCollectorDialog::CCollectorDialog(QWidget* parent)
    : QDialog(parent), CWizardUserInterface(this), m_hIcon(MakeIcon()) {
    setWindowTitle(Caption());
    setWindowIcon(m_hIcon);
    // 375 x 210 dialog units at the usual 8-point font.
    resize(563, 341);

    m_pStartStop = new QPushButton(QStringLiteral("Start"), this);
    m_pStartStop->setObjectName(QStringLiteral("StartStop"));
    m_pStartStop->setDefault(true);
    m_pExit = new QPushButton(QStringLiteral("Exit"), this);
    m_pExit->setObjectName(QStringLiteral("Exit"));
    m_pExit->setAutoDefault(false);
    m_pMessageList = new QListWidget(this);
    m_pMessageList->setObjectName(QStringLiteral("Messages"));
    m_pMessageList->setSelectionMode(QAbstractItemView::NoSelection);
    m_pMessageList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pMessageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMessageList->setFocusPolicy(Qt::NoFocus);
    auto* label = new QLabel(QStringLiteral("Messages"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pStartStop);
    buttons->addWidget(m_pExit);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(label);
    layout->addWidget(m_pMessageList, 1);
    setTabOrder(m_pStartStop, m_pExit);

    connect(m_pStartStop, &QPushButton::clicked, this, [this] { OnStartStop(); });
    connect(m_pExit, &QPushButton::clicked, this, [this] { reject(); });
    connect(&m_Clock, &QTimer::timeout, this, [this] { OnClockTimer(); });
    m_Clock.start(kClockPeriodMs);

    SetUserInterface(this);
    MessageChannel::Instance().SetMainWindow(this);
    UpdateCommandRules();
}

CCollectorDialog::~CCollectorDialog() {
    m_Clock.stop();
    // The session's threads may post until they have ended.
    m_pSystemThread.reset();
    MessageChannel::Instance().SetMainWindow(nullptr);
    if (CurrentUserInterface() == this) SetUserInterface(nullptr);
}

QString CCollectorDialog::Caption() {
    return QStringLiteral("Quorvel Collector 4.0.3.0");
}

std::unique_ptr<CSystemThread> CCollectorDialog::CreateSystemThread() {
    return std::make_unique<CSystemThread>();
}

void CCollectorDialog::UpdateCommandRules() {
    m_pStartStop->setEnabled(!m_bStarting && !m_bStopping);
    m_pExit->setEnabled(!IsBusy());
}

void CCollectorDialog::OnClockTimer() {
    const platform::DateTime now = platform::CurrentLocalTime();
    const int minute = m_ClockState.Poll(&now);
    if (minute >= 0) OnMinuteTick(minute);
}

void CCollectorDialog::OnMinuteTick(int minute) {
    if (!m_bRunning || !m_pSystemThread) return;
    if (CCollectionClock::SignalMinuteTick(*m_pSystemThread, minute))
        m_bQuarterHourSignalled = true;
}

void CCollectorDialog::OnStartStop() {
    if (m_bRunning) {
        Stop();
    } else {
        Start();
    }
}

void CCollectorDialog::Start() {
    m_bStarting = true;
    UpdateCommandRules();
    wizard::WaitCursor cursor;
    try {
        m_pSystemThread.reset();
        m_pSystemThread = CreateSystemThread();
        m_pSystemThread->Start();
        m_pSystemThread->SetOpenRequest();
        cursor.Restore();
        repaint();
        m_pStartStop->setText(QStringLiteral("Stop"));
        m_bRunning = true;
    } catch (const CException& e) {
        const std::u16string text = e.ReportText();
        cursor.Restore();
        wizard::ShowMessageBox(this, text, wizard::MessageIcon::Stop);
        WriteMessage(platform::ReplaceAll(text, u"\n", u" "));
        ResetToIdle();
    } catch (...) {
        cursor.Restore();
        wizard::ShowMessageBox(this,
                               LowLevelTrapText(u"CCollectorDialog::Start", TrapStyle::MessageBox),
                               wizard::MessageIcon::Stop);
        WriteMessage(LowLevelTrapText(u"CCollectorDialog::Start", TrapStyle::Posted));
        ResetToIdle();
    }
    m_bStarting = false;
    UpdateCommandRules();
}

void CCollectorDialog::ResetToIdle() {
    m_bRunning = m_bStarting = m_bStopping = false;
    m_pSystemThread.reset();
    m_pStartStop->setText(QStringLiteral("Start"));
    UpdateCommandRules();
}

void CCollectorDialog::Stop() {
    m_bStopping = true;
    UpdateCommandRules();
    if (m_pSystemThread) {
        if (wizard::AskYesNo(this, u"Are you sure you want to stop?",
                             wizard::MessageIcon::Exclamation) != wizard::IDYES) {
            m_bStopping = false;
            UpdateCommandRules();
            return;
        }
        repaint();
        m_bRunning = false;
        wizard::WaitCursor cursor;
        m_strLastSession = m_pSystemThread->SessionDir();
        // Cancels every call in flight and waits for every collection thread to end.
        m_pSystemThread.reset();
    }
    m_bRunning = false;
    m_bStopping = false;
    m_pStartStop->setText(QStringLiteral("Start"));
    UpdateCommandRules();
    if (m_bQuarterHourSignalled &&
        wizard::AskYesNo(this, u"Do you want to begin data reduction?",
                         wizard::MessageIcon::Question) == wizard::IDYES) {
        RunReported(
            u"CCollectorDialog::LaunchDataReduction", TrapStyle::Posted,
            [this] { LaunchDataReduction(); },
            [this](const std::u16string& text) { WriteMessage(text); });
    }
}

void CCollectorDialog::AddMessageLine(std::u16string_view line) {
    m_pMessageList->addItem(wizard::ToQt(line));
    if (m_pMessageList->count() > kMaxLines) delete m_pMessageList->takeItem(0);
    m_pMessageList->setCurrentRow(m_pMessageList->count() - 1);
    m_pMessageList->scrollToItem(m_pMessageList->currentItem());
    UpdateHorizontalExtent();
    repaint();
}

void CCollectorDialog::UpdateHorizontalExtent() {
    const QFontMetrics metrics(m_pMessageList->font());
    int widest = 0;
    for (int i = 0; i < m_pMessageList->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(m_pMessageList->item(i)->text()));
    m_nHorizontalExtent = widest;
}

void CCollectorDialog::WriteMessage(std::u16string_view text) {
    try {
        std::u16string line = MessageTimeStamp();
        line += u" : ";
        line += text;
        AddMessageLine(line);
        AppendToLogFile(line);
    } catch (const CException& e) {
        AddMessageLine(CutToErrorCapacity(e.ReportText()));
    } catch (...) {
        AddMessageLine(LowLevelTrapText(u"CCollectorDialog::WriteMessage", TrapStyle::Posted));
    }
}

void CCollectorDialog::AppendToLogFile(std::u16string_view line) {
    // Opened and closed per line, so a crash loses at most this line.
    platform::AppendLineToFile(kLogFile, line);
}

bool CCollectorDialog::LaunchProgram(const std::u16string& program,
                                     const std::u16string& session) {
    QStringList arguments;
    if (!session.empty()) arguments << wizard::ToQt(session);
    return QProcess::startDetached(wizard::ToQt(program), arguments);
}

void CCollectorDialog::LaunchDataReduction() {
    const settings::SettingsStore store(settings::kDataReductionApp);
    const char* path = std::getenv("PATH");
    std::u16string tried;
    const std::u16string program =
        LocateReductionProgram(store.GetString(u"Program", u"Path"),
                               platform::ProgramDirectory(), path ? path : "", tried);
    // The collector leaves while the data reduction runs; a program that
    // cannot be started leaves it idle, and says where it looked.
    if (program.empty()) {
        WriteMessage(u"data reduction not started: no program found at " + tried);
        return;
    }
    if (LaunchProgram(program, m_strLastSession)) {
        QDialog::reject();
        return;
    }
    WriteMessage(u"data reduction not started: cannot start " + program);
}

void CCollectorDialog::RepaintMainWindow() {
    repaint();
}

bool CCollectorDialog::PostMessage(unsigned, uintptr_t, intptr_t lParam) {
    const int slot = static_cast<int>(lParam);
    return QMetaObject::invokeMethod(
        this, [this, slot] { AddMessageLine(MessageChannel::Instance().Slot(slot)); },
        Qt::QueuedConnection);
}

void CCollectorDialog::RefuseExit() {
    wizard::ShowMessageBox(this, kBusyText, wizard::MessageIcon::Exclamation);
}

void CCollectorDialog::closeEvent(QCloseEvent* event) {
    if (IsBusy()) {
        RefuseExit();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CCollectorDialog::reject() {
    // Escape reaches here even while Exit is disabled; a session must not
    // end with the window that owns it while its start is still on the stack.
    if (IsBusy()) {
        RefuseExit();
        return;
    }
    QDialog::reject();
}
