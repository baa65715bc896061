#pragma once
// What the recording walk noted for each still object (a shape, a morph at
// one ratio, static text) and each text field the last time it was walked.
// Such an object draws the same calls whenever the inputs its key sums up
// (character or layout, matrix, colours, clipping, a field's own state) are
// the same, so a walk that finds them unchanged replays the note instead of
// building and hashing the object's paths again.

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "swf/raster/raster.h"

namespace swf {

class RecordingCache {
public:
    // What one object's drawing calls came to.
    struct Note {
        std::uint64_t content = 0;
        raster::PixelRect bounds;
        bool drew = false;
    };

    // The note kept for `object` when it was made from inputs summed up by
    // `key`; nullptr when there is none or the inputs differ.
    const Note* Find(const void* object, std::uint64_t key);
    // The same, without counting the object as met by the walk.
    const Note* Peek(const void* object, std::uint64_t key) const;
    // Keeps `note` for `object`. `owner` holds what `key` names by address
    // (the object's movie, whose characters it points at), so that no other
    // character can take one of those addresses while the note is kept.
    void Keep(const void* object, std::uint64_t key, const Note& note, std::shared_ptr<const void> owner);
    // Ends a walk: notes of objects it did not meet are dropped.
    void EndWalk();
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::uint64_t key = 0;
        Note note;
        std::shared_ptr<const void> owner;
        bool met = false;
    };
    std::unordered_map<const void*, Entry> entries_;
};

}  // namespace swf
