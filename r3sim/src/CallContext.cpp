#include "r3sim/CallContext.h"

#include "Text.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace r3sim {

CallContext::CallContext(const Scenario& scenario, const ServerSpec& server,
                         const SessionInfo& session, const rfcwire::CallRequest& request,
                         rfcwire::CallReply& reply)
    : scenario_(scenario), server_(server), session_(session), request_(request), reply_(reply) {}

bool CallContext::HasImport(std::u16string_view name) const {
    for (const rfcwire::Value& value : request_.exporting)
        if (value.name == name) return true;
    return false;
}

std::string CallContext::ImportText(std::u16string_view name) const {
    for (const rfcwire::Value& value : request_.exporting)
        if (value.name == name) return FieldText(value.bytes);
    return {};
}

void CallContext::ExportText(std::u16string_view name, std::string_view value, size_t chars) {
    reply_.importing.push_back(
        rfcwire::Value{std::u16string(name), RFCTYPE_CHAR, {}, CharField(value, chars)});
}

const rfcwire::TableData* CallContext::Table(std::u16string_view name) const {
    for (const rfcwire::TableData& table : request_.tables)
        if (table.name == name) return &table;
    return nullptr;
}

void CallContext::ExportValue(rfcwire::Value value) {
    reply_.importing.push_back(std::move(value));
}

void CallContext::ReturnTable(rfcwire::TableData table) {
    if (Table(table.name) == nullptr) return;
    for (rfcwire::TableData& existing : reply_.tables) {
        if (existing.name == table.name) {
            existing = std::move(table);
            return;
        }
    }
    reply_.tables.push_back(std::move(table));
}

void CallContext::Raise(std::string_view exception, std::string_view message) {
    reply_.outcome = rfcwire::CallOutcome::kException;
    reply_.error.group = RFC_ERROR_APPLICATION_EXCEPTION;
    reply_.error.key = platform::FromUtf8(exception);
    reply_.error.message = platform::FromUtf8(message.empty() ? exception : message);
    reply_.importing.clear();
    reply_.tables.clear();
}

void CallContext::Fail(std::string_view key, std::string_view message) {
    reply_.outcome = rfcwire::CallOutcome::kSystemFailure;
    reply_.error.group = RFC_ERROR_SYSTEM_FAILURE;
    reply_.error.key = platform::FromUtf8(key);
    reply_.error.message = platform::FromUtf8(message);
    reply_.importing.clear();
    reply_.tables.clear();
}

}  // namespace r3sim
