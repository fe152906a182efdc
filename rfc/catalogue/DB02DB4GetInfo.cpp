#include "rfc/catalogue/DB02DB4GetInfo.h"

CDB02DB4GetInfo::CDB02DB4GetInfo() : CBaseRfc(u"DB02_DB4_GET_INFO") {}
