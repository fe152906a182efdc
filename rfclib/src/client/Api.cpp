// The C entry points for connections and calls. Each locks the handle's
// connection for its whole run; failures set the thread's last error.
#include <unistd.h>

#include <cstring>

#include "client/ClientConnection.h"
#include "client/ErrorState.h"
#include "client/HandleTable.h"
#include "client/ParameterLists.h"
#include "nwrfc/SdkBackend.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"
#include "wire/MessageCodec.h"

namespace rfclib {
namespace {

constexpr char16_t kLibraryRelease[] = u"700";
constexpr size_t kMaxConnectStringUnits = 4096;

ErrorRecord HandleError(RFC_HANDLE handle, const char* what) {
    return MakeError(RFC_ERROR_HANDLE, std::string(what) + ": RFC handle " +
                                           std::to_string(handle) + " is not valid");
}

ErrorRecord NullArgument(const char* function, const char* argument) {
    return MakeError(RFC_ERROR_PROGRAM, std::string(function) + ": " + argument + " is NULL");
}

// The open connection of a handle, or a failure already recorded.
std::shared_ptr<ClientConnection> Usable(RFC_HANDLE handle, const char* function, RFC_RC& rc) {
    auto connection = FindConnection(handle);
    if (!connection) {
        rc = Fail(HandleError(handle, function),
                  handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE);
        return nullptr;
    }
    return connection;
}

RFC_RC SendCall(ClientConnection& connection, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                RFC_TABLE* tables) {
    if (connection.Broken()) return Fail(connection.Failure(), RFC_CLOSED);
    if (connection.callPending)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCall: the answer of " +
                                                     platform::ToUtf8(connection.pendingFunction) +
                                                     " has not been received"),
                    RFC_FAILURE);
    rfcwire::CallRequest request;
    request.function = FromRfcChars(function, rfcwire::kMaxNameUnits);
    if (request.function.empty())
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcCall: no function module named"), RFC_FAILURE);
    ErrorRecord error;
    const bool narrow = connection.Attributes().unicode == 0;
    if (!CollectExporting(exporting, narrow, request.exporting, error) ||
        !CollectTables(tables, narrow, request.tables, error))
        return Fail(error, RFC_FAILURE);
    const std::vector<uint8_t> frame = rfcwire::Encode(request);
    if (frame.size() - rfcwire::kFrameHeaderSize > rfcwire::kDefaultMaxPayload)
        return Fail(
            MakeError(RFC_ERROR_RESOURCE, "RfcCall: call of " + platform::ToUtf8(request.function) +
                                              " exceeds the frame size limit"),
            RFC_FAILURE);
    if (!connection.Send(frame, error)) return Fail(error, RFC_FAILURE);
    connection.callPending = true;
    connection.pendingFunction = request.function;
    return RFC_OK;
}

RFC_RC ReceiveCall(ClientConnection& connection, RFC_PARAMETER* importing, RFC_TABLE* tables,
                   RFC_CHAR** exception) {
    connection.exceptionText.clear();
    if (exception != nullptr) *exception = connection.exceptionText.data();
    if (connection.Broken()) return Fail(connection.Failure(), RFC_CLOSED);
    if (!connection.callPending)
        return Fail(MakeError(RFC_ERROR_PROGRAM, "RfcReceive: no call is waiting for its answer"),
                    RFC_FAILURE);
    connection.callPending = false;
    const bool narrow = connection.Attributes().unicode == 0;
    TableFiller filler(tables, narrow);
    rfcwire::ServerMessage message;
    ErrorRecord error;
    for (;;) {
        if (!connection.Receive(message, error)) return Fail(error, RFC_FAILURE);
        const auto* piece = std::get_if<rfcwire::TableRows>(&message);
        if (piece == nullptr) break;
        if (!filler.Add(piece->table, error)) {
            // The rest of the reply is still on its way: the connection
            // cannot be used again.
            connection.Abandon(error);
            return Fail(error, RFC_FAILURE);
        }
    }
    auto* reply = std::get_if<rfcwire::CallReply>(&message);
    if (reply == nullptr)
        return Fail(MakeError(RFC_ERROR_PROTOCOL, "RfcReceive: the partner answered " +
                                                      platform::ToUtf8(connection.pendingFunction) +
                                                      " with another message"),
                    RFC_FAILURE);
    switch (reply->outcome) {
        case rfcwire::CallOutcome::kDone:
            break;
        case rfcwire::CallOutcome::kException: {
            ErrorRecord raised = reply->error;
            raised.group = RFC_ERROR_APPLICATION_EXCEPTION;
            connection.exceptionText = raised.key;
            if (exception != nullptr) *exception = connection.exceptionText.data();
            return Fail(raised, RFC_EXCEPTION);
        }
        case rfcwire::CallOutcome::kSystemFailure:
            return Fail(reply->error, RFC_SYS_EXCEPTION);
    }
    if (!FillImporting(importing, narrow, reply->importing, error)) return Fail(error, RFC_FAILURE);
    for (const rfcwire::TableData& table : reply->tables)
        if (!filler.Add(table, error)) return Fail(error, RFC_FAILURE);
    return RFC_OK;
}

