// The plausibility sums of the connection test: a saposcol that collects
// reports some figure above zero, so the figures of its first row are added
// and a sum of 0 or below means "no statistics". The sum wraps around at 32
// bits, as it always has, so huge counters can make a live host look empty.
//
// Thread rules: plain functions.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "rfc/catalogue/GetCpuAll.h"
#include "rfc/catalogue/SpagRow.h"

// The figures added modulo 2^32 and read back as a signed 32-bit value.
int32_t WrappingSum(std::initializer_list<int32_t> figures);

// CPU row: NBR_CPU up to WAIT_TRUE (not TYPE, SUBTYPE, SERIALNR).
int32_t CpuCheckSum(const CGetCpuAll::Row& row);
// Paging row: AVGPROCUTL up to PG_IN_BNUM (not the interval).
int32_t SpagCheckSum(const CSpagAllRfc::Row& row);
