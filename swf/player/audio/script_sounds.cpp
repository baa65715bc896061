#include "swf/player/audio/script_sounds.h"

#include "swf/player/display/movie_clip.h"
#include "swf/text/ascii_case.h"

namespace swf {

namespace {

// Owners are keyed as the timelines key the sounds they start: by clip.
const void* Key(ActionTarget* owner) { return static_cast<const void*>(dynamic_cast<MovieClip*>(owner)); }

}  // namespace

std::uint32_t ScriptSounds::FindSound(ActionTarget* owner, const std::string& linkage) {
    const auto* clip = dynamic_cast<MovieClip*>(owner);
    const std::shared_ptr<const MovieDefinition>& movie = clip != nullptr ? clip->MoviePtr() : movie_;
    if (!movie) return 0;
    // Linkage names match exactly, else ignoring case.
    auto exported = movie->exports.find(linkage);
    if (exported == movie->exports.end()) {
        const std::string wanted = text::AsciiLower(linkage);
        for (auto it = movie->exports.begin(); it != movie->exports.end(); ++it)
            if (text::AsciiLower(it->first) == wanted) exported = it;
    }
    if (exported == movie->exports.end()) return 0;
    const auto* sound = FindCharacter<SoundDefinition>(movie->dictionary, exported->second);
    return sound != nullptr ? sounds_.ScriptSound(movie, *sound) : 0;
}

std::uint32_t ScriptSounds::StartSound(ActionTarget* owner, std::uint32_t sound, double offsetSeconds, int loops) {
    return sounds_.StartFor(Key(owner), sound, offsetSeconds, loops);
}

void ScriptSounds::StopSounds(ActionTarget* owner, std::uint32_t sound) { sounds_.StopFor(Key(owner), sound); }

void ScriptSounds::SetTransform(ActionTarget* owner, const actions::SoundTransform& t) {
    sounds_.SetTransformFor(Key(owner), sound::ChannelTransform{t.ll / 100, t.lr / 100, t.rl / 100, t.rr / 100});
}

}  // namespace swf
