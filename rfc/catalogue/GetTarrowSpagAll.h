// GET_TARROW_SPAG_ALL: processor and paging figures of an TARROW host
// (T_TF_SPAG_ALL, utilisation in AVGTARROWCUTL).
#pragma once

#include "rfc/catalogue/SpagRow.h"

class CGetTarrowSpagAll : public CSpagAllRfc {
  public:
    CGetTarrowSpagAll();
};
