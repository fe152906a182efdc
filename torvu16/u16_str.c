/* u16_str: not yet written. */
#include "u16_internal.h"
