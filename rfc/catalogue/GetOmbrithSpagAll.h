// GET_OMBRITH_SPAG_ALL: processor and paging figures of an OMBRITH host
// (T_TF_SPAG_ALL, utilisation in AVGOMBRITHCUTL).
#pragma once

#include "rfc/catalogue/SpagRow.h"

class CGetOmbrithSpagAll : public CSpagAllRfc {
  public:
    CGetOmbrithSpagAll();
};
