// Calls through the NetWeaver library: the function's description, a
// function container with the caller's exporting values and tables, the
// parameters the caller does not pass switched off, RfcInvoke, then the
// module's exports and tables rebuilt field by field into the caller's
// buffers in the classic 2-byte layout, and the container destroyed.
#include <algorithm>
#include <cstring>

#include "client/ErrorState.h"
#include "client/InternalTable.h"
#include "client/ParameterLists.h"
#include "nwrfc/FieldTransfer.h"
#include "nwrfc/SdkBackend.h"
#include "nwrfc/SdkErrors.h"
#include "nwrfc/SdkText.h"
#include "platform/TextCodec.h"

namespace rfclib::nw {
namespace {

constexpr size_t kMaxNameUnits = 256;

bool Listed(size_t index, const char* what, ErrorRecord& error) {
    if (index < kMaxListRecords) return true;
    error = MakeError(RFC_ERROR_PROGRAM, std::string(what) + " list has no terminating record within " +
                                             std::to_string(kMaxListRecords) + " records");
    return false;
}

template <typename Record>
const Record* FindRecord(const Record* list, std::u16string_view name) {
    if (list == nullptr) return nullptr;
    for (size_t i = 0; i < kMaxListRecords && list[i].name != nullptr; ++i)
        if (ListName(list[i].name, list[i].nlen) == name) return &list[i];
    return nullptr;
}

bool IsCharacter(RFC_TYPEHANDLE type) {
    return type == RFCTYPE_CHAR || type == RFCTYPE_DATE || type == RFCTYPE_TIME ||
           type == RFCTYPE_NUM;
}

// The function container of one call, destroyed on every way out.
class FunctionContainer {
  public:
    FunctionContainer(const Functions& api, nwrfc::RFC_FUNCTION_DESC_HANDLE desc) : api_(api) {
        handle_ = api_.RfcCreateFunction(desc, &info_);
    }
    ~FunctionContainer() {
        if (handle_ != nullptr) api_.RfcDestroyFunction(handle_, nullptr);
    }
    FunctionContainer(const FunctionContainer&) = delete;
    FunctionContainer& operator=(const FunctionContainer&) = delete;
    nwrfc::RFC_FUNCTION_HANDLE Handle() const { return handle_; }
    const nwrfc::RFC_ERROR_INFO& Info() const { return info_; }

  private:
    const Functions& api_;
    nwrfc::RFC_FUNCTION_HANDLE handle_ = nullptr;
    nwrfc::RFC_ERROR_INFO info_{};
};

// A parameter the caller passes, as one place in its own buffer.
FieldPlace ParameterPlace(const RFC_PARAMETER& p, const nwrfc::RFC_PARAMETER_DESC& desc,
                          std::u16string name, size_t length) {
    FieldPlace place;
    place.type = p.type;
    place.length = length;
    place.decimals = desc.decimals;
    place.name = std::move(name);
    return place;
}

class CallRunner {
  public:
    CallRunner(const Functions& api, nwrfc::RFC_FUNCTION_DESC_HANDLE desc,
               nwrfc::RFC_FUNCTION_HANDLE function)
        : api_(api), desc_(desc), function_(function) {}

    bool Describe(const std::u16string& name, nwrfc::RFC_PARAMETER_DESC& out) {
        nwrfc::RFC_ERROR_INFO info{};
        return api_.RfcGetParameterDescByName(desc_, name.c_str(), &out, &info) ==
               nwrfc::RFC_OK;
    }

    bool SetImport(const RFC_PARAMETER& p, ErrorRecord& error) {
        const std::u16string name = ListName(p.name, p.nlen);
        nwrfc::RFC_PARAMETER_DESC desc{};
        if (!Describe(name, desc)) return true;  // the module does not take it
        if (p.addr == nullptr || p.leng == 0) return true;
        const auto* value = static_cast<const uint8_t*>(p.addr);
        if (p.type >= RFCTYPE_FIRST_INSTALLED) {
            nwrfc::RFC_STRUCTURE_HANDLE structure = nullptr;
            RowMapping mapping;
            return Structure(name, desc, p, structure, mapping, error) &&
                   mapping.Write(api_, structure, value, error);
        }
        return WriteField(api_, function_, ParameterPlace(p, desc, name, p.leng), value, p.leng,
                          error);
    }

