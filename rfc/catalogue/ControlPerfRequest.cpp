#include "rfc/catalogue/ControlPerfRequest.h"

CControlPerfRequest::CControlPerfRequest() : CBaseRfc(u"CONTROL_PERF_REQUEST") {}
