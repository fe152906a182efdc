// GET_TOP_SINGLE: The top processes of a host.
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CGetTopSingle : public CTableRfc {
  public:
    CGetTopSingle();
};