    // Cut to the caller's length, padded with blanks (text) or zeros, as
    // the classic library fills importing values.
    bool GetExport(RFC_PARAMETER& p, ErrorRecord& error) {
        const std::u16string name = ListName(p.name, p.nlen);
        nwrfc::RFC_PARAMETER_DESC desc{};
        if (!Describe(name, desc) || p.addr == nullptr || p.leng == 0) return true;
        auto* out = static_cast<uint8_t*>(p.addr);
        if (p.type >= RFCTYPE_FIRST_INSTALLED) {
            nwrfc::RFC_STRUCTURE_HANDLE structure = nullptr;
            RowMapping mapping;
            std::memset(out, 0, p.leng);
            return Structure(name, desc, p, structure, mapping, error) &&
                   mapping.Read(api_, structure, out, error);
        }
        const size_t full = p.type == RFCTYPE_BCD ? p.leng : std::max<size_t>(desc.ucLength, 1);
        scratch_.assign(full, 0);
        if (!ReadField(api_, function_, ParameterPlace(p, desc, name, full), scratch_.data(),
                       full, error))
            return false;
        const size_t n = std::min<size_t>(full, p.leng);
        std::memcpy(out, scratch_.data(), n);
        std::memset(out + n, 0, p.leng - n);
        if (IsCharacter(p.type))
            for (size_t i = (n + 1) / 2 * 2; i + 1 < p.leng; i += 2) out[i] = 0x20;
        return true;
    }

    bool SendRows(const nwrfc::RFC_PARAMETER_DESC& desc, const RFC_TABLE& t, ErrorRecord& error) {
        const unsigned rows = ItFillU(t.ithandle);
        if (rows == 0) return true;
        nwrfc::RFC_TABLE_HANDLE table = nullptr;
        nwrfc::RFC_ERROR_INFO info{};
        if (api_.RfcGetTable(function_, desc.name, &table, &info) != nwrfc::RFC_OK) {
            error = ClassicError(info);
            return false;
        }
        const size_t own = ItLengU(t.ithandle);
        RowMapping mapping;
        if (!mapping.Resolve(api_, desc.typeDescHandle, t.type, std::min<size_t>(own, t.leng),
                             error))
            return false;
        for (unsigned r = 1; r <= rows; ++r) {
            nwrfc::RFC_STRUCTURE_HANDLE row = api_.RfcAppendNewRow(table, &info);
            if (row == nullptr) {
                error = ClassicError(info);
                return false;
            }
            if (!mapping.Write(api_, row,
                               static_cast<const uint8_t*>(ItGetLineU(t.ithandle, r)), error))
                return false;
        }
        return true;
    }

    // The library numbers rows from 0, the caller's table from 1.
    bool ReceiveRows(const RFC_TABLE& t, ErrorRecord& error) {
        const std::u16string name = ListName(t.name, t.nlen);
        nwrfc::RFC_PARAMETER_DESC desc{};
        if (t.ithandle == nullptr || !Describe(name, desc)) return true;
        nwrfc::RFC_TABLE_HANDLE table = nullptr;
        nwrfc::RFC_ERROR_INFO info{};
        unsigned rows = 0;
        if (api_.RfcGetTable(function_, name.c_str(), &table, &info) != nwrfc::RFC_OK ||
            api_.RfcGetRowCount(table, &rows, &info) != nwrfc::RFC_OK) {
            error = ClassicError(info);
            return false;
        }
        const size_t own = ItLengU(t.ithandle);
        const size_t length = std::min<size_t>(own, t.leng);
        RowMapping mapping;
        if (!mapping.Resolve(api_, desc.typeDescHandle, t.type, length, error)) return false;
        ReleaseTable(*t.ithandle);
        for (unsigned r = 0; r < rows; ++r) {
            nwrfc::RFC_STRUCTURE_HANDLE row = nullptr;
            if (api_.RfcMoveTo(table, r, &info) != nwrfc::RFC_OK ||
                (row = api_.RfcGetCurrentRow(table, &info)) == nullptr) {
                error = ClassicError(info);
                return false;
            }
            uint8_t* record = AppendRow(*t.ithandle);
            if (record == nullptr) {
                error = MakeError(RFC_ERROR_RESOURCE, "no memory for the rows of table '" +
                                                          platform::ToUtf8(name) + "'");
                return false;
            }
            if (!mapping.Read(api_, row, record, error)) return false;
        }
        return true;
    }

