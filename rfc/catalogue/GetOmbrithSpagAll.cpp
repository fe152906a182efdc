#include "rfc/catalogue/GetOmbrithSpagAll.h"

CGetOmbrithSpagAll::CGetOmbrithSpagAll()
    : CSpagAllRfc(u"GET_OMBRITH_SPAG_ALL", u"AVGOMBRITHCUTL") {}
