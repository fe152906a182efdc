#include "rfc/catalogue/GetTopSingle.h"

CGetTopSingle::CGetTopSingle() : CTableRfc(u"GET_TOP_SINGLE", u"TF_TOP_SINGLE") {}
