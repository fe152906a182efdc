#include "rfc/catalogue/DB02OraFillTD110.h"

CDB02OraFillTD110::CDB02OraFillTD110() : CBaseRfc(u"DB02_ORA_FILL_TD110") {}
