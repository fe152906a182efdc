// Function interfaces and structure definitions through the NetWeaver
// library, written into the classic PARAMS and FIELDS tables.
#include <cstring>

#include "client/ErrorState.h"
#include "client/InternalTable.h"
#include "nwrfc/Descriptors.h"
#include "nwrfc/SdkBackend.h"
#include "nwrfc/SdkErrors.h"
#include "nwrfc/SdkText.h"
#include "platform/TextCodec.h"

namespace rfclib::nw {
namespace {

constexpr size_t kMaxNameUnits = 256;

// The fields of a type and its layout; false with the library's error.
bool ReadType(const Functions& api, nwrfc::RFC_TYPE_DESC_HANDLE type, std::u16string& name,
              std::vector<nwrfc::RFC_FIELD_DESC>& fields, unsigned& nucLength,
              unsigned& ucLength, ErrorRecord& error) {
    nwrfc::RFC_ERROR_INFO info{};
    RFC_CHAR typeName[31] = {};
    unsigned count = 0;
    if (api.RfcGetTypeName(type, typeName, &info) != nwrfc::RFC_OK ||
        api.RfcGetFieldCount(type, &count, &info) != nwrfc::RFC_OK ||
        api.RfcGetTypeLength(type, &nucLength, &ucLength, &info) != nwrfc::RFC_OK) {
        error = ClassicError(info);
        return false;
    }
    name = SdkText(typeName);
    fields.assign(count, nwrfc::RFC_FIELD_DESC{});
    for (unsigned i = 0; i < count; ++i)
        if (api.RfcGetFieldDescByIndex(type, i, &fields[i], &info) != nwrfc::RFC_OK) {
            error = ClassicError(info);
            return false;
        }
    return true;
}

RFC_RC StoreRows(ITAB_H table, const void* rows, size_t count, size_t rowSize,
                 const char* function) {
    if (!ReplaceRows(*table, static_cast<const uint8_t*>(rows), count, rowSize))
        return Fail(MakeError(RFC_ERROR_RESOURCE, std::string(function) + ": no memory"),
                    RFC_FAILURE);
    return RFC_OK;
}

}  // namespace

RFC_RC SdkBackend::FunctionInfo(RFC_HANDLE handle, const RFC_CHAR* function, ITAB_H params,
                                RFC_CHAR** exception) {
    static constexpr char kName[] = "RfcGetFunctionInfoAsTable";
    if (exception != nullptr) *exception = nullptr;
    if (function == nullptr || params == nullptr || ItLengU(params) < sizeof(RFC_U_FUNINT))
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              std::string(kName) + ": function and table of PARAMS rows required"),
                    RFC_FAILURE);
    RFC_RC rc = RFC_OK;
    const Locked locked = LockOpen(handle, kName, rc);
    if (!locked.connection) return rc;
    SdkConnection& connection = *locked.connection;
    connection.exceptionText.clear();
    const Functions& api = Api();
    nwrfc::RFC_ERROR_INFO info{};
    const std::u16string name = FromRfcChars(function, kMaxNameUnits);
    nwrfc::RFC_FUNCTION_DESC_HANDLE desc =
        api.RfcGetFunctionDesc(connection.handle, name.c_str(), &info);
    if (desc == nullptr) return DescriptionFailure(connection, info, exception);
    unsigned count = 0;
    if (api.RfcGetParameterCount(desc, &count, &info) != nwrfc::RFC_OK)
        return Fail(ClassicError(info), RFC_FAILURE);
    std::vector<ParameterDescription> parameters(count);
    ErrorRecord error;
    for (unsigned i = 0; i < count; ++i) {
        ParameterDescription& p = parameters[i];
        if (api.RfcGetParameterDescByIndex(desc, i, &p.desc, &info) != nwrfc::RFC_OK)
            return Fail(ClassicError(info), RFC_FAILURE);
        if (p.desc.typeDescHandle == nullptr) continue;
        std::vector<nwrfc::RFC_FIELD_DESC> fields;
        unsigned nuc = 0, uc = 0;
        if (!ReadType(api, p.desc.typeDescHandle, p.typeName, fields, nuc, uc, error))
            return Fail(error, RFC_FAILURE);
        StructureLayout layout;
        FieldsRows(p.typeName, fields, nuc, uc, layout);
        // A structure or table parameter has its row's lengths.
        p.desc.nucLength = nuc;
        p.desc.ucLength = uc;
        p.wideLength = layout.lengthB4;
    }
    std::vector<std::u16string> exceptions;
    unsigned raised = 0;
    if (api.RfcGetExceptionCount != nullptr && api.RfcGetExceptionDescByIndex != nullptr &&
        api.RfcGetExceptionCount(desc, &raised, &info) == nwrfc::RFC_OK) {
        for (unsigned i = 0; i < raised; ++i) {
            nwrfc::RFC_EXCEPTION_DESC e{};
            if (api.RfcGetExceptionDescByIndex(desc, i, &e, &info) == nwrfc::RFC_OK)
                exceptions.emplace_back(SdkText(e.key));
        }
    }
    const std::vector<RFC_U_FUNINT> rows = ParamsRows(parameters, exceptions);
    return StoreRows(params, rows.data(), rows.size(), sizeof(RFC_U_FUNINT), kName);
}

