// The SDK's entry points that create, destroy and call data containers.
#include "FieldLookup.h"
#include "Invoke.h"
#include "Text.h"

using namespace nwsim;

namespace {

nwrfc::DATA_CONTAINER_HANDLE HandleOf(DataContainer* container) {
    return reinterpret_cast<nwrfc::DATA_CONTAINER_HANDLE>(container);
}

template <typename Container>
Container* As(nwrfc::DATA_CONTAINER_HANDLE handle, DataContainer::Kind kind, const char* function,
              nwrfc::RFC_ERROR_INFO* info) {
    auto* container = reinterpret_cast<DataContainer*>(handle);
    if (container == nullptr || container->GetKind() != kind) {
        Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                           std::string(function) + ": not a handle of the right kind"),
               info);
        return nullptr;
    }
    return static_cast<Container*>(container);
}

// The function of a handle and the index of its parameter; the failure's
// code, reported into info, otherwise.
nwrfc::RFC_RC Parameter(nwrfc::RFC_FUNCTION_HANDLE handle, const nwrfc::SAP_UC* paramName,
                        const char* function, FunctionContainer*& container, size_t& index,
                        nwrfc::RFC_ERROR_INFO* info) {
    container = As<FunctionContainer>(handle, DataContainer::Kind::kFunction, function, info);
    if (container == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    const std::u16string_view name = TextOf(paramName, kMaxNameUnits);
    const int found = container->Desc().Find(name);
    if (found < 0)
        return Report(InvalidParameter("parameter '" + Utf8(name) + "' does not exist"), info);
    index = static_cast<size_t>(found);
    return nwrfc::RFC_OK;
}

template <typename Create>
nwrfc::DATA_CONTAINER_HANDLE Created(bool described, const char* function,
                                     nwrfc::RFC_ERROR_INFO* info, Create create) {
    if (!described) {
        Report(MakeFailure(nwrfc::RFC_INVALID_HANDLE, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                           std::string(function) + ": the description handle is NULL"),
               info);
        return nullptr;
    }
    Succeed(info);
    return HandleOf(create());
}

template <typename Key>
nwrfc::RFC_RC Child(nwrfc::DATA_CONTAINER_HANDLE dataHandle, Key key, DataContainer::Kind kind,
             nwrfc::DATA_CONTAINER_HANDLE* out, nwrfc::RFC_ERROR_INFO* info) {
    if (out == nullptr) return Report(InvalidParameter("no place for the handle given"), info);
    DataContainer* child = nullptr;
    Failure failure;
    if (!FindChild(dataHandle, key, kind, child, failure)) return Report(failure, info);
    *out = HandleOf(child);
    return Succeed(info);
}

}  // namespace

