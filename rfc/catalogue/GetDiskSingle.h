// GET_DISK_SINGLE: The disks of a host.
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CGetDiskSingle : public CTableRfc {
  public:
    CGetDiskSingle();
};
