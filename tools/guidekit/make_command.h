#pragma once
// `guidekit make`: a movie, its title, window size and assets become the
// files an author hands out: NAME.exe (the program with the control package
// appended), NAME.swf and NAME_Page_img/ with Page_var.txt and the assets.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/guidekit/guide_rules.h"

namespace guidekit {

struct MakeRequest {
    std::filesystem::path movie;
    std::filesystem::path out;
    std::string name;                  // empty: the movie's file name without ".swf"
    std::optional<std::string> title;  // UTF-8; none: the name
    std::optional<WindowSize> size;    // none: the stage's size
    std::filesystem::path assets;      // empty: none
    std::filesystem::path kit;
    bool force = false;
};

struct MakeResult {
    bool ok = false;
    std::string error;                  // one line, when !ok
    std::vector<std::string> warnings;  // files the movie names that the guide will not hold
    std::vector<std::string> notes;     // what was decided for the author
    std::filesystem::path executable;
};

MakeResult MakeGuide(const MakeRequest& request);

// The command line's form: prints notes on standard output, warnings and
// errors on standard error; 0 when made, 2 when refused.
int RunMake(const std::vector<std::string>& words, const std::string& argv0);
extern const char* const kMakeHelp;

}  // namespace guidekit
