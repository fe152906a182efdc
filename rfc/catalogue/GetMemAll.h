// GET_MEM_ALL: Memory and paging of a host.
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CGetMemAll : public CTableRfc {
  public:
    CGetMemAll();
};
