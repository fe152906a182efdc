#include "rfc/catalogue/ThSaprel.h"

CThSaprel::CThSaprel() : CBaseRfc(u"TH_SAPREL") {}
