// The wait cursor for the length of a blocking step; restored at the end of
// the scope at the latest.
#pragma once

#include <QGuiApplication>

namespace wizard {

class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Restore() {
        if (m_bActive) QGuiApplication::restoreOverrideCursor();
        m_bActive = false;
    }

  private:
    bool m_bActive = true;
};

}  // namespace wizard
