#pragma once
// Files a movie names in its scripts, found by a heuristic: every string
// constant of its action blocks (ActionPush strings, ConstantPool entries,
// GetURL addresses) that ends in a known file extension. Names built at run
// time, or read from variables, are not seen.

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "swf/model/movie.h"

namespace guidekit {

// Every action block of the movie once: frame actions, init actions, clip
// event handlers and button actions, of the main timeline and every sprite.
std::vector<std::span<const std::uint8_t>> ActionBlocks(const swf::MovieDefinition& movie);

// The string constants in one block's action records, in file order.
std::vector<std::string> StringConstants(std::span<const std::uint8_t> actions);

// Whether a string looks like a local file's name: a known extension
// (.swf .jpg .jpeg .png .gif .txt .xml .mp3 .flv .html), after any query,
// and no other URL scheme than "file:".
bool LooksLikeFileName(const std::string& text);

// The file names of all blocks, each once, in the order first met.
std::vector<std::string> NamedFiles(const swf::MovieDefinition& movie);

struct FileReference {
    std::string named;     // as the movie writes it
    std::string resolved;  // '/'-separated below the movie's folder; empty when outside
    enum class State { Present, Missing, Outside } state = State::Missing;
    std::string why;  // for Missing and Outside
};

// What becomes of each name in a guide called `guideName` whose folder gets
// `assetFiles` ('/'-separated paths below the assets folder, which goes to
// guideName_Page_img/). Windows compares names without regard to case.
std::vector<FileReference> ResolveReferences(const std::vector<std::string>& named, const std::string& guideName,
                                             const std::set<std::string>& assetFiles);

}  // namespace guidekit