extern "C" {

nwrfc::RFC_FUNCTION_HANDLE RfcCreateFunction(nwrfc::RFC_FUNCTION_DESC_HANDLE funcDescHandle,
                                             nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Created(funcDescHandle != nullptr, "RfcCreateFunction", errorInfo, [&] {
        return new FunctionContainer(*reinterpret_cast<const FunctionDesc*>(funcDescHandle));
    });
}

nwrfc::RFC_RC RfcDestroyFunction(nwrfc::RFC_FUNCTION_HANDLE funcHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* function = As<FunctionContainer>(funcHandle, DataContainer::Kind::kFunction,
                                           "RfcDestroyFunction", errorInfo);
    if (function == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    delete function;
    return Succeed(errorInfo);
}

nwrfc::RFC_STRUCTURE_HANDLE RfcCreateStructure(nwrfc::RFC_TYPE_DESC_HANDLE typeDescHandle,
                                               nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Created(typeDescHandle != nullptr, "RfcCreateStructure", errorInfo, [&] {
        return new StructureContainer(*reinterpret_cast<const TypeDesc*>(typeDescHandle));
    });
}

nwrfc::RFC_RC RfcDestroyStructure(nwrfc::RFC_STRUCTURE_HANDLE structHandle,
                           nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* structure = As<StructureContainer>(structHandle, DataContainer::Kind::kStructure,
                                             "RfcDestroyStructure", errorInfo);
    if (structure == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    delete structure;
    return Succeed(errorInfo);
}

nwrfc::RFC_TABLE_HANDLE RfcCreateTable(nwrfc::RFC_TYPE_DESC_HANDLE typeDescHandle,
                                       nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Created(typeDescHandle != nullptr, "RfcCreateTable", errorInfo, [&] {
        return new TableContainer(*reinterpret_cast<const TypeDesc*>(typeDescHandle));
    });
}

nwrfc::RFC_RC RfcDestroyTable(nwrfc::RFC_TABLE_HANDLE tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* table =
        As<TableContainer>(tableHandle, DataContainer::Kind::kTable, "RfcDestroyTable", errorInfo);
    if (table == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    delete table;
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcSetParameterActive(nwrfc::RFC_FUNCTION_HANDLE funcHandle,
                                    const nwrfc::SAP_UC* paramName, int isActive,
                                    nwrfc::RFC_ERROR_INFO* errorInfo) {
    size_t index = 0;
    FunctionContainer* function = nullptr;
    const nwrfc::RFC_RC rc =
        Parameter(funcHandle, paramName, "RfcSetParameterActive", function, index, errorInfo);
    if (rc != nwrfc::RFC_OK) return rc;
    function->SetActive(index, isActive != 0);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcIsParameterActive(nwrfc::RFC_FUNCTION_HANDLE funcHandle,
                                   const nwrfc::SAP_UC* paramName, int* isActive,
                                   nwrfc::RFC_ERROR_INFO* errorInfo) {
    if (isActive == nullptr)
        return Report(InvalidParameter("RfcIsParameterActive: isActive is NULL"), errorInfo);
    size_t index = 0;
    FunctionContainer* function = nullptr;
    const nwrfc::RFC_RC rc =
        Parameter(funcHandle, paramName, "RfcIsParameterActive", function, index, errorInfo);
    if (rc != nwrfc::RFC_OK) return rc;
    *isActive = function->Active(index) ? 1 : 0;
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcInvoke(nwrfc::RFC_CONNECTION_HANDLE rfcHandle, nwrfc::RFC_FUNCTION_HANDLE funcHandle,
                 nwrfc::RFC_ERROR_INFO* errorInfo) {
    auto* function =
        As<FunctionContainer>(funcHandle, DataContainer::Kind::kFunction, "RfcInvoke", errorInfo);
    if (function == nullptr) return nwrfc::RFC_INVALID_HANDLE;
    LockedConnection locked;
    Failure failure;
    if (!LockConnection(rfcHandle, "RfcInvoke", locked, failure) ||
        !Invoke(*locked.connection, *function, failure))
        return Report(failure, errorInfo);
    return Succeed(errorInfo);
}

nwrfc::RFC_RC RfcGetStructure(nwrfc::DATA_CONTAINER_HANDLE dataHandle, const nwrfc::SAP_UC* name,
                       nwrfc::RFC_STRUCTURE_HANDLE* structHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Child(dataHandle, name, DataContainer::Kind::kStructure, structHandle, errorInfo);
}

nwrfc::RFC_RC RfcGetStructureByIndex(nwrfc::DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                              nwrfc::RFC_STRUCTURE_HANDLE* structHandle,
                              nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Child(dataHandle, index, DataContainer::Kind::kStructure, structHandle, errorInfo);
}

nwrfc::RFC_RC RfcGetTable(nwrfc::DATA_CONTAINER_HANDLE dataHandle, const nwrfc::SAP_UC* name,
                   nwrfc::RFC_TABLE_HANDLE* tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Child(dataHandle, name, DataContainer::Kind::kTable, tableHandle, errorInfo);
}

nwrfc::RFC_RC RfcGetTableByIndex(nwrfc::DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                          nwrfc::RFC_TABLE_HANDLE* tableHandle, nwrfc::RFC_ERROR_INFO* errorInfo) {
    return Child(dataHandle, index, DataContainer::Kind::kTable, tableHandle, errorInfo);
}

}  // extern "C"
