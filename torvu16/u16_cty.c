/* u16_cty: not yet written. */
#include "u16_internal.h"
