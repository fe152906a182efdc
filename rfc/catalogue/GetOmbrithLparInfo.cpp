#include "rfc/catalogue/GetOmbrithLparInfo.h"

CGetOmbrithLparInfo::CGetOmbrithLparInfo() : CBaseRfc(u"GET_OMBRITH_LPAR_INFO") {}