RFC_RC SdkBackend::AlignInterface(RFC_HANDLE handle, ITAB_H params) {
    // The rows carry the library's own offsets already; check the inputs.
    RFC_RC rc = RFC_OK;
    if (!Usable(handle, "RfcAlignFunctionInterface", rc)) return rc;
    if (params == nullptr || ItLengU(params) < sizeof(RFC_U_FUNINT))
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              "RfcAlignFunctionInterface: table of PARAMS rows required"),
                    RFC_FAILURE);
    return RFC_OK;
}

RFC_RC SdkBackend::StructureInfo(RFC_HANDLE handle, const RFC_CHAR* structure, ITAB_H fields,
                                 unsigned int* lengthB1, unsigned int* lengthB2,
                                 unsigned int* lengthB4, unsigned int* fieldCount,
                                 unsigned int* alignment, RFC_CHAR** exception) {
    static constexpr char kName[] = "RfcGetStructureInfoAsTable";
    if (exception != nullptr) *exception = nullptr;
    if (structure == nullptr || fields == nullptr || ItLengU(fields) < sizeof(RFC_U_FIELDS))
        return Fail(MakeError(RFC_ERROR_PROGRAM,
                              std::string(kName) + ": structure and table of FIELDS rows required"),
                    RFC_FAILURE);
    RFC_RC rc = RFC_OK;
    const Locked locked = LockOpen(handle, kName, rc);
    if (!locked.connection) return rc;
    SdkConnection& connection = *locked.connection;
    connection.exceptionText.clear();
    const Functions& api = Api();
    nwrfc::RFC_ERROR_INFO info{};
    const std::u16string name = FromRfcChars(structure, kMaxNameUnits);
    nwrfc::RFC_TYPE_DESC_HANDLE type = api.RfcGetTypeDesc(connection.handle, name.c_str(), &info);
    if (type == nullptr) return DescriptionFailure(connection, info, exception);
    std::u16string typeName;
    std::vector<nwrfc::RFC_FIELD_DESC> descs;
    unsigned nuc = 0, uc = 0;
    ErrorRecord error;
    if (!ReadType(api, type, typeName, descs, nuc, uc, error)) return Fail(error, RFC_FAILURE);
    StructureLayout layout;
    const std::vector<RFC_U_FIELDS> rows = FieldsRows(name, descs, nuc, uc, layout);
    rc = StoreRows(fields, rows.data(), rows.size(), sizeof(RFC_U_FIELDS), kName);
    if (rc != RFC_OK) return rc;
    if (lengthB1 != nullptr) *lengthB1 = layout.lengthB1;
    if (lengthB2 != nullptr) *lengthB2 = layout.lengthB2;
    if (lengthB4 != nullptr) *lengthB4 = layout.lengthB4;
    if (fieldCount != nullptr) *fieldCount = layout.fieldCount;
    if (alignment != nullptr) *alignment = layout.alignment;
    return RFC_OK;
}

}  // namespace rfclib::nw
