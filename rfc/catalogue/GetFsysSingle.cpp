#include "rfc/catalogue/GetFsysSingle.h"

CGetFsysSingle::CGetFsysSingle() : CTableRfc(u"GET_FSYS_SINGLE", u"TF_FSYS_SINGLE") {}
