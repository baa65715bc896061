#pragma once
// Runs action blocks for the player; the action VM plugs in behind this.

#include <cstdint>
#include <vector>

namespace swf {

class MovieClip;

class ActionRunner {
public:
    virtual ~ActionRunner() = default;
    virtual void Run(const std::vector<std::uint8_t>& code, MovieClip& target) = 0;
    // The clip is being destroyed: forget anything kept about it.
    virtual void Forget(MovieClip& clip) = 0;
};

}  // namespace swf
