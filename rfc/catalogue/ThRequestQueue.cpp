#include "rfc/catalogue/ThRequestQueue.h"

CThRequestQueue::CThRequestQueue() : CTableRfc(u"TH_REQUEST_QUEUE", u"REQUEST_QUEUES") {}
