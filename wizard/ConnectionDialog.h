// The small modeless window shown while the connection and authorisation
// tests run: a looping animation and one status line that the tests
// rewrite. The tests block the user-interface thread, so SetStatus lets the
// window paint (and the animation move) before it returns; that also runs
// other windows' timers, as any modal loop of the start would.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <string_view>

#include "collect/UserInterface.h"
#include "wizard/AnimationControl.h"

class CConnectionDialog : public QDialog {
    Q_OBJECT

  public:
    enum : int { IDC_ANIMATE = 1000, IDC_STATUS = 1003 };

    CConnectionDialog();

    // Creates the window without a parent and shows it.
    bool Create();
    void SetStatus(std::u16string_view text);
    QString Status() const { return m_pStatus->text(); }

    CAnimationControl* Animation() const { return m_pAnimation; }

  private:
    CAnimationControl* m_pAnimation = nullptr;
    QLabel* m_pStatus = nullptr;
};

// The engine's handle on the window: opening plays the clip, destroying the
// handle closes the window.
class CConnectionTestWindow : public IConnectionTestDialog {
  public:
    CConnectionTestWindow();
    void SetStatus(std::u16string_view text) override { m_Dialog.SetStatus(text); }
    CConnectionDialog& Dialog() { return m_Dialog; }

  private:
    CConnectionDialog m_Dialog;
};
