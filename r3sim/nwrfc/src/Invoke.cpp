#include "Invoke.h"

#include <algorithm>
#include <cstring>

#include "Text.h"
#include "rfc32u.h"
#include "wire/Frame.h"
#include "wire/MessageCodec.h"

namespace nwsim {
namespace {

bool Sends(nwrfc::RFC_DIRECTION direction) {
    return direction == nwrfc::RFC_IMPORT || direction == nwrfc::RFC_CHANGING;
}

bool Receives(nwrfc::RFC_DIRECTION direction) {
    return direction == nwrfc::RFC_EXPORT || direction == nwrfc::RFC_CHANGING;
}

// The wire's type code: the classic codes, with structures as 14.
uint32_t WireType(const Slot& slot) {
    if (slot.type == nwrfc::RFCTYPE_STRUCTURE || slot.type == nwrfc::RFCTYPE_TABLE)
        return RFCTYPE_STRUCTURE;
    return static_cast<uint32_t>(slot.type);
}

// A scalar's bytes in the 1-byte layout of a non-Unicode partner, and back.
rfclib::PartnerLayout ScalarLayout(const Slot& slot) {
    return rfclib::PartnerLayout(IsCharacterType(slot.type) ? WireType(slot) : uint32_t{RFCTYPE_BYTE});
}

std::vector<uint8_t> ValueBytes(const Slot& slot, const uint8_t* data, bool unicode) {
    if (unicode) return {data, data + slot.ucLength};
    if (slot.type == nwrfc::RFCTYPE_STRUCTURE && slot.typeDesc != nullptr) {
        std::vector<uint8_t> narrow = slot.typeDesc->PartnerLayout().Narrow(data, slot.ucLength);
        narrow.resize(std::max<size_t>(narrow.size(), slot.typeDesc->NucLength()), 0);
        return narrow;
    }
    return ScalarLayout(slot).Narrow(data, slot.ucLength);
}

rfcwire::TableData TableBytes(const ParameterDesc& parameter, TableContainer& table,
                              bool unicode) {
    const TypeDesc& type = table.RowType();
    rfcwire::TableData data;
    data.name = parameter.name;
    data.type = RFCTYPE_STRUCTURE;
    data.structure = type.Name();
    data.rowCount = static_cast<uint32_t>(table.RowCount());
    if (unicode) {
        data.rowLength = type.UcLength();
        data.rows.assign(table.Bytes().Data(), table.Bytes().Data() + table.Bytes().Size());
        return data;
    }
    data.rowLength = type.NucLength();
    data.rows.reserve(size_t{data.rowLength} * data.rowCount);
    for (size_t r = 0; r < table.RowCount(); ++r) {
        std::vector<uint8_t> row = type.PartnerLayout().Narrow(table.Row(r), type.UcLength());
        row.resize(data.rowLength, 0);
        data.rows.insert(data.rows.end(), row.begin(), row.end());
    }
    return data;
}

// The parameters of a reply as its pieces and the reply itself arrive: the
// first rows for a table empty it, later ones append.
class ReplyFiller {
  public:
    ReplyFiller(FunctionContainer& function, bool unicode)
        : function_(function), unicode_(unicode), started_(function.Desc().Parameters().size()) {}

    void AddRows(const rfcwire::TableData& rows) {
        const int index = function_.Desc().Find(rows.name);
        if (index < 0 || !function_.Active(static_cast<size_t>(index))) return;
        auto* table = dynamic_cast<TableContainer*>(function_.Child(static_cast<size_t>(index)));
        if (table == nullptr) return;
        if (!started_[static_cast<size_t>(index)]) {
            table->Clear();
            started_[static_cast<size_t>(index)] = true;
        }
        if (rows.rowCount == 0 || rows.rows.size() / rows.rowCount < rows.rowLength) return;
        const TypeDesc& type = table->RowType();
        const size_t own = type.UcLength();
        if (unicode_ && rows.rowLength == own) {
            std::memcpy(table->AppendRows(rows.rowCount, false), rows.rows.data(),
                        own * rows.rowCount);
            return;
        }
        const rfclib::PartnerLayout& layout = type.PartnerLayout();
        const bool fits = layout.WideLength(rows.rowLength) <= own;
        // Widening writes the whole record; anything else starts from initial values.
        const bool whole = !unicode_ && layout.WideLength(rows.rowLength) == own;
        uint8_t* row = table->AppendRows(rows.rowCount, !whole);
        if (!unicode_ && !fits) wide_.resize(layout.WideLength(rows.rowLength));
        for (uint32_t r = 0; r < rows.rowCount; ++r, row += own) {
            const uint8_t* from = rows.rows.data() + size_t{r} * rows.rowLength;
            if (unicode_) {
                std::memcpy(row, from, std::min<size_t>(own, rows.rowLength));
            } else if (fits) {
                layout.WidenInto(from, rows.rowLength, row);
            } else {
                layout.WidenInto(from, rows.rowLength, wide_.data());
                std::memcpy(row, wide_.data(), own);
            }
        }
    }

