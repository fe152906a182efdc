#include "rfc/catalogue/DB02GetMainScreenQUILLET.h"

CDB02GetMainScreenQUILLET::CDB02GetMainScreenQUILLET()
    : CBaseRfc(u"DB02_GET_MAIN_SCREEN_QUILLET") {}
