#include "rfc/catalogue/SmonReadHardwareDescrFile.h"

CSmonReadHardwareDescrFile::CSmonReadHardwareDescrFile()
    : CTableRfc(u"SMON_READ_HARDWARE_DESCR_FILE", u"HW_OBJECT_DESCR_TBL") {}
