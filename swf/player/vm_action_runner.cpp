#include "swf/player/vm_action_runner.h"

#include <span>
#include <string>

#include "swf/actions/vm.h"
#include "swf/player/movie_clip.h"

namespace swf {

namespace {

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
    state_->vm.Run(std::span<const std::uint8_t>(code), target, host);
}

void VmActionRunner::Forget(MovieClip& clip) { state_->vm.Forget(clip); }

actions::Vm& VmActionRunner::Vm() { return state_->vm; }

ActionHost& VmActionRunner::Host() { return host_ != nullptr ? *host_ : state_->silent; }

}  // namespace swf
