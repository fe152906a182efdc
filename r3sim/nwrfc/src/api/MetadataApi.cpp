// The SDK's entry points for the metadata repository and the readers of
// function and type descriptions. Descriptions belong to the repository.
#include <type_traits>

#include "Containers.h"
#include "MetadataFetch.h"
#include "Repository.h"
#include "Text.h"

using namespace nwsim;

namespace {

const FunctionDesc* FunctionOf(nwrfc::RFC_FUNCTION_DESC_HANDLE handle) {
    return reinterpret_cast<const FunctionDesc*>(handle);
}
const TypeDesc* TypeOf(nwrfc::RFC_TYPE_DESC_HANDLE handle) {
    return reinterpret_cast<const TypeDesc*>(handle);
}
nwrfc::RFC_FUNCTION_DESC_HANDLE HandleOf(const FunctionDesc* desc) {
    return reinterpret_cast<nwrfc::RFC_FUNCTION_DESC_HANDLE>(const_cast<FunctionDesc*>(desc));
}
nwrfc::RFC_TYPE_DESC_HANDLE HandleOf(const TypeDesc* desc) {
    return reinterpret_cast<nwrfc::RFC_TYPE_DESC_HANDLE>(const_cast<TypeDesc*>(desc));
}

nwrfc::RFC_RC NullHandle(const char* what, nwrfc::RFC_ERROR_INFO* info) {
    return Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              std::string(what) + ": the description handle is NULL"),
                  info);
}

nwrfc::RFC_RC NoSuch(const std::string& what, nwrfc::RFC_ERROR_INFO* info) {
    return Report(MakeFailure(nwrfc::RFC_INVALID_PARAMETER, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                              what + " does not exist"),
                  info);
}

void FillParameter(const ParameterDesc& p, nwrfc::RFC_PARAMETER_DESC& out) {
    out = {};
    PutText(p.name, out.name);
    out.type = p.slot.type;
    out.direction = p.direction;
    out.nucLength = p.slot.nucLength;
    out.ucLength = p.slot.ucLength;
    out.decimals = p.slot.decimals;
    out.typeDescHandle = HandleOf(p.slot.typeDesc);
    PutText(p.defaultValue, out.defaultValue);
    PutText(p.text, out.parameterText);
    out.optional = p.optional ? 1 : 0;
}

void FillField(const FieldDesc& f, nwrfc::RFC_FIELD_DESC& out) {
    out = {};
    PutText(f.name, out.name);
    out.type = f.slot.type;
    out.nucLength = f.slot.nucLength;
    out.nucOffset = f.slot.nucOffset;
    out.ucLength = f.slot.ucLength;
    out.ucOffset = f.slot.ucOffset;
    out.decimals = f.slot.decimals;
    out.typeDescHandle = HandleOf(f.slot.typeDesc);
}

// Runs fetch(connection, name, failure) with the connection locked.
template <typename Desc, typename Fetch>
const Desc* Fetched(nwrfc::RFC_CONNECTION_HANDLE rfcHandle, const nwrfc::SAP_UC* name,
                    const char* function, nwrfc::RFC_ERROR_INFO* info, Fetch fetch) {
    const std::u16string_view text = TextOf(name, kMaxNameUnits + 1);
    Failure failure;
    if (text.empty() || text.size() > kMaxNameUnits) {
        Report(InvalidParameter(std::string(function) + ": a name of 1 to 30 characters is required"),
               info);
        return nullptr;
    }
    LockedConnection locked;
    const Desc* desc = nullptr;
    if (LockConnection(rfcHandle, function, locked, failure))
        desc = fetch(*locked.connection, text, failure);
    if (desc == nullptr) {
        Report(failure, info);
        return nullptr;
    }
    Succeed(info);
    return desc;
}

// A description the repository of a system already holds.
template <typename Desc>
const Desc* Cached(const nwrfc::SAP_UC* repositoryID, const nwrfc::SAP_UC* name,
                   nwrfc::RFC_ERROR_INFO* info) {
    Repository* repository = Repository::Existing(TextOf(repositoryID, kMaxNameUnits));
    const Desc* desc = nullptr;
    if (repository != nullptr) {
        if constexpr (std::is_same_v<Desc, FunctionDesc>)
            desc = repository->Function(TextOf(name, kMaxNameUnits));
        else
            desc = repository->Type(TextOf(name, kMaxNameUnits));
    }
    if (desc == nullptr) {
        Report(MakeFailure(nwrfc::RFC_NOT_FOUND, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                           "'" + Utf8(TextOf(name, kMaxNameUnits)) +
                               "' is not in the repository of '" +
                               Utf8(TextOf(repositoryID, kMaxNameUnits)) + "'"),
               info);
        return nullptr;
    }
    Succeed(info);
    return desc;
}

}  // namespace

