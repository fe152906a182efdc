// An internal table that the RFC library fills with interface rows: the
// PARAMS table of a function interface and the FIELDS table of a structure
// definition share this shape. One object belongs to one thread.
#pragma once

#include <string>

#include "rfc32u.h"

class CRfcInfoTable {
  public:
    CRfcInfoTable(const CRfcInfoTable&) = delete;
    CRfcInfoTable& operator=(const CRfcInfoTable&) = delete;
    virtual ~CRfcInfoTable();

    unsigned int GetRowCount() const { return m_hTable == ITAB_NULL ? 0 : ItFillU(m_hTable); }
    void FreeTable();

  protected:
    // className prefixes the location texts ("CRfcGetFunctionInterface").
    CRfcInfoTable(const char16_t* className, const char16_t* tableName, unsigned int rowLength);
    // Row i (from 1); throws "<class>::GetTableRecord - ItGetLine" past the end.
    const void* GetRow(unsigned int i);
    std::u16string Location(const char16_t* operation, const char16_t* call) const;

    ITAB_H m_hTable = ITAB_NULL;
    RFC_ERROR_INFO_EX m_ErrorInfo{};
    const char16_t* m_className;
};

class CRfcGetFunctionInterface : public CRfcInfoTable {
  public:
    CRfcGetFunctionInterface();
    void GetFunctionInterface(RFC_HANDLE& handle, const std::u16string& functionName);
    const RFC_U_FUNINT* GetTableRecord(unsigned int i) {
        return static_cast<const RFC_U_FUNINT*>(GetRow(i));
    }
};

class CRfcGetStructureDefinition : public CRfcInfoTable {
  public:
    CRfcGetStructureDefinition();
    void GetStructureDefinition(RFC_HANDLE& handle, const std::u16string& structureName);
    const RFC_U_FIELDS* GetTableRecord(unsigned int i) {
        return static_cast<const RFC_U_FIELDS*>(GetRow(i));
    }

    // The five results of the definition call; lengthB2 is the record length
    // in the UTF-16 layout.
    unsigned int m_nLengthB1 = 0, m_nLengthB2 = 0, m_nLengthB4 = 0, m_nFieldCount = 0,
                 m_nAlignment = 0;
};
