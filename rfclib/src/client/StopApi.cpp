// The C entry points that cancel every call of the process and let calls
// proceed again.
#include "client/CallCanceller.h"
#include "nwrfc/SdkBackend.h"
#include "rfc32u.h"

extern "C" {

void RfcCancelAllCallsU(void) {
    rfclib::CallCanceller::Instance().CancelAll();
    if (auto* sdk = rfclib::nw::SdkBackend::Active()) sdk->CancelAll();
}

void RfcResumeCallsU(void) {
    rfclib::CallCanceller::Instance().Resume();
    if (auto* sdk = rfclib::nw::SdkBackend::Active()) sdk->ResumeAll();
}

}  // extern "C"
