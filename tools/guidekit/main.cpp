// guidekit: the author's kit. `make` turns a movie into the files to hand
// out, `check` plays it and tells what the player warns about, `shot` draws
// one frame and `info` tells what the movie file holds.

#include <iostream>
#include <string>
#include <vector>

#include "tools/guidekit/check_command.h"
#include "tools/guidekit/make_command.h"
#include "tools/guidekit/shot_command.h"

namespace {

constexpr const char* kHelp =
    "usage: guidekit COMMAND ...\n"
    "  make MOVIE.swf --out DIR [--name NAME] [--title TEXT] [--size WxH]\n"
    "                 [--assets FOLDER] [--kit KITDIR] [--force]\n"
    "        the program, the movie and its settings and files, ready to hand out\n"
    "  check MOVIE.swf [--frames N] [--assets FOLDER]\n"
    "        plays the movie and tells each warning with its frame\n"
    "  shot MOVIE.swf --frame N [--size WxH] OUT.png\n"
    "        one frame as a PNG picture\n"
    "  info MOVIE.swf\n"
    "        what the movie file holds\n"
    "guidekit COMMAND --help tells more.\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + std::min(argc, 2), argv + argc);
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string self = argc > 0 ? argv[0] : "guidekit";
    if (command == "make") return guidekit::RunMake(words, self);
    if (command == "check") return guidekit::RunCheck(words);
    if (command == "shot") return guidekit::RunShot(words);
    if (command == "info") return guidekit::RunInfo(words);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kHelp;
        return 0;
    }
    std::cerr << (command.empty() ? std::string("guidekit: give a command")
                                  : "guidekit: unknown command '" + command + "'")
              << "\n"
              << kHelp;
    return 2;
}
