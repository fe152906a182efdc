// The shared library's own translation unit. Every entry point comes from
// sapnwrfc_core, linked in whole; the version script exports exactly the
// SDK's names.
#include "nwrfc/NwRfcApi.h"
