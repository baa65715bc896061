#include "swf/player/scripting/vm_action_runner.h"

#include <span>
#include <string>

#include "swf/actions/vm.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

const char* StopReason(actions::RunStatus status) {
    switch (status) {
    case actions::RunStatus::Completed: return nullptr;
    case actions::RunStatus::Malformed: return "malformed action code";
    case actions::RunStatus::ActionLimit: return "the frame's script budget (steps or time) was spent";
    case actions::RunStatus::CallDepthLimit: return "function calls nested too deeply";
    case actions::RunStatus::ResourceLimit: return "it built too large a stack, string or object count";
    case actions::RunStatus::Thrown: return "an exception nothing caught";
    case actions::RunStatus::MemoryLimit: return "the movie's script memory is used up";
    }
    return "unknown";
}

bool IsLimit(actions::RunStatus status) {
    return status == actions::RunStatus::ActionLimit || status == actions::RunStatus::MemoryLimit;
}

// "_level0.menu.item": where a display object sits, as scripts name it.
std::string PathOf(DisplayTarget& object) {
    std::vector<std::string> names;
    DisplayTarget* at = &object;
    for (int links = 0; at != nullptr && links < 64; ++links) {
        ActionTarget* timeline = at->AsTimeline();
        if (timeline != nullptr && timeline->LevelNumber() >= 0) {
            names.push_back("_level" + std::to_string(timeline->LevelNumber()));
            break;
        }
        names.push_back(at->InstanceName().empty() ? std::string("(unnamed)") : at->InstanceName());
        at = at->ParentTimeline();
    }
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += (path.empty() ? "" : ".") + *it;
    return path;
}

class SilentHost : public ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

}  // namespace

struct VmActionRunner::State {
    State(int version, const actions::VmLimits& limits) : vm(version, limits) {}
    actions::Vm vm;
    SilentHost silent;
};

VmActionRunner::VmActionRunner(int swfVersion, MovieClip& root, const actions::VmLimits& limits)
    : state_(std::make_unique<State>(swfVersion, limits)) {
    state_->vm.SetRoot(&root);
}

VmActionRunner::~VmActionRunner() = default;

void VmActionRunner::BeginFrame() {
    if (frameOpen_) return;
    frameOpen_ = true;
    ++frameSerial_;
    limitReported_ = false;
    frameLimit_ = actions::RunStatus::Completed;
    state_->vm.BeginFrame();
}

void VmActionRunner::EndFrame() {
    if (!frameOpen_) return;
    frameOpen_ = false;
    state_->vm.EndFrame();
    if (!limitReported_) {
        limitedFrames_ = 0;
        toldLimit_ = actions::RunStatus::Completed;
        return;
    }
    if (++limitedFrames_ == kSpentFramesReported && !longRunReported_) {
        longRunReported_ = true;
        Warn("scripts have been stopped at their limit on " + std::to_string(kSpentFramesReported) +
             " frames in a row; they keep being cut short each frame and the timeline keeps playing");
    }
}

void VmActionRunner::Report(actions::RunStatus status, const std::string& what) {
    for (std::string& note : state_->vm.TakeUnsupported()) Warn(std::move(note));
    const char* reason = StopReason(status);
    if (reason == nullptr) return;
    if (IsLimit(status)) {
        // Within a frame the first stop of each kind is told, and a stop that
        // goes on frame after frame only when it starts and once more later.
        if (!frameOpen_) {
            Warn("script stopped in " + what + ": " + reason + "; the movie goes on");
            return;
        }
        limitReported_ = true;
        if (status == frameLimit_) return;
        frameLimit_ = status;
        if (limitedFrames_ > 0 && status == toldLimit_) return;
        toldLimit_ = status;
        Warn("scripts stopped in " + what + ": " + reason + "; the rest of this frame's scripts were skipped" +
             " and the movie goes on");
        return;
    }
    Warn("script stopped in " + what + ": " + reason + "; the movie goes on");
}

void VmActionRunner::ReportLastCall(const std::string& what) { Report(state_->vm.LastStatus(), what); }

void VmActionRunner::Run(const std::vector<std::uint8_t>& code, MovieClip& target) {
    const actions::RunStatus status = state_->vm.Run(std::span<const std::uint8_t>(code), target, Host());
    Report(status, "a script of " + PathOf(target) + " on frame " + std::to_string(target.CurrentFrame() + 1));
}

void VmActionRunner::AdvanceTimers() {
    const actions::RunStatus status = state_->vm.AdvanceTimers(state_->vm.ElapsedMs(), Host());
    Report(status, "an interval or timeout callback");
}

