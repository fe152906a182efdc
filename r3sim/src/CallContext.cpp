#include "r3sim/CallContext.h"

#include <charconv>
#include <chrono>
#include <cstring>

#include "Text.h"
#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"
#include "wire/Bcd.h"
#include "wire/Frame.h"

namespace r3sim {
namespace {

uint32_t WireType(char letter) {
    switch (letter) {
        case 'C':
            return RFCTYPE_CHAR;
        case 'D':
            return RFCTYPE_DATE;
        case 'T':
            return RFCTYPE_TIME;
        case 'N':
            return RFCTYPE_NUM;
        case 'P':
            return RFCTYPE_BCD;
        case 'X':
            return RFCTYPE_BYTE;
        case 'F':
            return RFCTYPE_FLOAT;
        case 'I':
            return RFCTYPE_INT;
        case 's':
            return RFCTYPE_INT2;
        case 'b':
            return RFCTYPE_INT1;
        default:
            return RFCTYPE_STRUCTURE;
    }
}

template <typename T>
T LoadLittleEndian(const std::vector<uint8_t>& bytes) {
    T value{};
    if (bytes.size() >= sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

std::string NumberText(const rfcwire::Value& value, int decimals, bool& isNumber) {
    isNumber = true;
    switch (value.type) {
        case RFCTYPE_INT:
            return std::to_string(LoadLittleEndian<int32_t>(value.bytes));
        case RFCTYPE_INT2:
            return std::to_string(LoadLittleEndian<int16_t>(value.bytes));
        case RFCTYPE_INT1:
            return std::to_string(LoadLittleEndian<uint8_t>(value.bytes));
        case RFCTYPE_FLOAT:
            return std::to_string(LoadLittleEndian<double>(value.bytes));
        case RFCTYPE_BCD: {
            std::u16string text;
            std::string error;
            if (!rfclib::BcdToText(value.bytes, decimals, text, error)) return {};
            return platform::ToUtf8(text);
        }
        default:
            isNumber = false;
            return {};
    }
}

}  // namespace

CallContext::CallContext(const Scenario& scenario, const ServerSpec& server,
                         const SessionInfo& session, const rfcwire::CallRequest& request,
                         rfcwire::CallReply& reply, const Interface* interface,
                         const Dictionary& dictionary, ServerPresence presence)
    : scenario_(scenario),
      server_(server),
      session_(session),
      request_(request),
      reply_(reply),
      interface_(interface),
      dictionary_(dictionary),
      presence_(presence),
      width_(scenario.unicode ? kWidth2 : kWidth1) {}

int64_t CallContext::ServerSeconds() const {
    const auto now = platform::CurrentTimeSource()->Now();
    return std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count() +
           server_.clockOffsetSeconds;
}

bool CallContext::HasImport(std::u16string_view name) const {
    for (const rfcwire::Value& value : request_.exporting)
        if (value.name == name) return true;
    return false;
}

std::string CallContext::ImportText(std::u16string_view name) const {
    for (const rfcwire::Value& value : request_.exporting) {
        if (value.name != name) continue;
        int decimals = 0;
        if (interface_ != nullptr)
            for (const ParameterSpec& p : *interface_)
                if (p.paramClass == 'I' && platform::FromUtf8(p.name) == name)
                    decimals = static_cast<int>(p.decimals);
        bool isNumber = false;
        std::string number = NumberText(value, decimals, isNumber);
        if (isNumber) return number;
        return DecodeChars(value.bytes, width_);
    }
    return {};
}

int64_t CallContext::ImportInt(std::u16string_view name, int64_t fallback) const {
    const std::string text = ImportText(name);
    size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data() + start) return fallback;
    return value;
}

const rfcwire::TableData* CallContext::Table(std::u16string_view name) const {
    for (const rfcwire::TableData& table : request_.tables)
        if (table.name == name) return &table;
    return nullptr;
}

void CallContext::ExportText(std::u16string_view name, std::string_view value, size_t chars) {
    reply_.importing.push_back(
        rfcwire::Value{std::u16string(name), RFCTYPE_CHAR, {}, CharField(value, chars, width_)});
}

void CallContext::ExportValue(rfcwire::Value value) {
    reply_.importing.push_back(std::move(value));
}

const ParameterSpec& CallContext::Parameter(std::u16string_view name, char paramClass) const {
    const std::string wanted = platform::ToUtf8(name);
    if (interface_ != nullptr)
        for (const ParameterSpec& p : *interface_)
            if (p.paramClass == paramClass && p.name == wanted) return p;
    throw DictionaryError(std::string("the interface has no parameter ") + paramClass + " " +
                          wanted);
}

void CallContext::Export(std::u16string_view name, std::string_view text) {
    const ParameterSpec& p = Parameter(name, 'E');
    const FieldSpec spec{p.name, p.type, p.length, p.decimals};
    const unsigned length = FieldBytes(spec, width_);
    rfcwire::Value value{std::u16string(name), WireType(p.type), {}, std::vector<uint8_t>(length)};
    StoreValue(spec, width_, text, value.bytes.data(), length);
    ExportValue(std::move(value));
}

void CallContext::Export(std::u16string_view name, int64_t value) {
    Export(name, std::to_string(value));
}

Record CallContext::NewRecord(std::u16string_view parameter) const {
    const std::string wanted = platform::ToUtf8(parameter);
    if (interface_ != nullptr)
        for (const ParameterSpec& p : *interface_)
            if (p.name == wanted && (p.type == 'u' || p.type == 'h'))
                return Record(dictionary_.Get(p.structure), width_);
    throw DictionaryError("the interface has no structured parameter " + wanted);
}

void CallContext::ExportRecord(std::u16string_view name, const Record& record) {
    ExportValue(rfcwire::Value{std::u16string(name), RFCTYPE_STRUCTURE,
                               platform::FromUtf8(record.Structure().name), record.Bytes()});
}

rfcwire::TableData* CallContext::ReplyTable(std::u16string_view name, const StructureDef& rows) {
    for (rfcwire::TableData& existing : reply_.tables)
        if (existing.name == name) return &existing;
    if (!Wants(name)) return nullptr;
    rfcwire::TableData table;
    table.name = std::u16string(name);
    table.type = RFCTYPE_STRUCTURE;
    table.structure = platform::FromUtf8(rows.name);
    table.rowLength = rows.length[width_];
    reply_.tables.push_back(std::move(table));
    return &reply_.tables.back();
}

void CallContext::AddRow(std::u16string_view table, const Record& row) {
    rfcwire::TableData* data = ReplyTable(table, row.Structure());
    if (data == nullptr) return;
    if (row.Bytes().size() != data->rowLength)
        throw DictionaryError("a row of another structure added to table " +
                              platform::ToUtf8(table));
    if (piecesFailed_) return;
    data->rows.insert(data->rows.end(), row.Bytes().begin(), row.Bytes().end());
    ++data->rowCount;
    if (sink_ && data->rows.size() >= rfcwire::kTablePieceBytes) {
        piecesFailed_ = !sink_(*data);
        data->rows.clear();  // keeps its capacity for the next piece
        data->rowCount = 0;
    }
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
