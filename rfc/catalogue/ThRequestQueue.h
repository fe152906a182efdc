// TH_REQUEST_QUEUE: The request queues of an application server (T_REQUEST_QUEUES: THLINE).
#pragma once

#include "rfc/catalogue/TableRfc.h"

class CThRequestQueue : public CTableRfc {
  public:
    CThRequestQueue();
};
