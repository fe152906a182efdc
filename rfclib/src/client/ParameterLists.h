// Moving the caller's parameter and table lists to and from wire values.
// Lists end with an all-zero record (name NULL); a list longer than
// kMaxListRecords without one is refused rather than read past its end.
//
// narrowPartner: the partner is a non-Unicode system, whose values travel in
// the 1-byte layout (PartnerLayout.h converts them).
//
// Thread rules: pure functions over the caller's buffers.
#pragma once

#include <string>
#include <vector>

#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib {

inline constexpr size_t kMaxListRecords = 4096;

// The name of a list record: nlen units, or up to the terminator when nlen
// is 0, without trailing blanks.
std::u16string ListName(const RFC_CHAR* name, unsigned int nlen);

bool CollectExporting(const RFC_PARAMETER* list, bool narrowPartner,
                      std::vector<rfcwire::Value>& out, rfcwire::ErrorRecord& error);

bool CollectTables(const RFC_TABLE* list, bool narrowPartner, std::vector<rfcwire::TableData>& out,
                   rfcwire::ErrorRecord& error);

// Copies each returned value into the importing parameter of the same name:
// cut to the caller's length, padded with spaces (character-like types) or
// zeros. Parameters the module did not return are left as they are.
bool FillImporting(RFC_PARAMETER* list, bool narrowPartner,
                   const std::vector<rfcwire::Value>& values, rfcwire::ErrorRecord& error);

// The listed tables of one reply as its pieces and then the reply itself
// arrive: a table is emptied when the first rows for it come and appended
// to from then on, so its rows end up those returned for it. Tables the
// reply does not mention keep their rows.
class TableFiller {
  public:
    TableFiller(RFC_TABLE* list, bool narrowPartner) : list_(list), narrow_(narrowPartner) {}
    // Rows of one table (a piece or the reply's own); false when they cannot
    // be stored.
    bool Add(const rfcwire::TableData& rows, rfcwire::ErrorRecord& error);

  private:
    RFC_TABLE* list_;
    bool narrow_;
    std::vector<ITAB_H> started_;
    std::vector<uint8_t> wide_;  // one widened row
};

}  // namespace rfclib
