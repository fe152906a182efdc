/* u16_aux: not yet written. */
#include "u16_internal.h"
