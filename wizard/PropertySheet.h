// A property sheet in wizard mode: a caption, the current page's caption as
// a header, the pages one at a time, and the buttons Back, Next, Finish,
// Cancel and Help. Next and Finish share a place; the current page decides
// with SetWizardButtons which of them show.
//
// The sheet asks the current page before every move (OnWizardNext,
// OnWizardBack, OnWizardFinish, OnQueryCancel) and ends with ID_WIZFINISH
// when Finish is accepted; Cancel, Escape and closing the window end it with
// IDCANCEL after every page shown so far has heard OnCancel.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "wizard/PropertyPage.h"

class QLabel;
class QPushButton;
class QStackedWidget;

// The result of a finished wizard.
inline constexpr int ID_WIZFINISH = 0x3025;
inline constexpr int ID_WIZCANCEL = 2;

class CPropertySheet : public QDialog {
    Q_OBJECT

  public:
    explicit CPropertySheet(QString caption, QWidget* parent = nullptr);

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_Pages.size()); }
    CPropertyPage* GetPage(int index) const { return m_Pages.at(static_cast<size_t>(index)); }
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }

    // Runs the wizard modally: ID_WIZFINISH or ID_WIZCANCEL.
    int DoModal();

    void SetWizardButtons(int flags);
    int WizardButtons() const { return m_nButtons; }

    QPushButton* BackButton() const { return m_pBack; }
    QPushButton* NextButton() const { return m_pNext; }
    QPushButton* FinishButton() const { return m_pFinish; }
    QPushButton* CancelButton() const { return m_pCancel; }
    QPushButton* HelpButton() const { return m_pHelp; }

    // The button actions, as pressing them does.
    void PressBack();
    void PressNext();
    void PressFinish();
    void PressCancel();

  public slots:
    void reject() override;

  protected:
    // Base initialisation; runs when the sheet is first shown.
    virtual void OnInitDialog();
    void showEvent(QShowEvent* event) override;

  private:
    bool SetActivePage(int index);
    void ScheduleIdle();

    std::vector<CPropertyPage*> m_Pages;
    QLabel* m_pHeader = nullptr;
    QStackedWidget* m_pStack = nullptr;
    QPushButton *m_pBack = nullptr, *m_pNext = nullptr, *m_pFinish = nullptr, *m_pCancel = nullptr,
                *m_pHelp = nullptr;
    int m_nActive = -1;
    int m_nButtons = 0;
    bool m_bStarted = false;
    bool m_bIdlePending = false;
};
