/* u16_transcode: the converters' inner loops for the target's baseline
 * instruction set (SSE2 on x86-64). */
#define U16_TRANSCODE_NAME(name) name##_baseline
#include "u16_transcode.h"
#include "u16_transcode_paths.h"
