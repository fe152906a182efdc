/* u16_mem: not yet written. */
#include "u16_internal.h"
