// GET_FSYS_SINGLE: The file systems of a host.
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CGetFsysSingle : public CTableRfc {
  public:
    CGetFsysSingle();
};
