#include "collect/system/SaposcolSums.h"

int32_t WrappingSum(std::initializer_list<int32_t> figures) {
    uint32_t sum = 0;
    for (const int32_t figure : figures) sum += static_cast<uint32_t>(figure);
    return static_cast<int32_t>(sum);
}

int32_t CpuCheckSum(const CGetCpuAll::Row& r) {
    return WrappingSum({r.NBR_CPU, r.LOAD1_AVG, r.LOAD5_AVG, r.LOAD15_AVG, r.INT_SEC, r.SYSC_SEC,
                        r.CS_SEC, r.USR_TOTAL, r.SYS_TOTAL, r.IDLE_TOTAL, r.IDLE_TRUE,
                        r.WAIT_TRUE});
}

int32_t SpagCheckSum(const CSpagAllRfc::Row& r) {
    return WrappingSum({r.AVGPROCUTL, r.AVGSYSPGRT, r.AVGCUTL, r.PG_IN, r.PG_OUT, r.PG_IN_PRV,
                        r.PG_OT_PRV, r.PG_TO_EXST, r.PG_FR_EXST, r.PG_IN_BLCK, r.PG_IN_BNUM});
}
