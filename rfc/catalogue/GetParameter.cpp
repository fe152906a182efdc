#include "rfc/catalogue/GetParameter.h"

CGetParameter::CGetParameter() : CBaseRfc(u"GET_PARAMETER") {}
