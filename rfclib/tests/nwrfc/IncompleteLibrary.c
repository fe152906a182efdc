/* A library that calls itself the NetWeaver RFC library but has only a
 * version: loading it must be refused with the first function it lacks. */
static const unsigned short kVersion[] = {'0', '.', '0', 0};

const unsigned short* RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch) {
    *major = *minor = *patch = 0;
    return kVersion;
}
