// Moving the caller's parameter and table lists to and from wire values.
// Lists end with an all-zero record (name NULL); a list longer than
// kMaxListRecords without one is refused rather than read past its end.
//
// narrowPartner: the partner is a non-Unicode system, whose values travel in
// the 1-byte layout (PartnerLayout.h converts them).
//
// Thread rules: pure functions over the caller's buffers.
#pragma once

#include <vector>

#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib {

inline constexpr size_t kMaxListRecords = 4096;

bool CollectExporting(const RFC_PARAMETER* list, bool narrowPartner,
                      std::vector<rfcwire::Value>& out, rfcwire::ErrorRecord& error);

bool CollectTables(const RFC_TABLE* list, bool narrowPartner, std::vector<rfcwire::TableData>& out,
                   rfcwire::ErrorRecord& error);

// Copies each returned value into the importing parameter of the same name:
// cut to the caller's length, padded with spaces (character-like types) or
// zeros. Parameters the module did not return are left as they are.
bool FillImporting(RFC_PARAMETER* list, bool narrowPartner,
                   const std::vector<rfcwire::Value>& values, rfcwire::ErrorRecord& error);

// Replaces the rows of each listed table by the rows returned for it.
bool FillTables(RFC_TABLE* list, bool narrowPartner, const std::vector<rfcwire::TableData>& tables,
                rfcwire::ErrorRecord& error);

}  // namespace rfclib
