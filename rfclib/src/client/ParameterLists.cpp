#include "client/ParameterLists.h"

#include <algorithm>
#include <cstring>

#include "client/ErrorState.h"
#include "client/InternalTable.h"
#include "client/PartnerLayout.h"
#include "client/TypeRegistry.h"
#include "platform/TextCodec.h"

namespace rfclib {
namespace {

// Wire type and structure name of a caller's type handle.
bool DescribeType(RFC_TYPEHANDLE type, uint32_t& wireType, std::u16string& structure,
                  const std::u16string& owner, rfcwire::ErrorRecord& error) {
    if (type < RFCTYPE_FIRST_INSTALLED) {
        wireType = type;
        structure.clear();
        return true;
    }
    const auto installed = FindStructure(type);
    if (!installed) {
        error = MakeError(RFC_ERROR_PROGRAM, "type handle " + std::to_string(type) + " of '" +
                                                 platform::ToUtf8(owner) + "' is not installed");
        return false;
    }
    wireType = RFCTYPE_STRUCTURE;
    structure = installed->name;
    return true;
}

bool TooLong(size_t count, const char* what, rfcwire::ErrorRecord& error) {
    if (count < kMaxListRecords) return false;
    error =
        MakeError(RFC_ERROR_PROGRAM, std::string(what) + " list has no terminating record within " +
                                         std::to_string(kMaxListRecords) + " records");
    return true;
}

void CopyPadded(const std::vector<uint8_t>& from, void* to, unsigned int length, bool spaces) {
    auto* out = static_cast<uint8_t*>(to);
    const size_t n = std::min<size_t>(from.size(), length);
    std::memcpy(out, from.data(), n);
    std::memset(out + n, 0, length - n);
    if (spaces) {
        // UTF-16LE blanks from the next whole character on.
        for (size_t i = (n + 1) / 2 * 2; i + 1 < length; i += 2) out[i] = 0x20;
    }
}

}  // namespace

std::u16string ListName(const RFC_CHAR* name, unsigned int nlen) {
    std::u16string text = nlen == 0 ? FromRfcChars(name, 256) : std::u16string(name, nlen);
    while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
    return text;
}

bool CollectExporting(const RFC_PARAMETER* list, bool narrowPartner,
                      std::vector<rfcwire::Value>& out, rfcwire::ErrorRecord& error) {
    out.clear();
    if (list == nullptr) return true;
    for (size_t i = 0; list[i].name != nullptr; ++i) {
        if (TooLong(i, "exporting", error)) return false;
        const RFC_PARAMETER& p = list[i];
        rfcwire::Value value;
        value.name = ListName(p.name, p.nlen);
        if (!DescribeType(p.type, value.type, value.structure, value.name, error)) return false;
        if (p.leng > 0 && p.addr == nullptr) {
            error =
                MakeError(RFC_ERROR_PROGRAM, "exporting parameter '" +
                                                 platform::ToUtf8(value.name) + "' has no value");
            return false;
        }
        const auto* bytes = static_cast<const uint8_t*>(p.addr);
        if (narrowPartner)
            value.bytes = PartnerLayout(p.type).Narrow(bytes, p.leng);
        else
            value.bytes.assign(bytes, bytes + p.leng);
        out.push_back(std::move(value));
    }
    return true;
}

bool CollectTables(const RFC_TABLE* list, bool narrowPartner, std::vector<rfcwire::TableData>& out,
                   rfcwire::ErrorRecord& error) {
    out.clear();
    if (list == nullptr) return true;
    for (size_t i = 0; list[i].name != nullptr; ++i) {
        if (TooLong(i, "table", error)) return false;
        const RFC_TABLE& t = list[i];
        rfcwire::TableData table;
        table.name = ListName(t.name, t.nlen);
        if (!DescribeType(t.type, table.type, table.structure, table.name, error)) return false;
        if (t.ithandle == nullptr || t.leng == 0) {
            error = MakeError(RFC_ERROR_PROGRAM,
                              "table '" + platform::ToUtf8(table.name) + "' has no internal table");
            return false;
        }
        table.rowCount = ItFillU(t.ithandle);
        const unsigned int own = ItLengU(t.ithandle);
        const PartnerLayout layout(t.type);
        std::vector<uint8_t> wide(t.leng, 0);
        table.rowLength = static_cast<uint32_t>(
            narrowPartner ? layout.Narrow(wide.data(), wide.size()).size() : t.leng);
        table.rows.reserve(size_t{table.rowLength} * table.rowCount);
        for (unsigned int r = 0; r < table.rowCount; ++r) {
            std::memcpy(wide.data(), TableRow(*t.ithandle, r), std::min(own, t.leng));
            if (narrowPartner) {
                const std::vector<uint8_t> row = layout.Narrow(wide.data(), wide.size());
                table.rows.insert(table.rows.end(), row.begin(), row.end());
            } else {
                table.rows.insert(table.rows.end(), wide.begin(), wide.end());
            }
        }
        out.push_back(std::move(table));
    }
    return true;
}

bool FillImporting(RFC_PARAMETER* list, bool narrowPartner,
                   const std::vector<rfcwire::Value>& values, rfcwire::ErrorRecord& error) {
    if (list == nullptr) return true;
    for (size_t i = 0; list[i].name != nullptr; ++i) {
        if (TooLong(i, "importing", error)) return false;
        RFC_PARAMETER& p = list[i];
        const std::u16string name = ListName(p.name, p.nlen);
        for (const rfcwire::Value& value : values) {
            if (value.name != name) continue;
            if (p.addr == nullptr) break;
            if (narrowPartner)
                CopyPadded(PartnerLayout(p.type).Widen(value.bytes.data(), value.bytes.size()),
                           p.addr, p.leng, IsCharacterLike(p.type));
            else
                CopyPadded(value.bytes, p.addr, p.leng, IsCharacterLike(p.type));
            break;
        }
    }
    return true;
}

bool TableFiller::Add(const rfcwire::TableData& rows, rfcwire::ErrorRecord& error) {
    if (list_ == nullptr) return true;
    for (size_t i = 0; list_[i].name != nullptr; ++i) {
        if (TooLong(i, "table", error)) return false;
        RFC_TABLE& t = list_[i];
        if (t.ithandle == nullptr || ListName(t.name, t.nlen) != rows.name) continue;
        if (std::find(started_.begin(), started_.end(), t.ithandle) == started_.end()) {
            ClearTable(*t.ithandle);
            started_.push_back(t.ithandle);
        }
        const size_t own = ItLengU(t.ithandle);
        const PartnerLayout layout(t.type);
        if (narrow_) wide_.resize(layout.WideLength(rows.rowLength));
        for (uint32_t r = 0; r < rows.rowCount; ++r) {
            uint8_t* row = AppendRow(*t.ithandle);
            if (row == nullptr) {
                error = MakeError(RFC_ERROR_RESOURCE, "no memory for the rows of table '" +
                                                          platform::ToUtf8(rows.name) + "'");
                return false;
            }
            const uint8_t* from = rows.rows.data() + size_t{r} * rows.rowLength;
            if (narrow_ && own >= wide_.size()) {
                layout.WidenInto(from, rows.rowLength, row);
            } else if (narrow_) {
                layout.WidenInto(from, rows.rowLength, wide_.data());
                std::memcpy(row, wide_.data(), own);
            } else {
                std::memcpy(row, from, std::min<size_t>(own, rows.rowLength));
            }
        }
        return true;
    }
    return true;
}

}  // namespace rfclib
