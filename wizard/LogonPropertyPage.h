// The first page of the connection wizard: the Qt face of the logon step
// (wizard/logic/LogonStep.h). At Next it proves the values the edits show,
// with the wait cursor up while the logon test blocks.
//
// Thread rules: user-interface thread only; the logon test blocks it.
#pragma once

#include <QLineEdit>
#include <map>

#include "wizard/PropertyPage.h"
#include "wizard/logic/LogonStep.h"

namespace wizard {
class WaitCursor;
}

class CLogonPropertyPage : public CPropertyPage, private IWizardFace, public CLogonStep {
    Q_OBJECT

  public:
    // Control ids of the edits.
    enum : int {
        IDC_HOSTNAME = 1004,
        IDC_DOMAIN = 1005,
        IDC_SAPROUTER = 1006,
        IDC_SYSTEMNUMBER = 1007,
        IDC_CLIENT = 1008,
        IDC_USER = 1009,
        IDC_PASSWORD = 1010,
        IDC_LANGUAGE = 1011,
    };

    explicit CLogonPropertyPage(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool UpdateData(bool save) override;

    QLineEdit* Control(int id) const;

  private:
    // Next and Finish share every step; routine names the handler.
    bool RunLogonSteps(const char16_t* routine);
    void MoveFocus(int id);

    bool TakeInput() override { return UpdateData(true); }
    void Focus(WizardField field, int row) override;
    void Refuse(std::u16string_view text, RefusalKind kind) override;

    std::map<int, QLineEdit*> m_Edits;
    wizard::WaitCursor* m_pWait = nullptr;  // up while the steps run
};
