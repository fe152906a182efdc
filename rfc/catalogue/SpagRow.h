// Rows of fifteen 32-bit integers that the CPU and paging classes read from
// their saposcol tables, field by field in a fixed order.
#pragma once

#include <array>
#include <cstdint>

#include "rfc/catalogue/TableRfc.h"

using SpagRowValues = std::array<int32_t, 15>;
using SpagRowFields = std::array<const char16_t*, 15>;

// Zero-fills out; when i is not 0 and row i exists, reads the named integer
// fields of it in order.
void ReadIntegerRow(CTableRfc& call, int i, const SpagRowFields& fields, SpagRowValues& out);

// The paging table TF_SPAG_ALL of the two midrange host kinds; they differ
// only in the name of the processor-utilisation field.
class CSpagAllRfc : public CTableRfc {
  public:
    struct Row {
        int32_t TYPE, SUBTYPE, SERIALNR, INTRVALSEC, AVGPROCUTL, AVGSYSPGRT, AVGCUTL, PG_IN, PG_OUT,
            PG_IN_PRV, PG_OT_PRV, PG_TO_EXST, PG_FR_EXST, PG_IN_BLCK, PG_IN_BNUM;
    };
    static_assert(sizeof(Row) == sizeof(SpagRowValues));

    // Reads row i into GetRowRecord(); i = 0 or a missing row leaves it zero.
    void ReadRow(int i);
    const Row& GetRowRecord() const { return m_Row; }

  protected:
    CSpagAllRfc(std::u16string functionModule, const char16_t* utilisationField);

  private:
    SpagRowFields m_Fields;
    Row m_Row{};
};
