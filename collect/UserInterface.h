// How the engine reaches the user interface without knowing its toolkit:
// the connection wizard that starts a session, the connection-test window
// with its status line, and the main window's message posting and repaint.
// The Qt application installs its implementation at start-up; tests and the
// headless front end install scripted ones.
//
// Thread rules: RunConnectionWizard, OpenConnectionTestDialog, the dialog's
// SetStatus and RepaintMainWindow are called on the user-interface thread
// only (the system thread's Initialize runs there). PostMessage may be called
// from any thread. SetUserInterface is meant for start-up and tests; the
// installed object must outlive every caller.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "collect/ConnectionSettings.h"
#include "collect/ServerList.h"
#include "collect/core/MessageChannel.h"

// The connection-test window. Destroying it closes the window, so a test
// routine that holds it as a local object closes it also when it throws.
class IConnectionTestDialog {
  public:
    virtual ~IConnectionTestDialog() = default;
    // Replaces the one status line.
    virtual void SetStatus(std::u16string_view text) = 0;
};

class IUserInterface : public MessageTarget {
  public:
    ~IUserInterface() override = default;

    // Runs the connection wizard modally. True when the operator finished it:
    // then settings holds the logon data, system id and directories (the
    // session folder exists), servers the system's application servers and
    // remotes the standalone database servers. False for a cancellation; the
    // caller ends the start with "connection dialog canceled.". Both lists
    // are filled by the wizard as it goes and are not restored on cancel.
    virtual bool RunConnectionWizard(ConnectionSettings& settings,
                                     std::vector<tagSERVERLIST>& servers,
                                     std::vector<tagREMOTELIST>& remotes) = 0;

    // Shows the connection-test window ("Starting connection test." until
    // the first SetStatus) with its looping animation.
    virtual std::unique_ptr<IConnectionTestDialog> OpenConnectionTestDialog() = 0;

    // Repaints the main window while the user-interface thread is busy.
    virtual void RepaintMainWindow() = 0;

    // MessageTarget: posts a message slot to the main window; false when the
    // window's queue does not take it now.
    bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override = 0;
};

namespace userinterface_detail {
inline std::atomic<IUserInterface*>& Installed() {
    static std::atomic<IUserInterface*> current{nullptr};
    return current;
}
}  // namespace userinterface_detail

// Installs the user interface (null: none) and returns the previous one.
inline IUserInterface* SetUserInterface(IUserInterface* ui) {
    return userinterface_detail::Installed().exchange(ui);
}

// The installed user interface, or null when none is installed.
inline IUserInterface* CurrentUserInterface() {
    return userinterface_detail::Installed().load();
}
