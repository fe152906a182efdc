// What a module handler sees of one call: the scenario, the application
// server and the logged-on session, the values the caller sent, and the
// reply it builds (export values, tables, or an exception).
//
// Thread rules: one context per call, used by the session's thread only.
#pragma once

#include <string>
#include <string_view>

#include "r3sim/Scenario.h"
#include "wire/Messages.h"

namespace r3sim {

struct SessionInfo {
    std::string client;
    std::string user;
    std::string language;  // one character
};

class CallContext {
  public:
    CallContext(const Scenario& scenario, const ServerSpec& server, const SessionInfo& session,
                const rfcwire::CallRequest& request, rfcwire::CallReply& reply);

    const Scenario& GetScenario() const { return scenario_; }
    const ServerSpec& Server() const { return server_; }
    const SessionInfo& Session() const { return session_; }
    const rfcwire::CallRequest& Request() const { return request_; }

    bool HasImport(std::u16string_view name) const;
    // A character-like value sent by the caller, trimmed right; empty when absent.
    std::string ImportText(std::u16string_view name) const;

    // A table the caller listed (with the rows it sent); nullptr when not listed.
    const rfcwire::TableData* Table(std::u16string_view name) const;

    // A character value padded with blanks (or cut) to chars characters.
    void ExportText(std::u16string_view name, std::string_view value, size_t chars);
    void ExportValue(rfcwire::Value value);

    // The rows of a table as returned to the caller. A table the caller did
    // not list is not transferred: it is dropped here.
    void ReturnTable(rfcwire::TableData table);

    // Ends the call with the module's exception name.
    void Raise(std::string_view exception, std::string_view message = {});
    // Ends the call as a failure in the system (e.g. a short dump).
    void Fail(std::string_view key, std::string_view message);

    bool Ended() const { return reply_.outcome != rfcwire::CallOutcome::kDone; }

  private:
    const Scenario& scenario_;
    const ServerSpec& server_;
    const SessionInfo& session_;
    const rfcwire::CallRequest& request_;
    rfcwire::CallReply& reply_;
};

}  // namespace r3sim
