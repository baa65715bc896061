#pragma once
// What a movie asks for that this player does not play yet (video, tags
// it does not know), told once per movie so that
// a user can learn why a movie looks plain.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "swf/model/movie.h"

namespace swf {

// Collects one warning per kind of thing left out while a movie is read.
class UnsupportedNotes {
public:
    // A tag nothing handled (in the main timeline or a sprite's). Tags that
    // change nothing anyone sees (metadata, protection, debugger ids) pass silently.
    void Tag(std::uint16_t code);
    // Appends the warnings, in the order first met.
    void AppendTo(std::vector<std::string>& warnings) const;

private:
    void Note(const std::string& key, std::string warning);

    std::set<std::string> seen_;
    std::vector<std::string> notes_;
};

}  // namespace swf
