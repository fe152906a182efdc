#include "rfc/catalogue/SpagRow.h"

#include <cstring>

void ReadIntegerRow(CTableRfc& call, int i, const SpagRowFields& fields, SpagRowValues& out) {
    out.fill(0);
    if (i == 0) return;
    const void* row = call.GetRow(i);
    if (row == nullptr) return;
    for (size_t f = 0; f < fields.size(); ++f) {
        call.GetTableField(call.TableKey(), fields[f], row, out[f]);
    }
}

CSpagAllRfc::CSpagAllRfc(std::u16string functionModule, const char16_t* utilisationField)
    : CTableRfc(std::move(functionModule), u"TF_SPAG_ALL"),
      m_Fields{u"TYPE",       u"SUBTYPE",       u"SERIALNR",   u"INTRVALSEC", u"AVGPROCUTL",
               u"AVGSYSPGRT", utilisationField, u"PG_IN",      u"PG_OUT",     u"PG_IN_PRV",
               u"PG_OT_PRV",  u"PG_TO_EXST",    u"PG_FR_EXST", u"PG_IN_BLCK", u"PG_IN_BNUM"} {}

void CSpagAllRfc::ReadRow(int i) {
    SpagRowValues values;
    ReadIntegerRow(*this, i, m_Fields, values);
    std::memcpy(&m_Row, values.data(), sizeof m_Row);
}
