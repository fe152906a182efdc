// The wait cursor for the length of a blocking step; restored at the end of
// the scope at the latest.
#pragma once

#include <QCursor>
#include <QGuiApplication>
#include <vector>

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

// The normal cursor for the length of a modal window that waits for the
// operator (the connection wizard opened from a busy Start): every override
// cursor is lifted, and put back at the end of the scope.
class CursorLift {
  public:
    CursorLift() {
        while (QGuiApplication::overrideCursor() != nullptr) {
            m_lifted.push_back(*QGuiApplication::overrideCursor());
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ~CursorLift() {
        for (auto it = m_lifted.rbegin(); it != m_lifted.rend(); ++it)
            QGuiApplication::setOverrideCursor(*it);
    }
    CursorLift(const CursorLift&) = delete;
    CursorLift& operator=(const CursorLift&) = delete;

  private:
    std::vector<QCursor> m_lifted;  // the innermost first
};

}  // namespace wizard
