#include "swf/player/render/recording_cache.h"

#include <utility>

namespace swf {

const RecordingCache::Note* RecordingCache::Find(const void* object, std::uint64_t key) {
    const auto it = entries_.find(object);
    if (it == entries_.end() || it->second.key != key) return nullptr;
    it->second.met = true;
    return &it->second.note;
}

const RecordingCache::Note* RecordingCache::Peek(const void* object, std::uint64_t key) const {
    const auto it = entries_.find(object);
    return it == entries_.end() || it->second.key != key ? nullptr : &it->second.note;
}

void RecordingCache::Keep(const void* object, std::uint64_t key, const Note& note, std::shared_ptr<const void> owner) {
    entries_[object] = Entry{key, note, std::move(owner), true};
}

void RecordingCache::EndWalk() {
    std::erase_if(entries_, [](const auto& entry) { return !entry.second.met; });
    for (auto& [object, entry] : entries_) entry.met = false;
}

}  // namespace swf