void VmActionRunner::SoundsFinished(const std::vector<std::uint32_t>& voices) {
    if (voices.empty()) return;
    state_->vm.SoundsFinished(voices, Host());
}

void VmActionRunner::Warn(std::string warning) {
    if (onWarning_) onWarning_(warning);
    if (warnings_.size() < kMaxWarnings) {
        warnings_.push_back(std::move(warning));
    } else {
        ++unlisted_;
    }
}

std::vector<std::string> VmActionRunner::Warnings() const {
    std::vector<std::string> all = warnings_;
    if (unlisted_ > 0) all.push_back(std::to_string(unlisted_) + " more scripts stopped");
    return all;
}

void VmActionRunner::Forget(MovieClip& clip) { state_->vm.Forget(clip); }

void VmActionRunner::ForgetObject(DisplayTarget& object) { state_->vm.Forget(object); }

void VmActionRunner::CallHandler(MovieClip& clip, const std::string& name) {
    if (!HasHandler(clip, name)) return;
    actions::Vm& vm = state_->vm;
    vm.CallMethod(vm.ClipValue(clip), name, {}, Host());
    Report(vm.LastStatus(), name + " of " + PathOf(clip));
}

void VmActionRunner::ConstructAs(MovieClip& clip, const std::string& symbol) {
    if (state_->vm.ConstructAs(clip, symbol, Host())) {
        Report(state_->vm.LastStatus(), "the constructor of class \"" + symbol + "\" for " + PathOf(clip));
    }
}

bool VmActionRunner::HasHandler(MovieClip& clip, const std::string& name) {
    actions::Vm& vm = state_->vm;
    const actions::Value self = vm.ClipValue(clip);
    // Members of the clip or its class chain; plain lookups run no getters.
    int links = 0;
    for (const actions::Object* o = self.AsObject(); o != nullptr && links < 256; o = o->proto, ++links) {
        if (const actions::Property* p = const_cast<actions::Object*>(o)->FindProperty(name, vm.swfVersion() <= 6)) {
            const actions::Object* f = p->value.AsObject();
            return p->getter != nullptr || (f != nullptr && f->kind == actions::ObjectKind::Function);
        }
    }
    return false;
}

void VmActionRunner::Broadcast(const std::string& source, const std::string& event) {
    state_->vm.Broadcast(source, event, Host());
    Report(state_->vm.LastStatus(), "the " + source + " listeners' " + event);
}

namespace {

std::vector<actions::Value> ObjectValues(actions::Vm& vm, const std::vector<DisplayTarget*>& objects) {
    std::vector<actions::Value> values;
    for (DisplayTarget* o : objects)
        values.push_back(o ? actions::Value::Obj(vm.ObjectFor(o)) : actions::Value::Null());
    return values;
}

}  // namespace

void VmActionRunner::CallObjectHandler(DisplayTarget& object, const std::string& name,
                                       const std::vector<DisplayTarget*>& args) {
    actions::Vm& vm = state_->vm;
    const actions::Value self = actions::Value::Obj(vm.ObjectFor(&object));
    vm.CallMethod(self, name, ObjectValues(vm, args), Host());
    Report(vm.LastStatus(), name + " of " + PathOf(object));
}

bool VmActionRunner::ObjectEnabled(DisplayTarget& object) {
    actions::Object* o = state_->vm.ObjectFor(&object);
    const actions::Value* enabled = o->Find("enabled");
    return enabled == nullptr || !enabled->IsBool() || enabled->AsBool();
}

bool VmActionRunner::ObjectUsesHandCursor(DisplayTarget& object) {
    // Set on the object or on a prototype (Button.prototype, a class's); a
    // bounded walk, as prototype chains may loop.
    actions::Object* o = state_->vm.ObjectFor(&object);
    for (int depth = 0; o != nullptr && depth < 256; ++depth, o = o->proto) {
        if (const actions::Value* use = o->Find("useHandCursor")) return !use->IsBool() || use->AsBool();
    }
    return true;
}

void VmActionRunner::BroadcastObjects(const std::string& source, const std::string& event,
                                      const std::vector<DisplayTarget*>& args) {
    actions::Vm& vm = state_->vm;
    vm.Broadcast(source, event, Host(), ObjectValues(vm, args));
    Report(vm.LastStatus(), "the " + source + " listeners' " + event);
}

actions::Vm& VmActionRunner::Vm() { return state_->vm; }

ActionHost& VmActionRunner::Host() { return host_ != nullptr ? *host_ : state_->silent; }

}  // namespace swf
