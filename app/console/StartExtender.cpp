#include "app/console/StartExtender.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>
#include <string>

namespace service {

StartExtender::StartExtender() {
    if (std::getenv("NOTIFY_SOCKET") == nullptr) return;
    m_thread = std::thread([this] {
        const std::string extend =
            "EXTEND_TIMEOUT_USEC=" +
            std::to_string(std::chrono::microseconds(kExtension).count());
        std::unique_lock lock(m_lock);
        do {
            sd_notify(0, extend.c_str());
        } while (!m_ended.wait_for(lock, kPeriod, [this] { return m_bEnded; }));
    });
}

StartExtender::~StartExtender() {
    if (!m_thread.joinable()) return;
    {
        std::lock_guard lock(m_lock);
        m_bEnded = true;
    }
    m_ended.notify_all();
    m_thread.join();
}

}  // namespace service
