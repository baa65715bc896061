#pragma once
// Runs action blocks on the action VM, with the player's host (or a silent
// one) receiving FSCommand, FlashCall and GetURL.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/actions/vm.h"
#include "swf/player/scripting/action_runner.h"

namespace swf {

class MovieClip;

class VmActionRunner : public ActionRunner {
public:
    VmActionRunner(int swfVersion, MovieClip& root, const actions::VmLimits& limits = {});
    ~VmActionRunner() override;
    // nullptr: host calls are dropped (FlashCall answers nothing).
    void SetHost(ActionHost* host) { host_ = host; }
    // Hears each warning as it is recorded, past the listed ones too.
    void SetWarningHandler(std::function<void(const std::string&)> handler) { onWarning_ = std::move(handler); }

    // One frame's script work (or one input event's) shares one budget of
    // steps and time; once it is spent the rest is skipped with a warning
    // naming what was stopped. A frame already open is left as it is.
    void BeginFrame();
    void EndFrame();
    bool FrameOpen() const { return frameOpen_; }

    void Run(const std::vector<std::uint8_t>& code, MovieClip& target) override;
    void Forget(MovieClip& clip) override;
    void ForgetObject(DisplayTarget& object) override;
    void CallHandler(MovieClip& clip, const std::string& name) override;
    bool HasHandler(MovieClip& clip, const std::string& name) override;
    void ConstructAs(MovieClip& clip, const std::string& symbol) override;
    void Broadcast(const std::string& source, const std::string& event) override;
    // object.name(args) on a display object's script object, when it has such
    // a function; arguments are display objects (null: null).
    void CallObjectHandler(DisplayTarget& object, const std::string& name, const std::vector<DisplayTarget*>& args);
    void CallObjectHandler(DisplayTarget& object, const std::string& name) override {
        CallObjectHandler(object, name, {});
    }
    bool ObjectEnabled(DisplayTarget& object) override;
    bool ObjectUsesHandCursor(DisplayTarget& object) override;
    // `event` with display objects as arguments to the listeners of `source`.
    void BroadcastObjects(const std::string& source, const std::string& event, const std::vector<DisplayTarget*>& args);
    // Sound objects whose voices played to their end hear onSoundComplete.
    void SoundsFinished(const std::vector<std::uint32_t>& voices);
    // Runs the setInterval/setTimeout callbacks that have come due by the
    // script clock (the time since the movie started).
    void AdvanceTimers();

    actions::Vm& Vm();
    // The player's host, or one that ignores everything.
    ActionHost& Host();

    // Scripts that were stopped (a limit reached, malformed code, an uncaught
    // throw): the first kMaxWarnings, then a count of the rest.
    std::vector<std::string> Warnings() const;
    static constexpr std::size_t kMaxWarnings = 50;
    // Frames in a row whose budget was spent before the movie is told about
    // it once more.
    static constexpr int kSpentFramesReported = 100;
    // Records a warning, as the runner's own are (loads use it too).
    void Warn(std::string warning);
    // Warns when the last call into scripts made from outside the runner
    // (a load's report) did not complete; `what` names it.
    void ReportLastCall(const std::string& what);

private:
    struct State;
    std::unique_ptr<State> state_;
    ActionHost* host_ = nullptr;
    std::vector<std::string> warnings_;
    std::size_t unlisted_ = 0;
    std::function<void(const std::string&)> onWarning_;
    bool frameOpen_ = false;
    std::uint32_t frameSerial_ = 0;
    // A budget or memory stop happened in this frame, and the last kind met.
    bool limitReported_ = false;
    actions::RunStatus frameLimit_ = actions::RunStatus::Completed;
    // Frames in a row whose scripts hit the budget or the memory limit, and
    // the last such stop told.
    int limitedFrames_ = 0;
    actions::RunStatus toldLimit_ = actions::RunStatus::Completed;
    bool longRunReported_ = false;

    // Warns about a call that did not complete; `what` names it.
    void Report(actions::RunStatus status, const std::string& what);
};

}  // namespace swf
