// A function-module call that reads one table: the row accessors of the
// catalogue classes with a single table.
#pragma once

#include <string>

#include "rfc/BaseRfc.h"

class CTableRfc : public CBaseRfc {
  public:
    CTableRfc(std::u16string functionModule, std::u16string tableName)
        : CBaseRfc(std::move(functionModule)),
          m_strTable(std::move(tableName)),
          m_strTableKey(u"T_" + m_strTable) {}

    int GetRowCount() { return GetTableRowCount(m_strTable); }
    // Row i, from 1; null past the end.
    const void* GetRow(int i) { return GetTableRow(m_strTable, i); }
    const std::u16string& TableName() const { return m_strTable; }
    // "T_" and the table name, the key of GetTableField.
    const std::u16string& TableKey() const { return m_strTableKey; }

  private:
    std::u16string m_strTable;
    std::u16string m_strTableKey;
};
