#pragma once
// A file a script asked to load (loadVariables, LoadVars.load, loadMovie,
// MovieClipLoader.loadClip) or a clip it asked to empty (unloadMovie). The VM
// queues these; the player completes them on a later frame tick.

#include <cstddef>
#include <string>

namespace swf {
class ActionTarget;
}

namespace swf::actions {

struct Object;

// "_levelN" (any case) at the start of `path`, followed by its end, '.', '/'
// or ':': sets *level and *length (the characters it takes).
bool ParseLevelName(const std::string& path, int* level, std::size_t* length);

enum class LoadKind {
    Variables,  // URL-encoded variables into a timeline, or a LoadVars object
    Xml,        // an XML document's text
    Movie,      // a movie or picture replacing a timeline's content
    Unload,     // a timeline's content removed
    Sound,      // an MP3 file for a Sound object (Sound.loadSound)
};

struct LoadRequest {
    LoadKind kind = LoadKind::Variables;
    std::string url;
    // The timeline it is for, or nullptr with `level` >= 0 for "_levelN"
    // (which may not exist yet), or neither for a LoadVars object.
    ActionTarget* target = nullptr;
    int level = -1;
    // The LoadVars object (Variables), XML document (Xml), MovieClipLoader (Movie, Unload) or
    // Sound (Sound) to report to; nullptr for the plain actions.
    Object* receiver = nullptr;
    // The target timeline was destroyed before the request was completed.
    bool targetGone = false;
};

}  // namespace swf::actions
