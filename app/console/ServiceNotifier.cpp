#include "app/console/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

#include <string>

namespace service {

void NotifyReady() {
    sd_notify(0, "READY=1\nSTATUS=data capture started.");
}

void NotifyStopping() {
    sd_notify(0, "STOPPING=1\nSTATUS=data capture stopping.");
}

void NotifyStatus(const char* text) {
    sd_notify(0, (std::string("STATUS=") + text).c_str());
}

}  // namespace service
