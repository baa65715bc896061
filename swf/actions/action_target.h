#pragma once
// The two faces that running actions see: the timeline they belong to, and the
// host that embeds the movie. The engine implements ActionTarget on its movie
// clips; the player control (and tests) implement ActionHost.

#include <cstdint>
#include <string>

namespace swf {

class ActionTarget {
public:
    virtual ~ActionTarget() = default;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void NextFrame() = 0;
    virtual void PrevFrame() = 0;
    // Frames are counted from 0; a frame past the end goes to the last frame.
    virtual void GotoFrame(std::uint32_t frame) = 0;
    // Returns false (and changes nothing) when no frame carries the label.
    virtual bool GotoLabel(const std::string& label) = 0;
    virtual std::uint32_t CurrentFrame() const = 0;
    virtual std::uint32_t FrameCount() const = 0;
    // Bytes of the movie (or picture) the timeline plays, all of them loaded
    // before it plays; 0 when unknown.
    virtual std::uint32_t BytesTotal() const { return 0; }
    // The timeline a script path names, relative to this one: a child's
    // instance name ("mc"), "_parent", or a path ("mc.inner", "/mc", "../mc");
    // null when there is none. Timelines without named children keep this default.
    virtual ActionTarget* FindTarget(const std::string& path) {
        (void)path;
        return nullptr;
    }
};

class ActionHost {
public:
    virtual ~ActionHost() = default;
    // GetURL with an "FSCommand:" URL: the text after the prefix, and the target.
    virtual void FSCommand(const std::string& command, const std::string& args) = 0;
    // ExternalInterface.call: the request in the invoke XML form; returns the
    // host's answer (XML, possibly empty).
    virtual std::string FlashCall(const std::string& request) = 0;
    // Any other GetURL; the host may ignore it.
    virtual void GetURL(const std::string& url, const std::string& target) = 0;
};

}  // namespace swf
