// tagSERVERLIST: one application server of the system's server list, as the
// system thread keeps it and hands it to the instance and host threads it
// creates. Readers take each field as at most its capacity and trim blanks.
//
// Plain data; no thread rules.
#pragma once

#include <bit>

static_assert(std::endian::native == std::endian::little, "records are little-endian");

#pragma pack(push, 1)
struct tagSERVERLIST {
    char16_t name[20];         // the instance name (NAME)
    char16_t host[20];         // HOST
    char16_t systemNumber[3];  // the last two characters of NAME
    char16_t services[48];     // the message types as text
};
#pragma pack(pop)
static_assert(sizeof(tagSERVERLIST) == 182);
