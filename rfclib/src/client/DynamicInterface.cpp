// The C entry points that read function interfaces and structure
// definitions from the partner system into PARAMS and FIELDS tables.
#include <cstring>

#include "client/ClientConnection.h"
#include "client/ErrorState.h"
#include "client/HandleTable.h"
#include "client/InternalTable.h"
#include "nwrfc/SdkBackend.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"
#include "wire/MessageCodec.h"

namespace rfclib {
namespace {

// Sends request and returns the reply of type Reply, or a failure rc.
template <typename Reply, typename Request>
RFC_RC Exchange(RFC_HANDLE handle, const Request& request, const char* function, Reply& out) {
    auto connection = FindConnection(handle);
    if (!connection)
        return Fail(MakeError(RFC_ERROR_HANDLE, std::string(function) + ": RFC handle " +
                                                    std::to_string(handle) + " is not valid"),
                    handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE);
    std::lock_guard lock(connection->Mutex());
    if (connection->Broken()) return Fail(connection->Failure(), RFC_CLOSED);
    if (connection->callPending)
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              std::string(function) + ": a call is waiting for its answer"),
                    RFC_FAILURE);
    connection->exceptionText.clear();
    rfcwire::ServerMessage message;
    ErrorRecord error;
    if (!connection->Send(rfcwire::Encode(request), error) || !connection->Receive(message, error))
        return Fail(error, RFC_FAILURE);
    auto* reply = std::get_if<Reply>(&message);
    if (reply == nullptr)
        return Fail(
            MakeError(RFC_ERROR_PROTOCOL,
                      std::string(function) + ": the partner answered with another message"),
            RFC_FAILURE);
    out = std::move(*reply);
    return RFC_OK;
}

RFC_RC FillRows(ITAB_H table, const rfcwire::RowBlock& block, size_t rowSize,
                const char* function) {
    if (ItLengU(table) < rowSize || block.rowLength != rowSize)
        return Fail(MakeError(RFC_ERROR_PROTOCOL, std::string(function) + ": rows of " +
                                                      std::to_string(block.rowLength) + " bytes, " +
                                                      std::to_string(rowSize) + " expected"),
                    RFC_FAILURE);
    if (!ReplaceRows(*table, block.rows.data(), block.rowCount, rowSize))
        return Fail(MakeError(RFC_ERROR_RESOURCE, std::string(function) + ": no memory"),
                    RFC_FAILURE);
    return RFC_OK;
}

void SetException(RFC_HANDLE handle, const std::u16string& key, RFC_CHAR** exception) {
    if (exception == nullptr) return;
    auto connection = FindConnection(handle);
    if (!connection) return;
    std::lock_guard lock(connection->Mutex());
    connection->exceptionText = key;
    *exception = connection->exceptionText.data();
}

}  // namespace
}  // namespace rfclib

using namespace rfclib;

extern "C" {

RFC_RC RfcGetFunctionInfoAsTableU(RFC_HANDLE handle, const RFC_CHAR* function, ITAB_H params,
                                  RFC_CHAR** exception) {
    if (auto* sdk = nw::SdkBackend::Active())
        return sdk->FunctionInfo(handle, function, params, exception);
    static constexpr char kName[] = "RfcGetFunctionInfoAsTable";
    if (exception != nullptr) *exception = nullptr;
    if (function == nullptr || params == nullptr)
        return Fail(
            MakeError(RFC_ERROR_PROGRAM, std::string(kName) + ": function and table required"),
            RFC_FAILURE);
    rfcwire::InterfaceRequest request{FromRfcChars(function, rfcwire::kMaxNameUnits)};
    rfcwire::InterfaceReply reply;
    const RFC_RC rc = Exchange(handle, request, kName, reply);
    if (rc != RFC_OK) return rc;
    if (!reply.found) {
        SetException(handle, reply.error.key, exception);
        return Fail(reply.error, RFC_FAILURE);
    }
    return FillRows(params, reply.params, sizeof(RFC_U_FUNINT), kName);
}

RFC_RC RfcAlignFunctionInterfaceU(RFC_HANDLE handle, const RFC_CHAR*, ITAB_H params) {
    if (auto* sdk = nw::SdkBackend::Active()) return sdk->AlignInterface(handle, params);
    // The partner sends offsets for the UTF-16 layout of this platform
    // already aligned, so there is nothing to recompute; check the inputs.
    if (FindConnection(handle) == nullptr)
        return Fail(MakeError(RFC_ERROR_HANDLE, "RfcAlignFunctionInterface: RFC handle " +
                                                    std::to_string(handle) + " is not valid"),
                    handle == RFC_HANDLE_NULL ? RFC_NOT_OPEN : RFC_INVALID_HANDLE);
    if (params == nullptr || ItLengU(params) < sizeof(RFC_U_FUNINT))
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              "RfcAlignFunctionInterface: table of PARAMS rows required"),
                    RFC_FAILURE);
    return RFC_OK;
}

RFC_RC RfcGetStructureInfoAsTableU(RFC_HANDLE handle, const RFC_CHAR* structure, ITAB_H fields, int,
                                   unsigned int* length_b1, unsigned int* length_b2,
                                   unsigned int* length_b4, unsigned int* field_count,
                                   unsigned int* alignment, RFC_CHAR** exception) {
    if (auto* sdk = nw::SdkBackend::Active())
        return sdk->StructureInfo(handle, structure, fields, length_b1, length_b2, length_b4,
                                  field_count, alignment, exception);
    static constexpr char kName[] = "RfcGetStructureInfoAsTable";
    if (exception != nullptr) *exception = nullptr;
    if (structure == nullptr || fields == nullptr)
        return Fail(
            MakeError(RFC_ERROR_PROGRAM, std::string(kName) + ": structure and table required"),
            RFC_FAILURE);
    rfcwire::StructureRequest request{FromRfcChars(structure, rfcwire::kMaxNameUnits)};
    rfcwire::StructureReply reply;
    const RFC_RC rc = Exchange(handle, request, kName, reply);
    if (rc != RFC_OK) return rc;
    if (!reply.found) {
        SetException(handle, reply.error.key, exception);
        return Fail(reply.error, RFC_FAILURE);
    }
    const RFC_RC filled = FillRows(fields, reply.fields, sizeof(RFC_U_FIELDS), kName);
    if (filled != RFC_OK) return filled;
    if (length_b1 != nullptr) *length_b1 = reply.lengthB1;
    if (length_b2 != nullptr) *length_b2 = reply.lengthB2;
    if (length_b4 != nullptr) *length_b4 = reply.lengthB4;
    if (field_count != nullptr) *field_count = reply.fieldCount;
    if (alignment != nullptr) *alignment = reply.alignment;
    return RFC_OK;
}

}  // extern "C"
