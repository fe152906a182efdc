/*
 * NwRfcApi.h - our own declarations of the C interface of SAP's NetWeaver RFC
 * library (libsapnwrfc.so), written from its public documentation and from
 * open-source bindings of it. No header of the library is used.
 *
 * Two users:
 *   - the SDK backend of librfc32u loads the library with dlopen and finds
 *     every function with dlsym; the pointer types come from the prototypes
 *     below (decltype), so the two can never drift apart;
 *   - our own implementation of the same interface over our wire protocol
 *     (libsapnwrfc.so built beside r3sim) defines these prototypes.
 *
 * SAP_UC is UTF-16 on every platform the library supports. Handles are
 * opaque pointers. Every function that can fail fills an RFC_ERROR_INFO when
 * one is given; on success its code is RFC_OK.
 *
 * In C++ everything is in namespace nwrfc (see below).
 * Layouts are those of 64-bit Linux; the sizes and offsets the library's
 * callers rely on are asserted at the end of this header.
 */
#ifndef QUORVEL_NWRFC_API_H
#define QUORVEL_NWRFC_API_H

#ifdef __cplusplus
#include <cstddef>
// In C++ the declarations live in namespace nwrfc: their type and result
// codes share names, not values, with those of rfc32u.h.
namespace nwrfc {
extern "C" {
#else
#include <stddef.h>
#endif

/* In C++ the enumerations have int as their fixed type, as their C layout
 * has it: a value the library sends that this header does not know (a type
 * of a newer release) is then still a valid value, not undefined behaviour. */
#ifdef __cplusplus
#define QUORVEL_NWRFC_ENUM_BASE : int
#else
#define QUORVEL_NWRFC_ENUM_BASE
#endif

typedef char16_t SAP_UC;
typedef SAP_UC SAP_CHAR;
typedef unsigned char SAP_RAW;
typedef SAP_CHAR RFC_CHAR;
typedef RFC_CHAR RFC_NUM;
typedef SAP_RAW RFC_BYTE;
typedef SAP_RAW RFC_BCD;
typedef SAP_RAW RFC_INT1;
typedef short RFC_INT2;
typedef int RFC_INT;
typedef long long RFC_INT8;
typedef double RFC_FLOAT;
typedef RFC_CHAR RFC_DATE[8];
typedef RFC_CHAR RFC_TIME[6];
typedef RFC_CHAR RFC_ABAP_NAME[30 + 1];
typedef RFC_CHAR RFC_PARAMETER_DEFVALUE[30 + 1];
typedef RFC_CHAR RFC_PARAMETER_TEXT[79 + 1];

/* Result codes of every function. */
typedef enum _RFC_RC QUORVEL_NWRFC_ENUM_BASE {
    RFC_OK = 0,
    RFC_COMMUNICATION_FAILURE = 1,
    RFC_LOGON_FAILURE = 2,
    RFC_ABAP_RUNTIME_FAILURE = 3,
    RFC_ABAP_MESSAGE = 4,
    RFC_ABAP_EXCEPTION = 5,
    RFC_CLOSED = 6,
    RFC_CANCELED = 7,
    RFC_TIMEOUT = 8,
    RFC_MEMORY_INSUFFICIENT = 9,
    RFC_VERSION_MISMATCH = 10,
    RFC_INVALID_PROTOCOL = 11,
    RFC_SERIALIZATION_FAILURE = 12,
    RFC_INVALID_HANDLE = 13,
    RFC_RETRY = 14,
    RFC_EXTERNAL_FAILURE = 15,
    RFC_EXECUTED = 16,
    RFC_NOT_FOUND = 17,
    RFC_NOT_SUPPORTED = 18,
    RFC_ILLEGAL_STATE = 19,
    RFC_INVALID_PARAMETER = 20,
    RFC_CODEPAGE_CONVERSION_FAILURE = 21,
    RFC_CONVERSION_FAILURE = 22,
    RFC_BUFFER_TOO_SMALL = 23,
    RFC_TABLE_MOVE_BOF = 24,
    RFC_TABLE_MOVE_EOF = 25,
    RFC_START_SAPGUI_FAILURE = 26,
    RFC_ABAP_CLASS_EXCEPTION = 27,
    RFC_UNKNOWN_ERROR = 28,
    RFC_AUTHORIZATION_FAILURE = 29,
    RFC_AUTHENTICATION_FAILURE = 30,
    RFC_CRYPTOLIB_FAILURE = 31,
    RFC_IO_FAILURE = 32,
    RFC_LOCKING_FAILURE = 33
} RFC_RC;

typedef enum _RFC_ERROR_GROUP QUORVEL_NWRFC_ENUM_BASE {
    OK = 0,
    ABAP_APPLICATION_FAILURE = 1,
    ABAP_RUNTIME_FAILURE = 2,
    LOGON_FAILURE = 3,
    COMMUNICATION_FAILURE = 4,
    EXTERNAL_RUNTIME_FAILURE = 5,
    EXTERNAL_APPLICATION_FAILURE = 6,
    EXTERNAL_AUTHORIZATION_FAILURE = 7,
    EXTERNAL_AUTHENTICATION_FAILURE = 8,
    CRYPTOLIB_FAILURE = 9,
    LOCKING_FAILURE = 10
} RFC_ERROR_GROUP;

typedef struct _RFC_ERROR_INFO {
    RFC_RC code;
    RFC_ERROR_GROUP group;
    SAP_UC key[128];
    SAP_UC message[512];
    SAP_UC abapMsgClass[20 + 1];
    SAP_UC abapMsgType[1 + 1];
    RFC_NUM abapMsgNumber[3 + 1];
    SAP_UC abapMsgV1[50 + 1];
    SAP_UC abapMsgV2[50 + 1];
    SAP_UC abapMsgV3[50 + 1];
    SAP_UC abapMsgV4[50 + 1];
} RFC_ERROR_INFO;

/* The library's type codes. Not the classic ones: 14 is NULL, structures
 * are 17 and tables 5. */
typedef enum _RFCTYPE QUORVEL_NWRFC_ENUM_BASE {
    RFCTYPE_CHAR = 0,
    RFCTYPE_DATE = 1,
    RFCTYPE_BCD = 2,
    RFCTYPE_TIME = 3,
    RFCTYPE_BYTE = 4,
    RFCTYPE_TABLE = 5,
    RFCTYPE_NUM = 6,
    RFCTYPE_FLOAT = 7,
    RFCTYPE_INT = 8,
    RFCTYPE_INT2 = 9,
    RFCTYPE_INT1 = 10,
    RFCTYPE_NULL = 14,
    RFCTYPE_ABAPOBJECT = 16,
    RFCTYPE_STRUCTURE = 17,
    RFCTYPE_DECF16 = 23,
    RFCTYPE_DECF34 = 24,
    RFCTYPE_XMLDATA = 28,
    RFCTYPE_STRING = 29,
    RFCTYPE_XSTRING = 30,
    RFCTYPE_INT8 = 31,
    RFCTYPE_UTCLONG = 32,
    RFCTYPE_UTCSECOND = 33,
    RFCTYPE_UTCMINUTE = 34,
    RFCTYPE_DTDAY = 35,
    RFCTYPE_DTWEEK = 36,
    RFCTYPE_DTMONTH = 37,
    RFCTYPE_TSECOND = 38,
    RFCTYPE_TMINUTE = 39,
    RFCTYPE_CDAY = 40,
    RFCTYPE_BOX = 41,
    RFCTYPE_GENERIC_BOX = 42
} RFCTYPE;

/* Directions seen from the function module: IMPORT is what the caller sends. */
typedef enum _RFC_DIRECTION QUORVEL_NWRFC_ENUM_BASE {
    RFC_IMPORT = 0x01,
    RFC_EXPORT = 0x02,
    RFC_CHANGING = RFC_IMPORT | RFC_EXPORT,
    RFC_TABLES = 0x04 | RFC_CHANGING
} RFC_DIRECTION;

typedef struct _RFC_CONNECTION_HANDLE* RFC_CONNECTION_HANDLE;
typedef struct _RFC_FUNCTION_DESC_HANDLE* RFC_FUNCTION_DESC_HANDLE;
typedef struct _RFC_TYPE_DESC_HANDLE* RFC_TYPE_DESC_HANDLE;
typedef struct _RFC_DATA_CONTAINER* DATA_CONTAINER_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_STRUCTURE_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_FUNCTION_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_TABLE_HANDLE;

typedef struct _RFC_TRANSACTION_HANDLE* RFC_TRANSACTION_HANDLE;
typedef struct _RFC_UNIT_HANDLE* RFC_UNIT_HANDLE;
typedef SAP_UC RFC_TID[24 + 1];
typedef RFC_RC (*RFC_SERVER_FUNCTION)(RFC_CONNECTION_HANDLE rfcHandle, RFC_FUNCTION_HANDLE funcHandle,
                                      RFC_ERROR_INFO* errorInfo);

typedef struct _RFC_CONNECTION_PARAMETER {
    const SAP_UC* name;
    const SAP_UC* value;
} RFC_CONNECTION_PARAMETER;

typedef struct _RFC_ATTRIBUTES {
    SAP_UC dest[64 + 1];
    SAP_UC host[100 + 1];
    SAP_UC partnerHost[100 + 1];
    SAP_UC sysNumber[2 + 1];
    SAP_UC sysId[8 + 1];
    SAP_UC client[3 + 1];
    SAP_UC user[12 + 1];
    SAP_UC language[2 + 1];
    SAP_UC trace[1 + 1];
    SAP_UC isoLanguage[2 + 1];
    SAP_UC codepage[4 + 1];
    SAP_UC partnerCodepage[4 + 1];
    SAP_UC rfcRole[1 + 1];
    SAP_UC type[1 + 1];
    SAP_UC partnerType[1 + 1];
    SAP_UC rel[4 + 1];
    SAP_UC partnerRel[4 + 1];
    SAP_UC kernelRel[4 + 1];
    SAP_UC cpicConvId[8 + 1];
    SAP_UC progName[128 + 1];
    SAP_UC partnerBytesPerChar[1 + 1];
    SAP_UC partnerSystemCodepage[4 + 1];
    SAP_UC partnerIP[15 + 1];
    SAP_UC partnerIPv6[45 + 1];
    SAP_UC reserved[17];
} RFC_ATTRIBUTES;

typedef RFC_RC (*RFC_FUNC_DESC_CALLBACK)(const SAP_UC* functionName,
                                         RFC_ATTRIBUTES rfcAttributes,
                                         RFC_FUNCTION_DESC_HANDLE* funcDescHandle);

/* One field of a structure or table row. Offsets and lengths in bytes, for
 * the non-Unicode (1 byte a character) and the Unicode (2 bytes) layout. */
typedef struct _RFC_FIELD_DESC {
    RFC_ABAP_NAME name;
    RFCTYPE type;
    unsigned nucLength;
    unsigned nucOffset;
    unsigned ucLength;
    unsigned ucOffset;
    unsigned decimals;
    RFC_TYPE_DESC_HANDLE typeDescHandle;
    void* extendedDescription;
} RFC_FIELD_DESC;

typedef struct _RFC_PARAMETER_DESC {
    RFC_ABAP_NAME name;
    RFCTYPE type;
    RFC_DIRECTION direction;
    unsigned nucLength;
    unsigned ucLength;
    unsigned decimals;
    RFC_TYPE_DESC_HANDLE typeDescHandle;
    RFC_PARAMETER_DEFVALUE defaultValue;
    RFC_PARAMETER_TEXT parameterText;
    RFC_BYTE optional;
    void* extendedDescription;
} RFC_PARAMETER_DESC;

typedef struct _RFC_EXCEPTION_DESC {
    SAP_UC key[128];
    SAP_UC message[512];
} RFC_EXCEPTION_DESC;

/* --- Library --------------------------------------------------------------- */
const SAP_UC* RfcGetVersion(unsigned* majorVersion, unsigned* minorVersion, unsigned* patchLevel);
const SAP_UC* RfcGetRcAsString(RFC_RC rc);
RFC_RC RfcSetIniPath(const SAP_UC* pathName, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetTraceLevel(RFC_CONNECTION_HANDLE connection, SAP_UC* destination, unsigned traceLevel,
                        RFC_ERROR_INFO* errorInfo);

/* --- Connections ----------------------------------------------------------- */
RFC_CONNECTION_HANDLE RfcOpenConnection(const RFC_CONNECTION_PARAMETER* connectionParams,
                                        unsigned paramCount, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcCloseConnection(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcIsConnectionHandleValid(RFC_CONNECTION_HANDLE rfcHandle, int* isValid,
                                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetConnectionAttributes(RFC_CONNECTION_HANDLE rfcHandle, RFC_ATTRIBUTES* attr,
                                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcPing(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcCancel(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);

/* --- Metadata -------------------------------------------------------------- */
RFC_FUNCTION_DESC_HANDLE RfcGetFunctionDesc(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* funcName,
                                            RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetFunctionName(RFC_FUNCTION_DESC_HANDLE funcDesc, RFC_ABAP_NAME bufferForName,
                          RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetParameterCount(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count,
                            RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetParameterDescByIndex(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index,
                                  RFC_PARAMETER_DESC* paramDesc, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetParameterDescByName(RFC_FUNCTION_DESC_HANDLE funcDesc, const SAP_UC* name,
                                 RFC_PARAMETER_DESC* paramDesc, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetExceptionCount(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count,
                            RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetExceptionDescByIndex(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index,
                                  RFC_EXCEPTION_DESC* excDesc, RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE RfcGetTypeDesc(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* typeName,
                                    RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTypeName(RFC_TYPE_DESC_HANDLE typeHandle, RFC_ABAP_NAME bufferForName,
                      RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetFieldCount(RFC_TYPE_DESC_HANDLE typeHandle, unsigned* count,
                        RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetFieldDescByIndex(RFC_TYPE_DESC_HANDLE typeHandle, unsigned index,
                              RFC_FIELD_DESC* fieldDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetFieldDescByName(RFC_TYPE_DESC_HANDLE typeHandle, const SAP_UC* name,
                             RFC_FIELD_DESC* fieldDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTypeLength(RFC_TYPE_DESC_HANDLE typeHandle, unsigned* nucByteLength,
                        unsigned* ucByteLength, RFC_ERROR_INFO* errorInfo);

/* --- Function containers --------------------------------------------------- */
RFC_FUNCTION_HANDLE RfcCreateFunction(RFC_FUNCTION_DESC_HANDLE funcDescHandle,
                                      RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDestroyFunction(RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetParameterActive(RFC_FUNCTION_HANDLE funcHandle, const SAP_UC* paramName, int isActive,
                             RFC_ERROR_INFO* errorInfo);
RFC_RC RfcInvoke(RFC_CONNECTION_HANDLE rfcHandle, RFC_FUNCTION_HANDLE funcHandle,
                 RFC_ERROR_INFO* errorInfo);

/* --- Field access (functions, structures and table rows) -------------------- */
RFC_RC RfcGetChars(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_CHAR* charBuffer,
                   unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetCharsByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index, RFC_CHAR* charBuffer,
                          unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetBytes(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_RAW* byteBuffer,
                   unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetBytesByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index, SAP_RAW* byteBuffer,
                          unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_UC* stringBuffer,
                    unsigned bufferLength, unsigned* stringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetStringByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index, SAP_UC* stringBuffer,
                           unsigned bufferLength, unsigned* stringLength,
                           RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetInt(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT* value,
                 RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetChars(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_CHAR* charValue,
                   unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetCharsByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                          const RFC_CHAR* charValue, unsigned valueLength,
                          RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetBytes(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const SAP_RAW* byteValue,
                   unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetBytesByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                          const SAP_RAW* byteValue, unsigned valueLength,
                          RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const SAP_UC* stringValue,
                    unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetStringByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                           const SAP_UC* stringValue, unsigned valueLength,
                           RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetInt(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT value,
                 RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetInt1(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT1 value,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetInt2(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT2 value,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetFloat(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_FLOAT value,
                   RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetStructure(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name,
                       RFC_STRUCTURE_HANDLE* structHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTable(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name,
                   RFC_TABLE_HANDLE* tableHandle, RFC_ERROR_INFO* errorInfo);

/* --- Tables (rows numbered from 0) ------------------------------------------ */
RFC_RC RfcGetRowCount(RFC_TABLE_HANDLE tableHandle, unsigned* rowCount, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcMoveTo(RFC_TABLE_HANDLE tableHandle, unsigned index, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcMoveToFirstRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcMoveToNextRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE RfcGetCurrentRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE RfcAppendNewRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDeleteAllRows(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);

/* --- More field access ------------------------------------------------------ */
RFC_RC RfcGetIntByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index, RFC_INT* value,
                        RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetIntByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index, RFC_INT value,
                        RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetInt1(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT1* value,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetInt2(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT2* value,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetFloat(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_FLOAT* value,
                   RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetDate(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_DATE emptyDate,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetDate(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_DATE date,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTime(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_TIME emptyTime,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetTime(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_TIME time,
                  RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetNum(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_NUM* charBuffer,
                 unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetNum(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_NUM* charValue,
                 unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetStringLength(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name,
                          unsigned* stringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetStructureByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                              RFC_STRUCTURE_HANDLE* structHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTableByIndex(DATA_CONTAINER_HANDLE dataHandle, unsigned index,
                          RFC_TABLE_HANDLE* tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcIsParameterActive(RFC_FUNCTION_HANDLE funcHandle, const SAP_UC* paramName, int* isActive,
                            RFC_ERROR_INFO* errorInfo);
RFC_FUNCTION_DESC_HANDLE RfcDescribeFunction(RFC_FUNCTION_HANDLE funcHandle,
                                             RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE RfcDescribeType(DATA_CONTAINER_HANDLE dataHandle, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE RfcCreateStructure(RFC_TYPE_DESC_HANDLE typeDescHandle,
                                        RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDestroyStructure(RFC_STRUCTURE_HANDLE structHandle, RFC_ERROR_INFO* errorInfo);
RFC_TABLE_HANDLE RfcCreateTable(RFC_TYPE_DESC_HANDLE typeDescHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDestroyTable(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcMoveToLastRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcMoveToPreviousRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDeleteCurrentRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);

/* --- More metadata ------------------------------------------------------------ */
RFC_FUNCTION_DESC_HANDLE RfcGetCachedFunctionDesc(const SAP_UC* repositoryID,
                                                  const SAP_UC* funcName,
                                                  RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE RfcGetCachedTypeDesc(const SAP_UC* repositoryID, const SAP_UC* typeName,
                                          RFC_ERROR_INFO* errorInfo);
RFC_RC RfcClearRepository(const SAP_UC* repositoryID, RFC_ERROR_INFO* errorInfo);

/* --- Text conversion ----------------------------------------------------------- */
RFC_RC RfcUTF8ToSAPUC(const RFC_BYTE* utf8, unsigned utf8Length, SAP_UC* sapuc,
                      unsigned* sapucSize, unsigned* resultLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSAPUCToUTF8(const SAP_UC* sapuc, unsigned sapucLength, RFC_BYTE* utf8,
                      unsigned* utf8Size, unsigned* resultLength, RFC_ERROR_INFO* errorInfo);

/* --- Entry points a client over our protocol does not offer --------------------- */
RFC_CONNECTION_HANDLE RfcRegisterServer(const RFC_CONNECTION_PARAMETER* connectionParams,
                                        unsigned paramCount, RFC_ERROR_INFO* errorInfo);
RFC_CONNECTION_HANDLE RfcStartServer(int argc, SAP_UC** argv,
                                     const RFC_CONNECTION_PARAMETER* connectionParams,
                                     unsigned paramCount, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcListenAndDispatch(RFC_CONNECTION_HANDLE rfcHandle, int timeout,
                            RFC_ERROR_INFO* errorInfo);
RFC_RC RfcInstallServerFunction(const SAP_UC* sysId, RFC_FUNCTION_DESC_HANDLE funcDescHandle,
                                RFC_SERVER_FUNCTION serverFunction, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcInstallGenericServerFunction(RFC_SERVER_FUNCTION serverFunction,
                                       RFC_FUNC_DESC_CALLBACK funcDescProvider,
                                       RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetTransactionID(RFC_CONNECTION_HANDLE rfcHandle, RFC_TID tid,
                           RFC_ERROR_INFO* errorInfo);
RFC_TRANSACTION_HANDLE RfcCreateTransaction(RFC_CONNECTION_HANDLE rfcHandle, RFC_TID tid,
                                            const SAP_UC* queueName, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcInvokeInTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_FUNCTION_HANDLE funcHandle,
                              RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSubmitTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcConfirmTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcDestroyTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcResetServerContext(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcLoadCryptoLibrary(const SAP_UC* pathToLibrary, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcGetXString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_RAW* byteBuffer,
                     unsigned bufferLength, unsigned* xstringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetXString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name,
                     const SAP_RAW* byteValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetStructure(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name,
                       RFC_STRUCTURE_HANDLE value, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcSetTable(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_TABLE_HANDLE value,
                   RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE RfcCloneStructure(RFC_STRUCTURE_HANDLE srcStructureHandle,
                                       RFC_ERROR_INFO* errorInfo);
RFC_TABLE_HANDLE RfcCloneTable(RFC_TABLE_HANDLE srcTableHandle, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE RfcInsertNewRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcAppendRow(RFC_TABLE_HANDLE tableHandle, RFC_STRUCTURE_HANDLE structHandle,
                    RFC_ERROR_INFO* errorInfo);
RFC_RC RfcInsertRow(RFC_TABLE_HANDLE tableHandle, RFC_STRUCTURE_HANDLE structHandle,
                    RFC_ERROR_INFO* errorInfo);
RFC_FUNCTION_DESC_HANDLE RfcCreateFunctionDesc(const SAP_UC* name, RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE RfcCreateTypeDesc(const SAP_UC* name, RFC_ERROR_INFO* errorInfo);
RFC_RC RfcAddParameter(RFC_FUNCTION_DESC_HANDLE funcDesc, const RFC_PARAMETER_DESC* paramDescr,
                       RFC_ERROR_INFO* errorInfo);
RFC_RC RfcAddTypeField(RFC_TYPE_DESC_HANDLE typeHandle, const RFC_FIELD_DESC* fieldDescr,
                       RFC_ERROR_INFO* errorInfo);

#ifdef __cplusplus
}  // extern "C"
}  // namespace nwrfc

namespace nwrfc {

#if defined(__x86_64__) || defined(__aarch64__)
static_assert(sizeof(RFC_ERROR_INFO) == 1752, "RFC_ERROR_INFO layout");
static_assert(sizeof(RFC_ATTRIBUTES) == 1118, "RFC_ATTRIBUTES layout");
static_assert(offsetof(RFC_ATTRIBUTES, partnerRel) == 650, "RFC_ATTRIBUTES.partnerRel");
static_assert(sizeof(RFC_FIELD_DESC) == 104, "RFC_FIELD_DESC layout");
static_assert(offsetof(RFC_FIELD_DESC, typeDescHandle) == 88, "RFC_FIELD_DESC.typeDescHandle");
static_assert(sizeof(RFC_PARAMETER_DESC) == 328, "RFC_PARAMETER_DESC layout");
static_assert(offsetof(RFC_PARAMETER_DESC, type) == 64 &&
                  offsetof(RFC_PARAMETER_DESC, direction) == 68,
              "RFC_PARAMETER_DESC: type before direction");
static_assert(offsetof(RFC_PARAMETER_DESC, optional) == 318, "RFC_PARAMETER_DESC.optional");
static_assert(sizeof(RFC_CONNECTION_PARAMETER) == 16, "RFC_CONNECTION_PARAMETER layout");
static_assert(sizeof(RFC_EXCEPTION_DESC) == 1280, "RFC_EXCEPTION_DESC layout");
#endif
}  // namespace nwrfc
#endif

#endif /* QUORVEL_NWRFC_API_H */
