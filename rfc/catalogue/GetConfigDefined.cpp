#include "rfc/catalogue/GetConfigDefined.h"

CGetConfigDefined::CGetConfigDefined() : CBaseRfc(u"GET_CONFIG_DEFINED") {}
