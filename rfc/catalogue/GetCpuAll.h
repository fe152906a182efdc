// GET_CPU_ALL: CPU figures of a host (T_TF_CPU_ALL).
#pragma once

#include "rfc/catalogue/SpagRow.h"

class CGetCpuAll : public CTableRfc {
  public:
    // The row record, in the order ReadRow fills it.
    struct Row {
        int32_t TYPE, SUBTYPE, SERIALNR, NBR_CPU, LOAD1_AVG, LOAD5_AVG, LOAD15_AVG, INT_SEC,
            SYSC_SEC, CS_SEC, USR_TOTAL, SYS_TOTAL, IDLE_TOTAL, IDLE_TRUE, WAIT_TRUE;
    };
    static_assert(sizeof(Row) == sizeof(SpagRowValues));

    CGetCpuAll();
    // Reads row i into GetRowRecord(); i = 0 or a missing row leaves it zero.
    void ReadRow(int i);
    const Row& GetRowRecord() const { return m_Row; }

  private:
    Row m_Row{};
};
