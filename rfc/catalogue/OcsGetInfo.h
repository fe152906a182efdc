// OCS_GET_INFO: the patches, add-ons and software components of the system
// as text lines (T_TT_PATCH, T_TT_ADDON, T_TT_COMPONENT: LINE).
#pragma once

#include "rfc/BaseRfc.h"

class COcsGetInfo : public CBaseRfc {
  public:
    COcsGetInfo();

    int GetPatchCount() { return GetTableRowCount(u"TT_PATCH"); }
    int GetAddonCount() { return GetTableRowCount(u"TT_ADDON"); }
    int GetComponentCount() { return GetTableRowCount(u"TT_COMPONENT"); }

    // Read row i's LINE into a cleared buffer of 600, 400 or 200 bytes (at
    // most 300, 200 or 100 characters, no terminator added); i = 0 or a
    // missing row leaves the buffer cleared.
    const char16_t* ReadPatch(int i);
    const char16_t* ReadAddon(int i);
    const char16_t* ReadComponent(int i);

  private:
    template <size_t N>
    const char16_t* ReadLine(const char16_t* table, int i, char16_t (&buffer)[N]);

    char16_t m_Patch[300]{};
    char16_t m_Addon[200]{};
    char16_t m_Component[100]{};
};