extern "C" {

nwrfc::RFC_FUNCTION_DESC_HANDLE RfcGetFunctionDesc(nwrfc::RFC_CONNECTION_HANDLE rfcHandle,
                                                   const nwrfc::SAP_UC* funcName,
                                                   nwrfc::RFC_ERROR_INFO* errorInfo) {
    return HandleOf(
        Fetched<FunctionDesc>(rfcHandle, funcName, "RfcGetFunctionDesc", errorInfo, FetchFunction));
}

nwrfc::RFC_TYPE_DESC_HANDLE RfcGetTypeDesc(nwrfc::RFC_CONNECTION_HANDLE rfcHandle,
                                           const nwrfc::SAP_UC* typeName,
                                           nwrfc::RFC_ERROR_INFO* errorInfo) {
    return HandleOf(Fetched<TypeDesc>(rfcHandle, typeName, "RfcGetTypeDesc", errorInfo, FetchType));
}

nwrfc::RFC_FUNCTION_DESC_HANDLE RfcGetCachedFunctionDesc(const nwrfc::SAP_UC* repositoryID,
                                                         const nwrfc::SAP_UC* funcName,
                                                         nwrfc::RFC_ERROR_INFO* errorInfo) {
    return HandleOf(Cached<FunctionDesc>(repositoryID, funcName, errorInfo));
}

nwrfc::RFC_TYPE_DESC_HANDLE RfcGetCachedTypeDesc(const nwrfc::SAP_UC* repositoryID,
                                                 const nwrfc::SAP_UC* typeName,
                                                 nwrfc::RFC_ERROR_INFO* errorInfo) {
    return HandleOf(Cached<TypeDesc>(repositoryID, typeName, errorInfo));
}

nwrfc::RFC_RC RfcClearRepository(const nwrfc::SAP_UC* repositoryID, nwrfc::RFC_ERROR_INFO* errorInfo) {
    Repository::Clear(TextOf(repositoryID, kMaxNameUnits));
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetFunctionName(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc,
                          nwrfc::RFC_ABAP_NAME bufferForName, nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetFunctionName", errorInfo);
    if (bufferForName == nullptr)
        return Report(InvalidParameter("RfcGetFunctionName: no buffer"), errorInfo);
    PutText(FunctionOf(funcDesc)->Name(), bufferForName, 31);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetParameterCount(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count,
                            nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetParameterCount", errorInfo);
    if (count == nullptr) return Report(InvalidParameter("RfcGetParameterCount: count is NULL"), errorInfo);
    *count = static_cast<unsigned>(FunctionOf(funcDesc)->Parameters().size());
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetParameterDescByIndex(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index,
                                  nwrfc::RFC_PARAMETER_DESC* paramDesc,
                                  nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetParameterDescByIndex", errorInfo);
    const auto& parameters = FunctionOf(funcDesc)->Parameters();
    if (paramDesc == nullptr)
        return Report(InvalidParameter("RfcGetParameterDescByIndex: paramDesc is NULL"), errorInfo);
    if (index >= parameters.size()) return NoSuch("parameter " + std::to_string(index), errorInfo);
    FillParameter(parameters[index], *paramDesc);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetParameterDescByName(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc,
                                 const nwrfc::SAP_UC* name, nwrfc::RFC_PARAMETER_DESC* paramDesc,
                                 nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetParameterDescByName", errorInfo);
    if (paramDesc == nullptr)
        return Report(InvalidParameter("RfcGetParameterDescByName: paramDesc is NULL"), errorInfo);
    const FunctionDesc* desc = FunctionOf(funcDesc);
    const int index = desc->Find(TextOf(name, kMaxNameUnits));
    if (index < 0) return NoSuch("parameter " + Utf8(TextOf(name, kMaxNameUnits)), errorInfo);
    FillParameter(desc->Parameters()[static_cast<size_t>(index)], *paramDesc);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetExceptionCount(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count,
                            nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetExceptionCount", errorInfo);
    if (count == nullptr) return Report(InvalidParameter("RfcGetExceptionCount: count is NULL"), errorInfo);
    *count = static_cast<unsigned>(FunctionOf(funcDesc)->Exceptions().size());
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetExceptionDescByIndex(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index,
                                  nwrfc::RFC_EXCEPTION_DESC* excDesc,
                                  nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (funcDesc == nullptr) return NullHandle("RfcGetExceptionDescByIndex", errorInfo);
    if (excDesc == nullptr)
        return Report(InvalidParameter("RfcGetExceptionDescByIndex: excDesc is NULL"), errorInfo);
    const auto& exceptions = FunctionOf(funcDesc)->Exceptions();
    if (index >= exceptions.size()) return NoSuch("exception " + std::to_string(index), errorInfo);
    *excDesc = {};
    PutText(exceptions[index].key, excDesc->key);
    PutText(exceptions[index].message, excDesc->message);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetTypeName(nwrfc::RFC_TYPE_DESC_HANDLE typeHandle, nwrfc::RFC_ABAP_NAME bufferForName,
                      nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (typeHandle == nullptr) return NullHandle("RfcGetTypeName", errorInfo);
    if (bufferForName == nullptr)
        return Report(InvalidParameter("RfcGetTypeName: no buffer"), errorInfo);
    PutText(TypeOf(typeHandle)->Name(), bufferForName, 31);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetFieldCount(nwrfc::RFC_TYPE_DESC_HANDLE typeHandle, unsigned* count,
                        nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (typeHandle == nullptr) return NullHandle("RfcGetFieldCount", errorInfo);
    if (count == nullptr) return Report(InvalidParameter("RfcGetFieldCount: count is NULL"), errorInfo);
    *count = static_cast<unsigned>(TypeOf(typeHandle)->Fields().size());
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetFieldDescByIndex(nwrfc::RFC_TYPE_DESC_HANDLE typeHandle, unsigned index,
                              nwrfc::RFC_FIELD_DESC* fieldDescr, nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (typeHandle == nullptr) return NullHandle("RfcGetFieldDescByIndex", errorInfo);
    if (fieldDescr == nullptr)
        return Report(InvalidParameter("RfcGetFieldDescByIndex: fieldDescr is NULL"), errorInfo);
    const auto& fields = TypeOf(typeHandle)->Fields();
    if (index >= fields.size()) return NoSuch("field " + std::to_string(index), errorInfo);
    FillField(fields[index], *fieldDescr);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetFieldDescByName(nwrfc::RFC_TYPE_DESC_HANDLE typeHandle, const nwrfc::SAP_UC* name,
                             nwrfc::RFC_FIELD_DESC* fieldDescr, nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (typeHandle == nullptr) return NullHandle("RfcGetFieldDescByName", errorInfo);
    if (fieldDescr == nullptr)
        return Report(InvalidParameter("RfcGetFieldDescByName: fieldDescr is NULL"), errorInfo);
    const TypeDesc* type = TypeOf(typeHandle);
    const int index = type->Find(TextOf(name, kMaxNameUnits));
    if (index < 0) return NoSuch("field " + Utf8(TextOf(name, kMaxNameUnits)), errorInfo);
    FillField(type->Fields()[static_cast<size_t>(index)], *fieldDescr);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetTypeLength(nwrfc::RFC_TYPE_DESC_HANDLE typeHandle, unsigned* nucByteLength,
                        unsigned* ucByteLength, nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (typeHandle == nullptr) return NullHandle("RfcGetTypeLength", errorInfo);
    if (nucByteLength != nullptr) *nucByteLength = TypeOf(typeHandle)->NucLength();
    if (ucByteLength != nullptr) *ucByteLength = TypeOf(typeHandle)->UcLength();
    return Succeed(errorInfo);
}

nwrfc::RFC_FUNCTION_DESC_HANDLE RfcDescribeFunction(nwrfc::RFC_FUNCTION_HANDLE funcHandle,
                                                    nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* container = reinterpret_cast<DataContainer*>(funcHandle);
    if (container == nullptr || container->GetKind() != DataContainer::Kind::kFunction) {
        Report(InvalidParameter("RfcDescribeFunction: not a function handle"), errorInfo);
        return nullptr;
    }
    Succeed(errorInfo);
    return HandleOf(&static_cast<FunctionContainer*>(container)->Desc());
}

nwrfc::RFC_TYPE_DESC_HANDLE RfcDescribeType(nwrfc::DATA_CONTAINER_HANDLE dataHandle,
                                            nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* container = reinterpret_cast<DataContainer*>(dataHandle);
    const TypeDesc* type = nullptr;
    if (container != nullptr && container->GetKind() == DataContainer::Kind::kStructure)
        type = &static_cast<StructureContainer*>(container)->Type();
    if (container != nullptr && container->GetKind() == DataContainer::Kind::kTable)
        type = &static_cast<TableContainer*>(container)->RowType();
    if (type == nullptr) {
        Report(InvalidParameter("RfcDescribeType: not a structure or table handle"), errorInfo);
        return nullptr;
    }
    Succeed(errorInfo);
    return HandleOf(type);
}

}  // extern "C"
