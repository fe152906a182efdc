/* u16_put: not yet written. */
#include "u16_internal.h"
