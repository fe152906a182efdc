/* u16_tol: not yet written. */
#include "u16_internal.h"
