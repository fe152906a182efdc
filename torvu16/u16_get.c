/* u16_get: not yet written. */
#include "u16_internal.h"
