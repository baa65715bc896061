// pack-projector EXECUTABLE PACKAGE OUTPUT
// Appends the installer package and its length to the executable.

#include <cstdio>

#include "packaging/pack/append_payload.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s EXECUTABLE PACKAGE OUTPUT\n", argc > 0 ? argv[0] : "pack-projector");
        return 2;
    }
    const auto result = packaging::AppendPayload(argv[1], argv[2], argv[3]);
    if (!result.ok) {
        std::fprintf(stderr, "pack-projector: %s\n", result.error.c_str());
        return 1;
    }
    return 0;
}
