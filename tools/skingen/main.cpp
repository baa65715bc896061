// skingen: writes the player window's pictures and icons into a folder.
//   skingen <output folder>

#include <exception>
#include <iostream>

#include "tools/skingen/skin_set.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skingen <output folder>\n";
        return 2;
    }
    try {
        skin::WriteSkinFiles(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "skingen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
