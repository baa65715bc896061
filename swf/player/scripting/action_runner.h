#pragma once
// Runs action blocks for the player; the action VM plugs in behind this.

#include <cstdint>
#include <string>
#include <vector>

#include "swf/actions/action_target.h"

namespace swf {

class MovieClip;

class ActionRunner {
public:
    virtual ~ActionRunner() = default;
    virtual void Run(const std::vector<std::uint8_t>& code, MovieClip& target) = 0;
    // The clip is being destroyed: forget anything kept about it.
    virtual void Forget(MovieClip& clip) = 0;
    // Another display object scripts may reach (a text field) is being destroyed.
    virtual void ForgetObject(DisplayTarget& object) { (void)object; }
    // Calls the clip's event handler member (onEnterFrame, onLoad, ...) when
    // its script object has one.
    virtual void CallHandler(MovieClip& clip, const std::string& name) {
        (void)clip;
        (void)name;
    }
    // Whether the clip's script object has that member as a function now.
    virtual bool HasHandler(MovieClip& clip, const std::string& name) {
        (void)clip;
        (void)name;
        return false;
    }
    // The clip was placed from the library symbol `symbol`: a class that
    // scripts tied to it constructs the clip.
    virtual void ConstructAs(MovieClip& clip, const std::string& symbol) {
        (void)clip;
        (void)symbol;
    }
    // Calls the handler member of another display object's script object
    // (a button's onPress), when it has one.
    virtual void CallObjectHandler(DisplayTarget& object, const std::string& name) {
        (void)object;
        (void)name;
    }
    // False when a script set the object's `enabled` member to false.
    virtual bool ObjectEnabled(DisplayTarget& object) {
        (void)object;
        return true;
    }
    // False when a script set the object's `useHandCursor` to false (it then
    // shows the arrow rather than the hand).
    virtual bool ObjectUsesHandCursor(DisplayTarget& object) {
        (void)object;
        return true;
    }
    // Calls `event` on every listener of the global object `source` (Key, Mouse, Stage).
    virtual void Broadcast(const std::string& source, const std::string& event) {
        (void)source;
        (void)event;
    }
};

}  // namespace swf
