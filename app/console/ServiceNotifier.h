// Readiness and stopping as systemd hears them (sd_notify): READY=1 once
// data capture has started, STOPPING=1 when the session begins to end.
// Without NOTIFY_SOCKET (not run by systemd) the calls do nothing.
#pragma once

namespace service {

void NotifyReady();
void NotifyStopping();
// A status line for `systemctl status`.
void NotifyStatus(const char* text);

}  // namespace service