void FillAttributes(const ClientConnection& connection, RFC_ATTRIBUTES& out) {
    std::memset(&out, 0, sizeof out);
    const rfcwire::SystemAttributes& a = connection.Attributes();
    const ConnectParameters& p = connection.Parameters();
    auto put = [](std::u16string_view text, RFC_CHAR* field, size_t width) {
        CopyText(text.substr(0, width - 1), field, width);
    };
    char host[101] = {};
    ::gethostname(host, sizeof host - 1);
    put(platform::FromUtf8(host), out.own_host, 101);
    put(a.partnerHost, out.partner_host, 101);
    put(a.systemNumber, out.systnr, 3);
    put(a.systemId, out.sysid, 9);
    put(p.client, out.client, 4);
    put(p.user, out.user, 13);
    put(a.language, out.language, 2);
    put(a.isoLanguage, out.ISO_language, 3);
    put(u"4103", out.own_codepage, 5);
    put(a.partnerCodepage, out.partner_codepage, 5);
    out.rfc_role = u'C';
    out.own_type = u'E';
    put(kLibraryRelease, out.own_rel, 5);
    out.partner_type = u'3';
    put(a.partnerRelease, out.partner_rel, 5);
    put(a.kernelRelease, out.kernel_rel, 5);
    out.trace = u' ';
}

}  // namespace
}  // namespace rfclib

using namespace rfclib;

extern "C" {

RFC_HANDLE RfcOpenExU(const RFC_CHAR* connect_param, RFC_ERROR_INFO_EX* error_info) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->Open(connect_param, error_info);
    if (connect_param == nullptr) {
        Fail(NullArgument("RfcOpenEx", "connect string"), RFC_FAILURE, error_info);
        return RFC_HANDLE_NULL;
    }
    ConnectParameters parameters;
    std::string reason;
    if (!ParseConnectString(FromRfcChars(connect_param, kMaxConnectStringUnits), parameters,
                            reason)) {
        Fail(MakeError(RFC_ERROR_PROGRAM, reason), RFC_FAILURE, error_info);
        return RFC_HANDLE_NULL;
    }
    ErrorRecord error;
    std::shared_ptr<ClientConnection> connection =
        ClientConnection::Open(parameters, SettingsFromEnvironment(), error);
    if (!connection) {
        Fail(error, RFC_FAILURE, error_info);
        return RFC_HANDLE_NULL;
    }
    const RFC_HANDLE handle = RegisterConnection(connection);
    if (handle == RFC_HANDLE_NULL)
        Fail(MakeError(RFC_ERROR_RESOURCE, "RfcOpenEx: no RFC handle left"), RFC_FAILURE,
             error_info);
    return handle;
}

RFC_RC RfcIsValidHandleU(RFC_HANDLE handle, RFC_ERROR_INFO_EX* error_info) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->IsValid(handle, error_info);
    auto connection = FindConnection(handle);
    if (!connection) {
        const RFC_RC rc = handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE;
        CopyToInfo(HandleError(handle, "RfcIsValidHandle"), error_info);
        return rc;
    }
    if (connection->Broken()) {
        // The failure record is fixed once the connection is marked broken.
        CopyToInfo(connection->Failure(), error_info);
        return RFC_CLOSED;
    }
    return RFC_OK;
}

void RfcCloseU(RFC_HANDLE handle) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->Close(handle);
    auto connection = RemoveConnection(handle);
    if (!connection) return;
    // An idle connection logs off before it closes, so the partner sees a
    // logoff and not a dropped line. Only a wait in progress on another
    // thread is cut short first, so that this close need not wait for it.
    std::unique_lock lock(connection->Mutex(), std::try_to_lock);
    if (!lock.owns_lock()) {
        connection->Abort();
        lock.lock();
    }
    connection->Close();
}

RFC_RC RfcGetAttributesU(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->Attributes(handle, attributes);
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcGetAttributes", rc);
    if (!connection) return rc;
    if (attributes == nullptr)
        return Fail(NullArgument("RfcGetAttributes", "attributes"), RFC_FAILURE);
    std::lock_guard lock(connection->Mutex());
    if (connection->Broken()) return Fail(connection->Failure(), RFC_CLOSED);
    FillAttributes(*connection, *attributes);
    return RFC_OK;
}

int RfcLastErrorExU(RFC_ERROR_INFO_EX* error_info) {
    CopyToInfo(LastError(), error_info);
    return LastError().group;
}

RFC_RC RfcCallU(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                RFC_TABLE* tables) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->Call(handle, function, exporting, tables);
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcCall", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->Mutex());
    return SendCall(*connection, function, exporting, tables);
}

RFC_RC RfcReceiveU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables,
                   RFC_CHAR** exception) {
    if (auto* sdk = nw::SdkBackend::Active())
        return sdk->Receive(handle, importing, tables, exception);
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcReceive", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->Mutex());
    return ReceiveCall(*connection, importing, tables, exception);
}

RFC_RC RfcCallReceiveU(RFC_HANDLE handle, const RFC_CHAR* function, RFC_PARAMETER* exporting,
                       RFC_PARAMETER* importing, RFC_TABLE* tables, RFC_CHAR** exception) {
    if (auto* sdk = nw::SdkBackend::Active())
        return sdk->CallReceive(handle, function, exporting, importing, tables, exception);
    RFC_RC rc = RFC_OK;
    auto connection = Usable(handle, "RfcCallReceive", rc);
    if (!connection) return rc;
    std::lock_guard lock(connection->Mutex());
    rc = SendCall(*connection, function, exporting, tables);
    if (rc != RFC_OK) return rc;
    return ReceiveCall(*connection, importing, tables, exception);
}

}  // extern "C"
