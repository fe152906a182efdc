/* u16_utf8: not yet written. */
#include "u16_internal.h"
