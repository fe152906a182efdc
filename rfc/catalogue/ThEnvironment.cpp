#include "rfc/catalogue/ThEnvironment.h"

CThEnvironment::CThEnvironment() : CTableRfc(u"TH_ENVIRONMENT", u"ENVIRONMENT") {}
