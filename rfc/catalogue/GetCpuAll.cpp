#include "rfc/catalogue/GetCpuAll.h"

#include <cstring>

CGetCpuAll::CGetCpuAll() : CTableRfc(u"GET_CPU_ALL", u"TF_CPU_ALL") {}

void CGetCpuAll::ReadRow(int i) {
    static constexpr std::array<const char16_t*, 15> kFields = {
        u"TYPE",      u"SUBTYPE",    u"SERIALNR",   u"NBR_CPU",   u"LOAD1_AVG",
        u"LOAD5_AVG", u"LOAD15_AVG", u"INT_SEC",    u"SYSC_SEC",  u"CS_SEC",
        u"USR_TOTAL", u"SYS_TOTAL",  u"IDLE_TOTAL", u"IDLE_TRUE", u"WAIT_TRUE"};
    SpagRowValues values;
    ReadIntegerRow(*this, i, kFields, values);
    std::memcpy(&m_Row, values.data(), sizeof m_Row);
}
