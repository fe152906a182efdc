/* u16_print: not yet written. */
#include "u16_internal.h"
