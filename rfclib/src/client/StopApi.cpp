// The C entry points that cancel every call of the process and let calls
// proceed again.
#include "client/CallCanceller.h"
#include "rfc32u.h"

extern "C" {

void RfcCancelAllCallsU(void) {
    rfclib::CallCanceller::Instance().CancelAll();
}

void RfcResumeCallsU(void) {
    rfclib::CallCanceller::Instance().Resume();
}

}  // extern "C"
