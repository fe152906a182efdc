#include "rfc/catalogue/RfcSystemInfo.h"

CRfcSystemInfo::CRfcSystemInfo() : CBaseRfc(u"RFC_SYSTEM_INFO") {}
