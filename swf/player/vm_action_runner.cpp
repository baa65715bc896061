#include "swf/player/vm_action_runner.h"

#include <span>
#include <string>

#include "swf/actions/vm.h"
#include "swf/player/movie_clip.h"

namespace swf {

namespace {

const char* StopReason(actions::RunStatus status) {
    switch (status) {
    case actions::RunStatus::Completed: return nullptr;
    case actions::RunStatus::Malformed: return "malformed action code";
    case actions::RunStatus::ActionLimit: return "it ran too long (step budget spent)";
    case actions::RunStatus::CallDepthLimit: return "function calls nested too deeply";
    case actions::RunStatus::ResourceLimit: return "it built too large a stack, string or object count";
    case actions::RunStatus::Thrown: return "an exception nothing caught";
    }
    return "unknown";
}

class SilentHost : public ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

}  // namespace

struct VmActionRunner::State {
    explicit State(int version) : vm(version) {}
    actions::Vm vm;
    SilentHost silent;
};

VmActionRunner::VmActionRunner(int swfVersion, MovieClip& root) : state_(std::make_unique<State>(swfVersion)) {
    state_->vm.SetRoot(&root);
}

VmActionRunner::~VmActionRunner() = default;

void VmActionRunner::Run(const std::vector<std::uint8_t>& code, MovieClip& target) {
    ActionHost& host = host_ != nullptr ? *host_ : state_->silent;
    const actions::RunStatus status = state_->vm.Run(std::span<const std::uint8_t>(code), target, host);
    if (const char* reason = StopReason(status)) {
        if (warnings_.size() < kMaxWarnings) {
            warnings_.push_back(std::string("script stopped on frame ") + std::to_string(target.CurrentFrame() + 1) +
                                ": " + reason + "; the movie goes on");
        } else {
            ++unlisted_;
        }
    }
}

void VmActionRunner::AdvanceTimers() {
    ActionHost& host = host_ != nullptr ? *host_ : state_->silent;
    const actions::RunStatus status = state_->vm.AdvanceTimers(state_->vm.ElapsedMs(), host);
    if (const char* reason = StopReason(status)) {
        if (warnings_.size() < kMaxWarnings) {
            warnings_.push_back(std::string("timer callback stopped: ") + reason + "; the movie goes on");
        } else {
            ++unlisted_;
        }
    }
}

std::vector<std::string> VmActionRunner::Warnings() const {
    std::vector<std::string> all = warnings_;
    if (unlisted_ > 0) all.push_back(std::to_string(unlisted_) + " more scripts stopped");
    return all;
}

void VmActionRunner::Forget(MovieClip& clip) { state_->vm.Forget(clip); }

actions::Vm& VmActionRunner::Vm() { return state_->vm; }

ActionHost& VmActionRunner::Host() { return host_ != nullptr ? *host_ : state_->silent; }

}  // namespace swf
