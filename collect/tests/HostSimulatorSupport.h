// Test support for host and remote threads against the simulated system:
// a scenario with saposcol figures held still where a test needs exact
// values, one clock shared by the collector and the system, and a probe that
// records what the saposcol modules were sent.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "collect/HostThread.h"
#include "collect/RemoteThread.h"
#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "support/SimulatorSession.h"

// The imports one saposcol call carried.
struct SaposcolCall {
    std::string module, localRemote, destination;
    int64_t systemId = -1;
};

// Wraps the saposcol modules of a registry so that every call is recorded
// before the module answers it.
class SaposcolProbe {
  public:
    void Install(r3sim::ModuleRegistry& registry) {
        for (const char* name :
             {"GET_CONFIG_DEFINED", "CONTROL_PERF_REQUEST", "GET_CPU_ALL", "GET_MEM_ALL",
              "GET_DISK_SINGLE", "GET_FSYS_SINGLE", "GET_TOP_SINGLE", "GET_OMBRITH_SPAG_ALL",
              "GET_TARROW_SPAG_ALL", "SMON_READ_HARDWARE_DESCR_FILE"}) {
            const r3sim::ModuleEntry* entry = registry.Find(name);
            ASSERT_TRUE(entry != nullptr && entry->interface) << name;
            r3sim::ModuleHandler inner = entry->handler;
            const std::string module = name;
            registry.Register(name, *entry->interface,
                              [this, inner, module](r3sim::CallContext& call) {
                                  Record(module, call);
                                  inner(call);
                              });
        }
    }
    std::vector<SaposcolCall> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

  private:
    void Record(const std::string& module, r3sim::CallContext& call) {
        SaposcolCall c{module, call.ImportText(u"LOCAL_REMOTE"),
                       call.ImportText(u"LOGICAL_DESTINATION"),
                       call.HasImport(u"SYSTEM_ID") ? call.ImportInt(u"SYSTEM_ID") : -1};
        std::lock_guard lock(mutex_);
        calls_.push_back(c);
    }
    mutable std::mutex mutex_;
    std::vector<SaposcolCall> calls_;
};

// The collector and the simulated system on one manual clock, standing at a
// fixed moment in a zone one hour east of UTC.
class SharedClock {
  public:
    SharedClock()
        : clock_(std::make_shared<platform::ManualTimeSource>(
              platform::TimePoint(std::chrono::seconds(1796033700)), 3600)) {
        platform::SetTimeSource(clock_);
    }
    ~SharedClock() { platform::SetTimeSource(nullptr); }
    platform::ManualTimeSource& Clock() { return *clock_; }

  private:
    std::shared_ptr<platform::ManualTimeSource> clock_;
};

inline r3sim::HostSpec HostWith(const std::string& name, std::map<std::string, int64_t> fixed) {
    r3sim::HostSpec host = r3sim::HostOf(r3sim::Scenario{}, name);
    host.fixed = std::move(fixed);
    return host;
}

inline r3sim::DiskSpec Disk(const std::string& name, int64_t util) {
    return r3sim::DiskSpec{name, {{"UTIL", util}, {"KB_SEC", 100}, {"OP_SEC", 10}}};
}

// Logon data of the collector user on a server of the default scenario.
inline void LogOnTo(CRfcConnection& c, const std::u16string& host, const std::u16string& number) {
    SimulatorSession::LogOn(c, u"COLLECTOR", u"SECRET", host, number);
}

template <size_t N>
std::string FieldUtf8(const char16_t (&field)[N]) {
    return platform::ToUtf8(platform::FieldText(field));
}
