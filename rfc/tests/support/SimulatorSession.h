// Test support: a simulated system running in this process, with the
// environment of the RFC library pointed at it (free port base, scenario
// hosts on loopback, generous time-outs), and a connection's logon data for it.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>

#include "r3sim/SimulatedSystem.h"
#include "rfc/RfcConnection.h"
#include "rfc/catalogue/SapwlStatrecReadFile.h"

class SimulatorSession {
  public:
    using ExtraModules = std::function<void(r3sim::ModuleRegistry&)>;

    // extraModules registers test modules before the system starts serving.
    explicit SimulatorSession(r3sim::Scenario scenario = r3sim::DefaultScenario(), int portBase = 0,
                              const ExtraModules& extraModules = {})
        : system_(std::move(scenario)) {
        if (extraModules) extraModules(system_.Modules());
        base_ = system_.Start(portBase);
        Point();
    }
    ~SimulatorSession() { system_.Stop(); }

    // Points the library at this system again (after another session).
    void Point() {
        setenv("QUORVEL_RFC_PORT_BASE", std::to_string(base_).c_str(), 1);
        setenv("QUORVEL_RFC_HOSTS", system_.HostsOverride().c_str(), 1);
        // Generous: a loaded machine under a sanitizer answers slowly, and a
        // partner that is gone is noticed at once anyway.
        setenv("QUORVEL_RFC_CONNECT_TIMEOUT_MS", "30000", 1);
        setenv("QUORVEL_RFC_READ_TIMEOUT_MS", "120000", 1);
    }

    r3sim::SimulatedSystem& System() { return system_; }
    int PortBase() const { return base_; }

    // Logon data of the default scenario's collector user on the first server.
    static void LogOn(CRfcConnection& c, std::u16string user = u"COLLECTOR",
                      std::u16string password = u"SECRET", std::u16string host = u"qashost1",
                      std::u16string systemNumber = u"00") {
        c.SetLogonData(host, systemNumber, u"100", user, password, u"EN", u"", u"");
    }

    // The dialog steps of a window (the server's dates and times) read in one
    // call by a plain connection: what a thread's captures must add up to.
    static int DialogStepsBetween(const std::u16string& startDate, const std::u16string& startTime,
                                  const std::u16string& endDate, const std::u16string& endTime,
                                  std::u16string host = u"qashost1",
                                  std::u16string systemNumber = u"00") {
        CRfcConnection c;
        LogOn(c, u"COLLECTOR", u"SECRET", std::move(host), std::move(systemNumber));
        c.CallRfcOpen();
        CSapwlStatrecReadFileEx call;
        call.PrepareInterface(c);
        call.SetImport(u"I_READ_START_DATE", std::u16string_view(startDate));
        call.SetImport(u"I_READ_START_TIME", std::u16string_view(startTime));
        call.SetImport(u"I_READ_END_DATE", std::u16string_view(endDate));
        call.SetImport(u"I_READ_END_TIME", std::u16string_view(endTime));
        call.CallFunctionModule(c);
        const int n = call.GetNormalRowCount() + call.GetBatchStepRowCount();
        c.CloseConnection();
        return n;
    }

  private:
    r3sim::SimulatedSystem system_;
    int base_ = 0;
};
