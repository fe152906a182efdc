#include "rfc/RfcInfoTable.h"

#include "rfc/RfcException.h"

static_assert(sizeof(RFC_U_FUNINT) == 420, "PARAMS rows are 420 bytes");
static_assert(sizeof(RFC_U_FIELDS) == 156, "FIELDS rows are 156 bytes");

CRfcInfoTable::CRfcInfoTable(const char16_t* className, const char16_t* tableName,
                             unsigned int rowLength)
    : m_hTable(ItCreateU(tableName, rowLength, 0, 0)), m_className(className) {}

CRfcInfoTable::~CRfcInfoTable() {
    if (m_hTable != ITAB_NULL) ItDeleteU(m_hTable);
}

std::u16string CRfcInfoTable::Location(const char16_t* operation, const char16_t* call) const {
    return std::u16string(m_className) + u"::" + operation + u" - " + call;
}

void CRfcInfoTable::FreeTable() {
    if (ItFreeU(m_hTable) != 0) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(Location(u"FreeTable", u"ItFree"), m_ErrorInfo);
    }
}

const void* CRfcInfoTable::GetRow(unsigned int i) {
    const void* row = ItGetLineU(m_hTable, i);
    if (row == nullptr) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(Location(u"GetTableRecord", u"ItGetLine"), m_ErrorInfo);
    }
    return row;
}

CRfcGetFunctionInterface::CRfcGetFunctionInterface()
    : CRfcInfoTable(u"CRfcGetFunctionInterface", u"PARAMS", sizeof(RFC_U_FUNINT)) {}

void CRfcGetFunctionInterface::GetFunctionInterface(RFC_HANDLE& handle,
                                                    const std::u16string& functionName) {
    FreeTable();
    if (RfcIsValidHandleU(handle, &m_ErrorInfo) != RFC_OK) {
        ThrowRfcException(Location(u"GetFunctionInterface", u"RfcIsValidHandle"), m_ErrorInfo);
    }
    RFC_CHAR* exception = nullptr;
    if (RfcGetFunctionInfoAsTableU(handle, functionName.c_str(), m_hTable, &exception) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(Location(u"GetFunctionInterface", u"RfcGetFunctionInfoAsTable"),
                          functionName, m_ErrorInfo);
    }
    if (RfcAlignFunctionInterfaceU(handle, functionName.c_str(), m_hTable) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(Location(u"GetFunctionInterface", u"RfcAlignFunctionInterface"),
                          functionName, m_ErrorInfo);
    }
}

CRfcGetStructureDefinition::CRfcGetStructureDefinition()
    : CRfcInfoTable(u"CRfcGetStructureDefinition", u"FIELDS", sizeof(RFC_U_FIELDS)) {}

void CRfcGetStructureDefinition::GetStructureDefinition(RFC_HANDLE& handle,
                                                        const std::u16string& structureName) {
    FreeTable();
    if (RfcIsValidHandleU(handle, &m_ErrorInfo) != RFC_OK) {
        ThrowRfcException(Location(u"GetStructureDefinition", u"RfcIsValidHandle"), m_ErrorInfo);
    }
    RFC_CHAR* exception = nullptr;
    if (RfcGetStructureInfoAsTableU(handle, structureName.c_str(), m_hTable, 0, &m_nLengthB1,
                                    &m_nLengthB2, &m_nLengthB4, &m_nFieldCount, &m_nAlignment,
                                    &exception) != RFC_OK) {
        RfcLastErrorExU(&m_ErrorInfo);
        ThrowRfcException(Location(u"GetStructureDefinition", u"RfcGetStructureDefinition"),
                          m_ErrorInfo);
    }
}
