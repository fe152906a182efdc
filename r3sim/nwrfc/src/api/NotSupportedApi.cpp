// Documented SDK entry points that a client over our protocol does not
// offer: servers, transactions, configuration files, tracing, SNC, strings
// of variable length, copying and building containers and descriptions by
// hand. Each answers RFC_NOT_SUPPORTED (a handle-returning one NULL with
// RFC_NOT_SUPPORTED in errorInfo), so a program learns it at once instead
// of crashing.
#include "Errors.h"

using namespace nwsim;
using namespace nwrfc;

namespace {

RFC_RC Unsupported(const char* function, RFC_ERROR_INFO* info) {
    return Report(MakeFailure(RFC_NOT_SUPPORTED, EXTERNAL_RUNTIME_FAILURE,
                              std::string(function) +
                                  " is not supported by this implementation over the r3sim "
                                  "protocol"),
                  info);
}

}  // namespace

extern "C" {

RFC_RC RfcSetIniPath(const SAP_UC*, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSetIniPath", errorInfo);
}

RFC_RC RfcSetTraceLevel(RFC_CONNECTION_HANDLE, SAP_UC*, unsigned, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSetTraceLevel", errorInfo);
}

RFC_RC RfcLoadCryptoLibrary(const SAP_UC*, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcLoadCryptoLibrary", errorInfo);
}

RFC_CONNECTION_HANDLE RfcRegisterServer(const RFC_CONNECTION_PARAMETER*, unsigned,
                                        RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcRegisterServer", errorInfo);
    return nullptr;
}

RFC_CONNECTION_HANDLE RfcStartServer(int, SAP_UC**, const RFC_CONNECTION_PARAMETER*, unsigned,
                                     RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcStartServer", errorInfo);
    return nullptr;
}

RFC_RC RfcListenAndDispatch(RFC_CONNECTION_HANDLE, int, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcListenAndDispatch", errorInfo);
}

RFC_RC RfcInstallServerFunction(const SAP_UC*, RFC_FUNCTION_DESC_HANDLE, RFC_SERVER_FUNCTION,
                                RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcInstallServerFunction", errorInfo);
}

RFC_RC RfcInstallGenericServerFunction(RFC_SERVER_FUNCTION, RFC_FUNC_DESC_CALLBACK,
                                       RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcInstallGenericServerFunction", errorInfo);
}

RFC_RC RfcResetServerContext(RFC_CONNECTION_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcResetServerContext", errorInfo);
}

RFC_RC RfcGetTransactionID(RFC_CONNECTION_HANDLE, RFC_TID, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcGetTransactionID", errorInfo);
}

RFC_TRANSACTION_HANDLE RfcCreateTransaction(RFC_CONNECTION_HANDLE, RFC_TID, const SAP_UC*,
                                            RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcCreateTransaction", errorInfo);
    return nullptr;
}

RFC_RC RfcInvokeInTransaction(RFC_TRANSACTION_HANDLE, RFC_FUNCTION_HANDLE,
                              RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcInvokeInTransaction", errorInfo);
}

RFC_RC RfcSubmitTransaction(RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSubmitTransaction", errorInfo);
}

RFC_RC RfcConfirmTransaction(RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcConfirmTransaction", errorInfo);
}

RFC_RC RfcDestroyTransaction(RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcDestroyTransaction", errorInfo);
}

RFC_RC RfcGetXString(DATA_CONTAINER_HANDLE, const SAP_UC*, SAP_RAW*, unsigned, unsigned*,
                     RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcGetXString", errorInfo);
}

RFC_RC RfcSetXString(DATA_CONTAINER_HANDLE, const SAP_UC*, const SAP_RAW*, unsigned,
                     RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSetXString", errorInfo);
}

RFC_RC RfcSetStructure(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_STRUCTURE_HANDLE,
                       RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSetStructure", errorInfo);
}

RFC_RC RfcSetTable(DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_TABLE_HANDLE,
                   RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcSetTable", errorInfo);
}

RFC_STRUCTURE_HANDLE RfcCloneStructure(RFC_STRUCTURE_HANDLE, RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcCloneStructure", errorInfo);
    return nullptr;
}

RFC_TABLE_HANDLE RfcCloneTable(RFC_TABLE_HANDLE, RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcCloneTable", errorInfo);
    return nullptr;
}

RFC_STRUCTURE_HANDLE RfcInsertNewRow(RFC_TABLE_HANDLE, RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcInsertNewRow", errorInfo);
    return nullptr;
}

RFC_RC RfcAppendRow(RFC_TABLE_HANDLE, RFC_STRUCTURE_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcAppendRow", errorInfo);
}

RFC_RC RfcInsertRow(RFC_TABLE_HANDLE, RFC_STRUCTURE_HANDLE, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcInsertRow", errorInfo);
}

RFC_FUNCTION_DESC_HANDLE RfcCreateFunctionDesc(const SAP_UC*, RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcCreateFunctionDesc", errorInfo);
    return nullptr;
}

RFC_TYPE_DESC_HANDLE RfcCreateTypeDesc(const SAP_UC*, RFC_ERROR_INFO* errorInfo) {
    Unsupported("RfcCreateTypeDesc", errorInfo);
    return nullptr;
}

RFC_RC RfcAddParameter(RFC_FUNCTION_DESC_HANDLE, const RFC_PARAMETER_DESC*,
                       RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcAddParameter", errorInfo);
}

RFC_RC RfcAddTypeField(RFC_TYPE_DESC_HANDLE, const RFC_FIELD_DESC*, RFC_ERROR_INFO* errorInfo) {
    return Unsupported("RfcAddTypeField", errorInfo);
}

}  // extern "C"
