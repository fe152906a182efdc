// The second page of the connection wizard: the Qt face of the directory
// step (wizard/logic/DirectoryStep.h), with an edit and a browse button.
// Entering the page again (Back from the next page) or cancelling the
// wizard removes the session folder while it is still empty.
//
// Thread rules: user-interface thread only.
#pragma once

#include "wizard/DirectoryBrowseEdit.h"
#include "wizard/PropertyPage.h"
#include "wizard/logic/DirectoryStep.h"

class CDirectoryPropertyPage : public CPropertyPage, private IWizardFace, public CDirectoryStep {
    Q_OBJECT

  public:
    enum : int { IDC_DIRECTORY = 1012 };

    explicit CDirectoryPropertyPage(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    void OnCancel() override;
    bool UpdateData(bool save) override;

    CDirectoryBrowseEdit* DirectoryEdit() const { return m_pBrowseEdit; }

  private:
    bool TakeInput() override { return UpdateData(true); }
    void Focus(WizardField field, int row) override;
    void Refuse(std::u16string_view text, RefusalKind kind) override;

    CDirectoryBrowseEdit* m_pBrowseEdit = nullptr;
};