    void AddValue(const rfcwire::Value& value) {
        const int index = function_.Desc().Find(value.name);
        if (index < 0) return;
        const ParameterDesc& p = function_.Desc().Parameters()[static_cast<size_t>(index)];
        if (!Receives(p.direction) || p.slot.type == nwrfc::RFCTYPE_TABLE) return;
        uint8_t* to = function_.Data() + p.slot.ucOffset;
        std::vector<uint8_t> wide;
        if (unicode_) {
            wide = value.bytes;
        } else if (p.slot.type == nwrfc::RFCTYPE_STRUCTURE && p.slot.typeDesc != nullptr) {
            wide = p.slot.typeDesc->PartnerLayout().Widen(value.bytes.data(), value.bytes.size());
        } else {
            wide = ScalarLayout(p.slot).Widen(value.bytes.data(), value.bytes.size());
        }
        // Initial first, so a shorter value leaves blanks or zeros behind it.
        WriteInitial(p.slot, to);
        std::memcpy(to, wide.data(), std::min<size_t>(wide.size(), p.slot.ucLength));
    }

  private:
    FunctionContainer& function_;
    bool unicode_;
    std::vector<bool> started_;
    std::vector<uint8_t> wide_;
};

bool Exchange(Connection& connection, const rfcwire::CallRequest& request, ReplyFiller* filler,
              Failure& failure) {
    const std::vector<uint8_t> frame = rfcwire::Encode(request);
    if (frame.size() - rfcwire::kFrameHeaderSize > rfcwire::kDefaultMaxPayload) {
        failure = MakeFailure(nwrfc::RFC_MEMORY_INSUFFICIENT, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              "the call of " + Utf8(request.function) +
                                  " exceeds the frame size limit");
        return false;
    }
    if (!connection.Send(frame, failure)) return false;
    rfcwire::ServerMessage message;
    for (;;) {
        if (!connection.Receive(message, failure)) return false;
        const auto* piece = std::get_if<rfcwire::TableRows>(&message);
        if (piece == nullptr) break;
        if (filler != nullptr) filler->AddRows(piece->table);
    }
    auto* reply = std::get_if<rfcwire::CallReply>(&message);
    if (reply == nullptr) {
        failure = MakeFailure(nwrfc::RFC_COMMUNICATION_FAILURE, nwrfc::COMMUNICATION_FAILURE,
                              "the partner answered " + Utf8(request.function) +
                                  " with another message");
        connection.CloseAfter(failure);
        return false;
    }
    switch (reply->outcome) {
        case rfcwire::CallOutcome::kDone:
            break;
        case rfcwire::CallOutcome::kException:
            failure.code = nwrfc::RFC_ABAP_EXCEPTION;
            failure.group = nwrfc::ABAP_APPLICATION_FAILURE;
            failure.key = reply->error.key;
            failure.message = reply->error.message;
            return false;
        case rfcwire::CallOutcome::kSystemFailure:
            failure.code = nwrfc::RFC_ABAP_RUNTIME_FAILURE;
            failure.group = nwrfc::ABAP_RUNTIME_FAILURE;
            failure.key.clear();
            failure.message = reply->error.key.empty()
                                  ? reply->error.message
                                  : reply->error.key + u": " + reply->error.message;
            connection.CloseAfter(failure);
            return false;
    }
    if (filler != nullptr) {
        for (const rfcwire::Value& value : reply->importing) filler->AddValue(value);
        for (const rfcwire::TableData& table : reply->tables) filler->AddRows(table);
    }
    return true;
}

}  // namespace

bool Invoke(Connection& connection, FunctionContainer& function, Failure& failure) {
    const bool unicode = connection.UnicodePartner();
    const FunctionDesc& desc = function.Desc();
    rfcwire::CallRequest request;
    request.function = desc.Name();
    for (size_t i = 0; i < desc.Parameters().size(); ++i) {
        const ParameterDesc& p = desc.Parameters()[i];
        if (!function.Active(i)) continue;
        if (p.slot.type == nwrfc::RFCTYPE_TABLE) {
            if (auto* table = dynamic_cast<TableContainer*>(function.Child(i)))
                request.tables.push_back(TableBytes(p, *table, unicode));
            continue;
        }
        if (!Sends(p.direction) || p.slot.type == nwrfc::RFCTYPE_STRING ||
            p.slot.type == nwrfc::RFCTYPE_XSTRING)
            continue;
        rfcwire::Value value;
        value.name = p.name;
        value.type = WireType(p.slot);
        if (p.slot.typeDesc != nullptr) value.structure = p.slot.typeDesc->Name();
        value.bytes = ValueBytes(p.slot, function.Data() + p.slot.ucOffset, unicode);
        request.exporting.push_back(std::move(value));
    }
    ReplyFiller filler(function, unicode);
    return Exchange(connection, request, &filler, failure);
}

bool Ping(Connection& connection, Failure& failure) {
    rfcwire::CallRequest request;
    request.function = u"RFC_PING";
    return Exchange(connection, request, nullptr, failure);
}

}  // namespace nwsim
