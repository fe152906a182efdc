#include "rfc/catalogue/GetTarrowSpagAll.h"

CGetTarrowSpagAll::CGetTarrowSpagAll() : CSpagAllRfc(u"GET_TARROW_SPAG_ALL", u"AVGTARROWCUTL") {}
