#include "rfc/catalogue/PflGetServerParamValues.h"

CPflGetServerParamValues::CPflGetServerParamValues()
    : CTableRfc(u"PFL_GET_SERVER_PARAM_VALUES", u"SUBST_SRV_PARAM_TBL") {}
