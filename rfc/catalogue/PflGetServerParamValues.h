// PFL_GET_SERVER_PARAM_VALUES: Profile parameters of an application server with user and default
// values.
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CPflGetServerParamValues : public CTableRfc {
  public:
    CPflGetServerParamValues();
};
