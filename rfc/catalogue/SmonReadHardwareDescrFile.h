// SMON_READ_HARDWARE_DESCR_FILE: The hardware description file of a host (I_FILE_NAME;
// T_HW_OBJECT_DESCR_TBL: DESCR).
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CSmonReadHardwareDescrFile : public CTableRfc {
  public:
    CSmonReadHardwareDescrFile();
};