  private:
    // A structure parameter's container and its fields placed in the
    // caller's record.
    bool Structure(const std::u16string& name, const nwrfc::RFC_PARAMETER_DESC& desc,
                   const RFC_PARAMETER& p, nwrfc::RFC_STRUCTURE_HANDLE& structure,
                   RowMapping& mapping, ErrorRecord& error) {
        nwrfc::RFC_ERROR_INFO info{};
        if (api_.RfcGetStructure(function_, name.c_str(), &structure, &info) != nwrfc::RFC_OK) {
            error = ClassicError(info);
            return false;
        }
        return mapping.Resolve(api_, desc.typeDescHandle, p.type, p.leng, error);
    }

    const Functions& api_;
    nwrfc::RFC_FUNCTION_DESC_HANDLE desc_;
    nwrfc::RFC_FUNCTION_HANDLE function_;
    std::vector<uint8_t> scratch_;
};

}  // namespace

bool PendingCall::Take(std::u16string name, const RFC_PARAMETER* exportingList,
                       const RFC_TABLE* tableList, rfcwire::ErrorRecord& error) {
    Clear();
    function = std::move(name);
    for (size_t i = 0; exportingList != nullptr && exportingList[i].name != nullptr; ++i) {
        if (!Listed(i, "exporting", error)) return false;
        const RFC_PARAMETER& p = exportingList[i];
        names_.push_back(ListName(p.name, p.nlen));
        const auto* bytes = static_cast<const uint8_t*>(p.addr);
        values_.emplace_back(bytes, bytes == nullptr ? bytes : bytes + p.leng);
    }
    for (size_t i = 0; i < values_.size(); ++i) {
        const RFC_PARAMETER& p = exportingList[i];
        exporting.push_back(RFC_PARAMETER{names_[i].c_str(),
                                          static_cast<unsigned int>(names_[i].size()),
                                          values_[i].data(),
                                          static_cast<unsigned int>(values_[i].size()), p.type});
    }
    exporting.push_back(RFC_PARAMETER{});
    for (size_t i = 0; tableList != nullptr && tableList[i].name != nullptr; ++i) {
        if (!Listed(i, "table", error)) return false;
        RFC_TABLE t = tableList[i];
        names_.push_back(ListName(t.name, t.nlen));
        if (t.ithandle == nullptr || t.leng == 0) {
            error = MakeError(RFC_ERROR_PROGRAM, "table '" + platform::ToUtf8(names_.back()) +
                                                     "' has no internal table");
            return false;
        }
        t.name = names_.back().c_str();
        t.nlen = static_cast<unsigned int>(names_.back().size());
        {
            ITAB_H copy = ItCreateU(t.name, ItLengU(t.ithandle), 0, 0);
            if (copy == nullptr) {
                error = LastError();
                return false;
            }
            const unsigned rows = ItFillU(t.ithandle);
            for (unsigned r = 1; r <= rows; ++r) {
                void* line = ItAppLineU(copy);
                if (line == nullptr) {
                    ItDeleteU(copy);
                    error = MakeError(RFC_ERROR_RESOURCE, "no memory for the rows of a table");
                    return false;
                }
                std::memcpy(line, ItGetLineU(t.ithandle, r), ItLengU(copy));
            }
            t.ithandle = copy;
        }
        tables.push_back(t);
    }
    tables.push_back(RFC_TABLE{});
    active = true;
    return true;
}

void PendingCall::Clear() {
    for (const RFC_TABLE& t : tables)
        if (t.ithandle != nullptr) ItDeleteU(t.ithandle);
    tables.clear();
    exporting.clear();
    names_.clear();
    values_.clear();
    function.clear();
    active = false;
}

namespace {

// A stop's cancel, said as our own protocol says it.
ErrorRecord CallCancelled(const SdkConnection& connection) {
    ErrorRecord error = MakeError(RFC_ERROR_COMMUNICATION, "call to partner '" +
                                                               platform::ToUtf8(connection.host) +
                                                               "' cancelled: stopping");
    error.key = RFC_KEY_CANCELLED;
    return error;
}

}  // namespace

RFC_RC SdkBackend::Invoke(SdkConnection& connection, const std::u16string& function,
                          const RFC_PARAMETER* exporting, const RFC_TABLE* sendTables,
                          RFC_PARAMETER* importing, RFC_TABLE* receiveTables,
                          RFC_CHAR** exception) {
    const unsigned generation = CancelGeneration();
    const RFC_RC rc =
        InvokeOnce(connection, function, exporting, sendTables, importing, receiveTables, exception);
    // An answer of the system (an exception, a failure in the system) stands.
    if ((rc != RFC_FAILURE && rc != RFC_CLOSED) || CancelGeneration() == generation) return rc;
    const ErrorRecord error = CallCancelled(connection);
    connection.MarkBroken(error);
    return Fail(error, RFC_FAILURE);
}

RFC_RC SdkBackend::InvokeOnce(SdkConnection& connection, const std::u16string& function,
                              const RFC_PARAMETER* exporting, const RFC_TABLE* sendTables,
                              RFC_PARAMETER* importing, RFC_TABLE* receiveTables,
                              RFC_CHAR** exception) {
    connection.exceptionText.clear();
    if (exception != nullptr) *exception = connection.exceptionText.data();
    if (!StillOpen(connection)) return Fail(connection.Failure(), RFC_CLOSED);
    if (Cancelled()) return Fail(CallCancelled(connection), RFC_FAILURE);
    const Functions& api = Api();
    // Marked busy while the library works for this call, so that a stop
    // cancels it.
    struct Busy {
        explicit Busy(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
        ~Busy() { flag_ = false; }
        std::atomic<bool>& flag_;
    } busy(connection.busy);
    nwrfc::RFC_ERROR_INFO info{};
    nwrfc::RFC_FUNCTION_DESC_HANDLE desc =
        api.RfcGetFunctionDesc(connection.handle, function.c_str(), &info);
    if (desc == nullptr) {
        ErrorRecord error = ClassicError(info);
        if (ClosesConnection(info.code)) {
            connection.MarkBroken(error);
            return Fail(error, RFC_FAILURE);
        }
        // A module the system does not know: it refused the call, as our
        // own protocol reports it; the connection stays.
        error.group = RFC_ERROR_SYSTEM_FAILURE;
        return Fail(error, RFC_SYS_EXCEPTION);
    }
    FunctionContainer container(api, desc);
    if (container.Handle() == nullptr) return Fail(ClassicError(container.Info()), RFC_FAILURE);
    CallRunner runner(api, desc, container.Handle());
    ErrorRecord error;
    for (size_t i = 0; exporting != nullptr && exporting[i].name != nullptr; ++i)
        if (!Listed(i, "exporting", error) || !runner.SetImport(exporting[i], error))
            return Fail(error, RFC_FAILURE);

    // Tables the caller does not list travel neither way; imports it does
    // not pass keep the module's defaults.
    unsigned count = 0;
    if (api.RfcGetParameterCount(desc, &count, &info) != nwrfc::RFC_OK)
        return Fail(ClassicError(info), RFC_FAILURE);
    for (unsigned i = 0; i < count; ++i) {
        nwrfc::RFC_PARAMETER_DESC p{};
        if (api.RfcGetParameterDescByIndex(desc, i, &p, &info) != nwrfc::RFC_OK)
            return Fail(ClassicError(info), RFC_FAILURE);
        const std::u16string name(SdkText(p.name));
        bool wanted = true;
        if (p.direction == nwrfc::RFC_TABLES) {
            const RFC_TABLE* send = FindRecord(sendTables, name);
            wanted = send != nullptr || FindRecord(receiveTables, name) != nullptr;
            if (send != nullptr && send->ithandle != nullptr && !runner.SendRows(p, *send, error))
                return Fail(error, RFC_FAILURE);
        } else if (p.direction == nwrfc::RFC_IMPORT || p.direction == nwrfc::RFC_CHANGING) {
            wanted = FindRecord(exporting, name) != nullptr;
        }
        if (!wanted &&
            api.RfcSetParameterActive(container.Handle(), p.name, 0, &info) != nwrfc::RFC_OK)
            return Fail(ClassicError(info), RFC_FAILURE);
    }

    const nwrfc::RFC_RC rc = api.RfcInvoke(connection.handle, container.Handle(), &info);
    if (rc != nwrfc::RFC_OK) {
        error = ClassicError(info);  // a stop's cancel is said as such by Invoke
        if (ClosesConnection(rc)) connection.MarkBroken(error);
        if (rc == nwrfc::RFC_ABAP_EXCEPTION) {
            connection.exceptionText = error.key;
            if (exception != nullptr) *exception = connection.exceptionText.data();
        }
        return Fail(error, ClassicCallResult(rc));
    }
    for (size_t i = 0; importing != nullptr && importing[i].name != nullptr; ++i)
        if (!Listed(i, "importing", error) || !runner.GetExport(importing[i], error))
            return Fail(error, RFC_FAILURE);
    for (size_t i = 0; receiveTables != nullptr && receiveTables[i].name != nullptr; ++i)
        if (!Listed(i, "table", error) || !runner.ReceiveRows(receiveTables[i], error))
            return Fail(error, RFC_FAILURE);
    return RFC_OK;
}

RFC_RC SdkBackend::Call(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                        RFC_TABLE* tables) {
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcCall", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->mutex);
    if (!StillOpen(*connection)) return Fail(connection->Failure(), RFC_CLOSED);
    if (connection->pending.active)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCall: the answer of " +
                                                     platform::ToUtf8(connection->pending.function) +
                                                     " has not been received"),
                    RFC_FAILURE);
    const std::u16string name = FromRfcChars(function, kMaxNameUnits);
    if (name.empty())
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCall: no function module named"), RFC_FAILURE);
    ErrorRecord error;
    if (!connection->pending.Take(name, exporting, tables, error)) {
        connection->pending.Clear();
        return Fail(error, RFC_FAILURE);
    }
    return RFC_OK;
}

RFC_RC SdkBackend::Receive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                           RFC_CHAR** exception) {
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcReceive", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->mutex);
    if (!connection->pending.active) {
        connection->exceptionText.clear();
        if (exception != nullptr) *exception = connection->exceptionText.data();
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcReceive: no call is waiting for its answer"),
                    RFC_FAILURE);
    }
    rc = Invoke(*connection, connection->pending.function, connection->pending.exporting.data(),
                connection->pending.tables.data(), importing, tables, exception);
    connection->pending.Clear();
    return rc;
}

RFC_RC SdkBackend::CallReceive(RFC_HANDLE handle, const RFC_CHAR* function,
                               RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                               RFC_TABLE* tables, RFC_CHAR** exception) {
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcCallReceive", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->mutex);
    if (connection->pending.active)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCallReceive: the answer of " +
                                                     platform::ToUtf8(connection->pending.function) +
                                                     " has not been received"),
                    RFC_FAILURE);
    const std::u16string name = FromRfcChars(function, kMaxNameUnits);
    if (name.empty())
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCallReceive: no function module named"),
                    RFC_FAILURE);
    return Invoke(*connection, name, exporting, tables, importing, tables, exception);
}

}  // namespace rfclib::nw
