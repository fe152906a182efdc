// Test fixture: an in-process simulated system on free loopback ports, with
// the environment set so that the library finds it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/TextCodec.h"
#include "r3sim/SimulatedSystem.h"
#include "rfc32u.h"

namespace rfctest {

class LiveSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("QUORVEL_RFC_READ_TIMEOUT_MS");
        unsetenv("QUORVEL_RFC_CONNECT_TIMEOUT_MS");
    }
    void TearDown() override {
        if (system_) system_->Stop();
    }

    r3sim::SimulatedSystem& Start(r3sim::Scenario scenario = r3sim::DefaultScenario(),
                                  r3sim::SimulatorOptions options = {}) {
        system_ = std::make_unique<r3sim::SimulatedSystem>(std::move(scenario), options);
        return StartPrepared();
    }
    // For tests that register modules before the start.
    r3sim::SimulatedSystem& Prepare(r3sim::Scenario scenario = r3sim::DefaultScenario()) {
        system_ = std::make_unique<r3sim::SimulatedSystem>(std::move(scenario));
        return *system_;
    }
    r3sim::SimulatedSystem& StartPrepared() {
        base_ = system_->Start();
        setenv("QUORVEL_RFC_PORT_BASE", std::to_string(base_).c_str(), 1);
        setenv("QUORVEL_RFC_HOSTS", system_->HostsOverride().c_str(), 1);
        return *system_;
    }

    static std::u16string Logon(std::u16string_view host = u"qashost1",
                                std::u16string_view sysnr = u"00",
                                std::u16string_view user = u"COLLECTOR",
                                std::u16string_view password = u"SECRET",
                                std::u16string_view client = u"100") {
        return u"ASHOST=" + std::u16string(host) + u" SYSNR=" + std::u16string(sysnr) +
               u" CLIENT=" + std::u16string(client) + u" USER=" + std::u16string(user) +
               u" PASSWD=" + std::u16string(password) + u" LANG=EN";
    }

    // Opens and expects success.
    RFC_HANDLE Open(const std::u16string& connect = Logon()) {
        RFC_ERROR_INFO_EX error{};
        const RFC_HANDLE handle = RfcOpenExU(connect.c_str(), &error);
        EXPECT_NE(handle, RFC_HANDLE_NULL) << platform::ToUtf8(error.message);
        return handle;
    }

    // Opens and expects failure; returns the error record.
    RFC_ERROR_INFO_EX Refused(const std::u16string& connect) {
        RFC_ERROR_INFO_EX error{};
        const RFC_HANDLE handle = RfcOpenExU(connect.c_str(), &error);
        EXPECT_EQ(handle, RFC_HANDLE_NULL);
        if (handle != RFC_HANDLE_NULL) RfcCloseU(handle);
        return error;
    }

    static std::string Message(const RFC_ERROR_INFO_EX& error) {
        return platform::ToUtf8(error.message);
    }
    static std::u16string Key(const RFC_ERROR_INFO_EX& error) { return error.key; }

    static RFC_ERROR_INFO_EX LastError() {
        RFC_ERROR_INFO_EX error{};
        RfcLastErrorExU(&error);
        return error;
    }

    // The default system whose RFC_PING on qashost1_QAS_00 misbehaves.
    static r3sim::Scenario WithPingFault(r3sim::FaultAction action, int delayMs = 0) {
        r3sim::Scenario scenario = r3sim::DefaultScenario();
        r3sim::FaultSpec fault;
        fault.module = "RFC_PING";
        fault.server = "qashost1_QAS_00";
        fault.action = action;
        fault.delayMs = delayMs;
        scenario.faults.push_back(fault);
        return scenario;
    }

    static RFC_RC Ping(RFC_HANDLE handle) {
        RFC_CHAR* exception = nullptr;
        return RfcCallReceiveU(handle, u"RFC_PING", nullptr, nullptr, nullptr, &exception);
    }

    // A character field of chars characters, blank-filled, value copied in.
    static std::u16string Field(std::u16string_view value, size_t chars) {
        std::u16string field(chars, u' ');
        field.replace(0, std::min(value.size(), chars), value.substr(0, chars));
        return field;
    }

    int base_ = 0;
    std::unique_ptr<r3sim::SimulatedSystem> system_;
};

}  // namespace rfctest
