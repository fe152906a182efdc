/* u16_tod: not yet written. */
#include "u16_internal.h"
