// quorvel-sessiondump <folder or file>...: prints every record of the
// session folder's data files as one line of named fields.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tools/sessiondump/DecoderRegistry.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <session folder or file>...\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            const bool folder = std::filesystem::is_directory(argv[i]);
            for (const auto& line :
                 folder ? sessiondump::DumpFolder(argv[i]) : sessiondump::DumpFile(argv[i]))
                std::printf("%s\n", line.c_str());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", argv[i], e.what());
            status = 1;
        }
    }
    return status;
}
