#include "rfc/catalogue/GetDiskSingle.h"

CGetDiskSingle::CGetDiskSingle() : CTableRfc(u"GET_DISK_SINGLE", u"TF_DISK_SINGLE") {}
