#include "swf/video/flv_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace swf::video {

namespace {

// Nine header bytes and the first PreviousTagSize come before any tag.
constexpr double kFirstTag = 13;
// Positions are whole bytes held exactly by a double.
constexpr double kMaxPosition = 9007199254740992.0;
constexpr std::uint64_t kTagOverhead = 11 + 4;  // header and the PreviousTagSize after the body

// Adds a key frame where its position belongs, unless it is there already or
// its time would break the order of times.
void Insert(std::vector<FlvKeyframe>& keyframes, FlvKeyframe keyframe) {
    const auto at =
        std::lower_bound(keyframes.begin(), keyframes.end(), keyframe.position,
                         [](const FlvKeyframe& k, std::uint64_t position) { return k.position < position; });
    if (at != keyframes.end() && at->position == keyframe.position) return;
    if (at != keyframes.begin() && std::prev(at)->time > keyframe.time) return;
    if (at != keyframes.end() && at->time < keyframe.time) return;
    keyframes.insert(at, keyframe);
}

bool Refuse(std::string* problem, const std::string& why) {
    if (problem) *problem = "the metadata's key frame index is not used: " + why;
    return false;
}

const AmfStrictArray* Numbers(const AmfValue& keyframes, const char* name) {
    const AmfValue* member = keyframes.Find(name);
    const AmfStrictArray* array = member ? member->As<AmfStrictArray>() : nullptr;
    if (!array) return nullptr;
    for (const AmfValue& element : array->elements) {
        const auto number = element.Number();
        if (!number || !std::isfinite(*number)) return nullptr;
    }
    return array;
}

}  // namespace

bool FlvIndex::UseMetadata(const AmfValue& metadata, std::string* problem) {
    const AmfValue* keyframes = metadata.Find("keyframes");
    if (!keyframes) return false;
    const AmfStrictArray* times = Numbers(*keyframes, "times");
    const AmfStrictArray* positions = Numbers(*keyframes, "filepositions");
    if (!times || !positions) return Refuse(problem, "times and filepositions are not both arrays of numbers");
    if (times->elements.size() != positions->elements.size() || times->elements.empty()) {
        return Refuse(problem, std::to_string(times->elements.size()) + " times and " +
                                   std::to_string(positions->elements.size()) + " file positions");
    }
    std::vector<FlvKeyframe> index;
    index.reserve(times->elements.size());
    for (std::size_t i = 0; i < times->elements.size(); ++i) {
        const double seconds = *times->elements[i].Number();
        const double position = *positions->elements[i].Number();
        if (seconds < 0 || seconds * 1000 > std::numeric_limits<std::uint32_t>::max()) {
            return Refuse(problem, "time " + std::to_string(seconds));
        }
        if (position < kFirstTag || position > kMaxPosition || position != std::floor(position)) {
            return Refuse(problem, "file position " + std::to_string(position));
        }
        const FlvKeyframe keyframe{static_cast<std::uint32_t>(std::llround(seconds * 1000)),
                                   static_cast<std::uint64_t>(position)};
        if (!index.empty() && (keyframe.time < index.back().time || keyframe.position <= index.back().position)) {
            return Refuse(problem, "entry " + std::to_string(i) + " is out of order");
        }
        index.push_back(keyframe);
    }
    metadata_ = std::move(index);
    return true;
}

void FlvIndex::Add(const FlvTag& tag) {
    const bool key = tag.kind == FlvTagKind::Video && tag.IsKeyFrame();
    const FlvKeyframe keyframe{tag.timestamp, tag.position};
    if (!metadata_.empty()) {
        // Whatever the metadata names from this tag's start to its end must
        // be this tag, a video key frame.
        const std::uint64_t end = tag.position + kTagOverhead + tag.body.size();
        auto it = std::lower_bound(metadata_.begin(), metadata_.end(), tag.position,
                                   [](const FlvKeyframe& k, std::uint64_t position) { return k.position < position; });
        for (; it != metadata_.end() && it->position < end; ++it) {
            if (it->position != tag.position || !key) {
                metadata_.clear();
                break;
            }
        }
        if (key && !metadata_.empty() && tag.position > metadata_.back().position) Insert(metadata_, keyframe);
    }
    if (key) Insert(gathered_, keyframe);
}

std::span<const FlvKeyframe> FlvIndex::keyframes() const { return metadata_.empty() ? gathered_ : metadata_; }

std::optional<FlvKeyframe> FlvIndex::KeyframeAtOrBefore(std::uint32_t ms) const {
    const auto index = keyframes();
    const auto after = std::upper_bound(index.begin(), index.end(), ms,
                                        [](std::uint32_t t, const FlvKeyframe& k) { return t < k.time; });
    if (after == index.begin()) return std::nullopt;
    return *std::prev(after);
}

}  // namespace swf::video
