#include "rfc/catalogue/GetMemAll.h"

CGetMemAll::CGetMemAll() : CTableRfc(u"GET_MEM_ALL", u"TF_MEM_ALL") {}
