// Test fixture: an in-process simulated system on loopback (as for our own
// client) and helpers to reach it through the SDK's interface.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdlib>
#include <memory>

#include "nwrfc/NwRfcApi.h"
#include "platform/TextCodec.h"
#include "r3sim/SimulatedSystem.h"

namespace nwsimtest {

using nwrfc::RFC_ERROR_INFO;

inline std::string Text(const char16_t* text) { return platform::ToUtf8(text); }
inline std::u16string Key(const RFC_ERROR_INFO& error) { return error.key; }

// A field's value through RfcGetString.
inline std::u16string StringOf(nwrfc::DATA_CONTAINER_HANDLE container, const char16_t* name) {
    char16_t buffer[256];
    unsigned length = 0;
    RFC_ERROR_INFO error{};
    EXPECT_EQ(nwrfc::RfcGetString(container, name, buffer, 256, &length, &error), nwrfc::RFC_OK)
        << Text(error.message);
    return std::u16string(buffer, length);
}

// Kept apart from our own client's fixture: that one brings the classic
// header, whose codes share names with the SDK's.
class SdkSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("QUORVEL_RFC_READ_TIMEOUT_MS");
        unsetenv("QUORVEL_RFC_CONNECT_TIMEOUT_MS");
    }
    void TearDown() override {
        if (system_) system_->Stop();
    }

    r3sim::SimulatedSystem& Prepare(r3sim::Scenario scenario = r3sim::DefaultScenario()) {
        system_ = std::make_unique<r3sim::SimulatedSystem>(std::move(scenario));
        return *system_;
    }
    r3sim::SimulatedSystem& StartPrepared() {
        const int base = system_->Start();
        setenv("QUORVEL_RFC_PORT_BASE", std::to_string(base).c_str(), 1);
        setenv("QUORVEL_RFC_HOSTS", system_->HostsOverride().c_str(), 1);
        return *system_;
    }
    r3sim::SimulatedSystem& Start(r3sim::Scenario scenario = r3sim::DefaultScenario()) {
        Prepare(std::move(scenario));
        return StartPrepared();
    }

    struct Logon {
        std::vector<std::pair<std::u16string, std::u16string>> pairs;
        Logon& Set(std::u16string name, std::u16string value) {
            for (auto& [n, v] : pairs)
                if (n == name) {
                    v = std::move(value);
                    return *this;
                }
            pairs.emplace_back(std::move(name), std::move(value));
            return *this;
        }
    };
    static Logon Collector(std::u16string host = u"qashost1", std::u16string sysnr = u"00",
                           std::u16string client = u"100") {
        Logon logon;
        logon.Set(u"ashost", host).Set(u"SYSNR", sysnr).Set(u"client", client)
            .Set(u"user", u"COLLECTOR").Set(u"passwd", u"SECRET").Set(u"lang", u"EN");
        return logon;
    }

    static nwrfc::RFC_CONNECTION_HANDLE OpenWith(const Logon& logon, RFC_ERROR_INFO& error) {
        std::vector<nwrfc::RFC_CONNECTION_PARAMETER> list;
        for (const auto& [name, value] : logon.pairs) list.push_back({name.c_str(), value.c_str()});
        return nwrfc::RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
    }

    nwrfc::RFC_CONNECTION_HANDLE Connect(const Logon& logon = Collector()) {
        RFC_ERROR_INFO error{};
        nwrfc::RFC_CONNECTION_HANDLE handle = OpenWith(logon, error);
        EXPECT_NE(handle, nullptr) << Text(error.message);
        return handle;
    }

    std::unique_ptr<r3sim::SimulatedSystem> system_;
};

}  // namespace nwsimtest
