// The base of the wizard's pages: the page-side half of a property-sheet
// wizard. The sheet (PropertySheet.h) calls the handlers below; a page keeps
// its values in fields and moves them to and from its controls in
// UpdateData.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QString>
#include <QWidget>

class CPropertySheet;

// Wizard button flags for CPropertySheet::SetWizardButtons.
inline constexpr int PSWIZB_BACK = 0x1;
inline constexpr int PSWIZB_NEXT = 0x2;
inline constexpr int PSWIZB_FINISH = 0x4;

class CPropertyPage : public QWidget {
    Q_OBJECT

  public:
    explicit CPropertyPage(QString caption, QWidget* parent = nullptr);

    const QString& Caption() const { return m_strCaption; }

    // First and last page of the sheet; both set for a page built alone.
    bool m_bFirstPage = true;
    bool m_bLastPage = true;

    // Once, before the page is first shown: fields to controls.
    virtual bool OnInitDialog();
    // Each time the page becomes the current one.
    virtual bool OnSetActive();
    // When the page stops being the current one; false keeps it.
    virtual bool OnKillActive();
    // 0 moves on, -1 stays on the page.
    virtual int OnWizardNext() { return 0; }
    virtual int OnWizardBack() { return 0; }
    // True ends the wizard with ID_WIZFINISH.
    virtual bool OnWizardFinish() { return true; }
    // False refuses the cancellation.
    virtual bool OnQueryCancel() { return true; }
    // The wizard is being cancelled (every page shown so far hears it).
    virtual void OnCancel() {}
    // Idle processing after each action of the operator.
    virtual void OnIdleUpdate() {}

    // Controls to fields (save) or fields to controls; false when a control
    // holds a value that cannot be taken.
    virtual bool UpdateData(bool save) {
        (void)save;
        return true;
    }

    bool IsInitialized() const { return m_bInitialized; }
    void MarkInitialized() { m_bInitialized = true; }

    void SetSheet(CPropertySheet* sheet) { m_pSheet = sheet; }
    CPropertySheet* Sheet() const { return m_pSheet; }

  protected:
    // The wizard buttons that the page flags give.
    int WizardButtonsFromFlags() const;
    void SetWizardButtonsFromFlags();

  private:
    QString m_strCaption;
    CPropertySheet* m_pSheet = nullptr;
    bool m_bInitialized = false;
};
