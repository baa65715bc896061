#pragma once
// The text tags of an MP3 file: an ID3 version 2 tag (versions 2.2, 2.3 and
// 2.4) at its start and an ID3 version 1 tag (1.0 and 1.1) in its last 128
// bytes, as the Sound class shows them in `id3`.

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace swf::sound {

struct Id3Tags {
    // By name, UTF-8: each version 2 text frame under its four-letter id
    // ("TIT2", "TPE1", "COMM", ...; version 2.2's three-letter ids are given
    // their later names), and the common ones under the names version 1
    // uses too: songname, artist, album, year, comment, genre, track.
    std::map<std::string, std::string> fields;
    // Where the MP3 frames start and end: past the version 2 tag, before
    // the version 1 tag.
    std::size_t audioBegin = 0;
    std::size_t audioEnd = 0;
};

Id3Tags ReadId3Tags(std::span<const std::uint8_t> file);

}  // namespace swf::sound
