/* A program outside the tree, built against the installed library: it
 * checks that the library it loaded serves its header and prints one line
 * naming how it was built. */
#include <torvu16.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (checkVersionLibu16U16(TORVU16_VERSION_STRING, 0) != 0) return 3;
    U16Char how[64];
    if (Utf8s_To_U16(how, argv[1], 64) < 0) return 4;
    const int n = printfU16(u"torvu16 %d.%04d built with %s: \u00e4\u20ac\n",
                            TORVU16_VERSION_MAJOR, TORVU16_VERSION_MINOR, how);
    return n > 0 ? 0 : 1;
}
