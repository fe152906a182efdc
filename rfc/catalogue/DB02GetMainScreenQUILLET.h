// DB02_GET_MAIN_SCREEN_QUILLET: QUILLET database sizes (E_ENTRY_SCREEN_DATA: TBSIZE, IXSIZE,
// IXFREE).
#pragma once

#include "rfc/BaseRfc.h"

class CDB02GetMainScreenQUILLET : public CBaseRfc {
  public:
    CDB02GetMainScreenQUILLET();
};
