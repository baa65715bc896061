// Stands in for the system's installer: `stub_installer CODE` ends at once
// with exit code CODE; `stub_installer wait` runs until it is ended.

#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (std::strcmp(argv[1], "wait") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    return static_cast<int>(std::strtoul(argv[1], nullptr, 10));
}
