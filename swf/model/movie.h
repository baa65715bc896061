#pragma once
// A whole parsed movie: header, background, dictionary and main timeline.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/movie_header.h"
#include "swf/model/timeline.h"

namespace swf {

struct MovieDefinition {
    MovieHeader header;
    std::optional<Rgba> background;
    Dictionary dictionary;
    Timeline timeline;
    // Linkage names of exported characters (ExportAssets): name -> character id.
    std::map<std::string, std::uint16_t> exports;
    // Where the movie was read from, as scripts' _url reports it; empty when unknown.
    std::string url;
    // What a ScriptLimits tag asks: the deepest call nesting and the
    // seconds a script may run (0: not given).
    struct ScriptLimits {
        int maxRecursionDepth = 0;
        int timeoutSeconds = 0;
    };
    ScriptLimits scriptLimits;
    // Tags that were dropped because their contents were malformed.
    std::vector<std::string> warnings;
};

}  // namespace swf
