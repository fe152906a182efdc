// The collector's main window: it owns the one session of a collection run,
// starts and stops it, is the clock that drives every capture (a 500 ms
// timer turned into minute and quarter-hour ticks), shows every message line
// of the collection threads, logs its own start failures in collector.log,
// and after a stop offers to launch the data-reduction program.
//
// It is also the engine's user interface: the wizard and the connection-test
// window come from CWizardUserInterface; PostMessage hands a message slot
// over to the user-interface thread.
//
// Thread rules: user-interface thread only, except PostMessage (any thread).
#pragma once

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>

#include "collect/CollectionClock.h"
#include "wizard/WizardUserInterface.h"

class QListWidget;
class QPushButton;
class CSystemThread;

class CCollectorDialog : public QDialog, public CWizardUserInterface {
  public:
    static constexpr int IDC_STARTSTOP = 1001;
    static constexpr int IDC_MESSAGES = 1002;
    static constexpr int kMaxLines = 101;
    static constexpr int kClockPeriodMs = 500;

    explicit CCollectorDialog(QWidget* parent = nullptr);
    ~CCollectorDialog() override;

    static QString Caption();

    void OnStartStop();
    void Start();
    void Stop();
    // Time-stamps the text, shows it and appends it to collector.log.
    void WriteMessage(std::u16string_view text);
    // Appends one finished line to the list, keeping at most kMaxLines.
    void AddMessageLine(std::u16string_view line);
    void LaunchDataReduction();

    // One clock event: a minute tick at second 0 of local time.
    void OnClockTimer();
    void OnMinuteTick(int minute);

    // IUserInterface
    void RepaintMainWindow() override;
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override;

    bool IsRunning() const { return m_bRunning; }
    bool IsStarting() const { return m_bStarting; }
    bool IsStopping() const { return m_bStopping; }
    bool QuarterHourSignalled() const { return m_bQuarterHourSignalled; }
    CSystemThread* SystemThread() const { return m_pSystemThread.get(); }
    QPushButton* StartStopButton() const { return m_pStartStop; }
    QPushButton* ExitButton() const { return m_pExit; }
    QListWidget* MessageList() const { return m_pMessageList; }
    // Width in pixels of the longest line, the list's horizontal extent.
    int HorizontalExtent() const { return m_nHorizontalExtent; }

  protected:
    // The session of a run; tests give one of their own.
    virtual std::unique_ptr<CSystemThread> CreateSystemThread();
    // Starts the program detached on a session folder; false when it could
    // not be started.
    virtual bool LaunchProgram(const std::u16string& program, const std::u16string& session);

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void ResetToIdle();
    // The session that ran last: the one a data reduction reduces.
    std::u16string m_strLastSession;
    void UpdateCommandRules();
    void UpdateHorizontalExtent();
    void AppendToLogFile(std::u16string_view line);
    bool IsBusy() const { return m_bRunning || m_bStarting || m_bStopping; }
    void RefuseExit();

    QPushButton* m_pExit = nullptr;
    QListWidget* m_pMessageList = nullptr;
    QPushButton* m_pStartStop = nullptr;
    QIcon m_hIcon;
    bool m_bRunning = false;
    bool m_bStarting = false;
    bool m_bStopping = false;
    // Set by the first quarter-hour tick given to a session; never cleared.
    bool m_bQuarterHourSignalled = false;
    QTimer m_Clock;
    CCollectionClock m_ClockState;
    int m_nHorizontalExtent = 0;
    std::unique_ptr<CSystemThread> m_pSystemThread;
};
