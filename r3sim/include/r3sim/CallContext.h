// What a module handler sees of one call: the scenario, the application
// server and the logged-on session, the values the caller sent, and the
// reply it builds (export values, structures, table rows, or an exception).
//
// Values travel in the system's own character width: 2 bytes on a Unicode
// system, 1 byte (Windows-1252) on a non-Unicode one. The context encodes and
// decodes by the module's interface, so handlers work with plain values.
//
// Thread rules: one context per call, used by the session's thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "r3sim/Dictionary.h"
#include "r3sim/Record.h"
#include "r3sim/Scenario.h"
#include "r3sim/ServerPresence.h"
#include "wire/Messages.h"

namespace r3sim {

struct SessionInfo {
    std::string client;
    std::string user;
    std::string language;  // one character
};

class CallContext {
  public:
    // interface may be null for modules served with fixed parameter lists.
    CallContext(const Scenario& scenario, const ServerSpec& server, const SessionInfo& session,
                const rfcwire::CallRequest& request, rfcwire::CallReply& reply,
                const Interface* interface, const Dictionary& dictionary,
                ServerPresence presence = {});

    const Scenario& GetScenario() const { return scenario_; }
    const ServerSpec& Server() const { return server_; }
    // Unix seconds on the server's own clock: the time source's plus its offset.
    int64_t ServerSeconds() const;
    const SessionInfo& Session() const { return session_; }
    // Which servers of the system are in service (for the server list).
    const ServerPresence& Presence() const { return presence_; }
    const rfcwire::CallRequest& Request() const { return request_; }
    CharWidth Width() const { return width_; }

    bool HasImport(std::u16string_view name) const;
    // A value sent by the caller as text (numbers in decimal), trimmed right;
    // empty when absent.
    std::string ImportText(std::u16string_view name) const;
    // A value sent by the caller as a number; fallback when absent or not a number.
    int64_t ImportInt(std::u16string_view name, int64_t fallback = 0) const;

    // A table the caller listed (with the rows it sent); nullptr when not listed.
    const rfcwire::TableData* Table(std::u16string_view name) const;
    // Whether the caller listed the table, i.e. wants its rows transferred.
    bool Wants(std::u16string_view table) const { return Table(table) != nullptr; }

    // A character value padded with blanks (or cut) to chars characters.
    void ExportText(std::u16string_view name, std::string_view value, size_t chars);
    void ExportValue(rfcwire::Value value);
    // An export parameter of the interface, stored by its type.
    void Export(std::u16string_view name, std::string_view text);
    void Export(std::u16string_view name, int64_t value);

    // A blank record of a structured export or of a table's rows.
    Record NewRecord(std::u16string_view parameter) const;
    void ExportRecord(std::u16string_view name, const Record& record);
    // Appends a row to a table the caller listed; rows of other tables are
    // dropped. With a piece sink, every kTablePieceBytes of a table's rows
    // go to the caller ahead of the reply and leave the reply.
    void AddRow(std::u16string_view table, const Record& row);

    // Where pieces of tables go; false from it ends the transfer (the rows
    // after it are dropped and PiecesFailed tells).
    using PieceSink = std::function<bool(const rfcwire::TableData&)>;
    void SetPieceSink(PieceSink sink) { sink_ = std::move(sink); }
    bool PiecesFailed() const { return piecesFailed_; }

    // The rows of a table as returned to the caller. A table the caller did
    // not list is not transferred: it is dropped here.
    void ReturnTable(rfcwire::TableData table);

    // Ends the call with the module's exception name.
    void Raise(std::string_view exception, std::string_view message = {});
    // Ends the call as a failure in the system (e.g. a short dump).
    void Fail(std::string_view key, std::string_view message);

    bool Ended() const { return reply_.outcome != rfcwire::CallOutcome::kDone; }

  private:
    const ParameterSpec& Parameter(std::u16string_view name, char paramClass) const;
    rfcwire::TableData* ReplyTable(std::u16string_view name, const StructureDef& rows);

    const Scenario& scenario_;
    const ServerSpec& server_;
    const SessionInfo& session_;
    const rfcwire::CallRequest& request_;
    rfcwire::CallReply& reply_;
    const Interface* interface_;
    const Dictionary& dictionary_;
    ServerPresence presence_;
    CharWidth width_;
    PieceSink sink_;
    bool piecesFailed_ = false;
};

}  // namespace r3sim
