#pragma once
// What a movie file holds, as `guidekit info` tells it: its header, its tags
// by kind, fonts, exported names, script size and the files it names.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/model/movie.h"

namespace guidekit {

// A movie read by the engine's reader; nothing, with *why set, when the
// player could not play it.
std::shared_ptr<const swf::MovieDefinition> ReadMovie(std::span<const std::uint8_t> bytes, std::string* why);
// The whole file; nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// The tag's name ("DefineShape3"), or "tag N" for codes this table does not name.
std::string TagName(std::uint16_t code);

struct FontSummary {
    std::uint16_t id = 0;
    std::string name;
    bool bold = false, italic = false;
    std::size_t glyphs = 0;
    bool device = false;  // outlines come from the system's font of that name
};

struct MovieSummary {
    int version = 0;
    bool compressed = false;
    std::uint64_t fileBytes = 0;
    double stageWidth = 0, stageHeight = 0;  // pixels
    double frameRate = 0;
    std::uint16_t declaredFrames = 0;
    std::size_t frames = 0;                        // as the ShowFrame tags give them
    std::map<std::string, std::size_t> tagCounts;  // by name, sprites' tags included
    std::vector<FontSummary> fonts;
    std::map<std::string, std::uint16_t> exports;
    std::size_t actionBlocks = 0;
    std::uint64_t actionBytes = 0;
    std::vector<std::string> namedFiles;
    std::vector<std::string> readingWarnings;
};

// Throws the reader's ParseError when the movie cannot be read.
MovieSummary Summarize(std::span<const std::uint8_t> bytes);
// The summary as lines of text.
std::string FormatSummary(const MovieSummary& summary);

}  // namespace guidekit
