// The text of one of the NetWeaver library's fixed fields: the units before
// the first zero, never past the array, also when the library wrote no zero.
#pragma once

#include <cstddef>
#include <string_view>

#include "nwrfc/NwRfcApi.h"

namespace rfclib::nw {

template <size_t N>
std::u16string_view SdkText(const nwrfc::SAP_UC (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != 0) ++n;
    return std::u16string_view(field, n);
}

}  // namespace rfclib::nw
