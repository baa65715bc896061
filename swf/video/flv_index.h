#pragma once
// Where a player may seek in an FLV file: its key frames' times and file
// positions, from onMetaData's `keyframes` object when the writer left one,
// else gathered as the tags are read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/video/amf0.h"
#include "swf/video/flv_reader.h"

namespace swf::video {

struct FlvKeyframe {
    std::uint32_t time = 0;      // milliseconds
    std::uint64_t position = 0;  // of the key frame's tag header

    bool operator==(const FlvKeyframe&) const = default;
};

class FlvIndex {
public:
    // Takes the key frames of onMetaData's argument: its `keyframes` member,
    // {times: seconds, filepositions: bytes}, two strict arrays of numbers
    // as long as each other, times rising or level, positions rising. False
    // (and `problem` says why, when there was an index) when it is missing
    // or not sane; the index then comes from the tags alone.
    bool UseMetadata(const AmfValue& metadata, std::string* problem = nullptr);

    // Every tag read (after a seek too): video key frames are
    // added to the index gathered from the tags, and past the end of the
    // metadata's. A tag that shows the metadata's index wrong (a position it
    // names holds no video key frame, or lies inside a tag) drops that index
    // for the gathered one.
    void Add(const FlvTag& tag);

    // The last key frame at or before `ms`; nothing when none is.
    std::optional<FlvKeyframe> KeyframeAtOrBefore(std::uint32_t ms) const;

    // The index in use: the metadata's while it holds, else the gathered one.
    std::span<const FlvKeyframe> keyframes() const;
    bool fromMetadata() const { return !metadata_.empty(); }

private:
    std::vector<FlvKeyframe> metadata_;
    std::vector<FlvKeyframe> gathered_;
};

}  // namespace swf::video
