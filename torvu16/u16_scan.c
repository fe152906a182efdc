/* u16_scan: not yet written. */
#include "u16_internal.h"
