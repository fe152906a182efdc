// GET_SYSTEM_TIME_REMOTE: the local date and time of the system
// (E_L_DATE, E_L_TIME).
#pragma once

#include <string_view>

#include "rfc/BaseRfc.h"

class CGetSystemTimeRemote : public CBaseRfc {
  public:
    CGetSystemTimeRemote();

    // The exported date and time as an OLE date; throws CRfcException when
    // they do not form a calendar time.
    double GetRemoteDateTime();

    // Reads YYYYMMDD and HHMMSS; throws CRfcException with the first check
    // that fails.
    static void ParseDateTime(std::u16string_view date, std::u16string_view time, int& year,
                              int& month, int& day, int& hour, int& minute, int& second);
};
