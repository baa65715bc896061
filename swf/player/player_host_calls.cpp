// What the host asks of the movie through the control's scripting interface:
// timelines and variables by path, ExternalInterface calls into the movie,
// the host's playback and view settings.

#include <algorithm>
#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/url_variables.h"
#include "swf/actions/vm.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/player/stage.h"

namespace swf {

namespace {

// Zooming in further than this many twips across shows nothing useful.
constexpr double kMinZoomTwips = 20;

}  // namespace

void Player::ApplyHostSettings() {
    actions::Vm& vm = *ScriptVm();
    vm.SetExternalInterface(externalAvailable_, externalAllowed_);
    if (hostScaleMode_) vm.input().scaleMode = *hostScaleMode_;
    if (hostAlign_) vm.input().align = *hostAlign_;
    MovieClip& root = *Root();
    root.SetLooping(loop_);
    if (!autoPlay_) root.Stop();
    for (const auto& [name, value] : actions::DecodeUrlVariables(flashVars_)) {
        vm.NoteBytes(name.size() + value.size());
        vm.SetVariable(root, name, actions::Value::String(value));
    }
}

void Player::SetLoop(bool loop) {
    loop_ = loop;
    if (MovieClip* root = Root()) root->SetLooping(loop);
}

std::optional<std::string> Player::GetVariable(const std::string& path) {
    std::optional<std::string> text;
    RunForHost("read a variable",
               [&](Stage&, VmActionRunner& runner) { text = runner.Vm().GetPathText(path, runner.Host()); });
    return text;
}

bool Player::SetVariable(const std::string& path, const std::string& value) {
    bool set = false;
    RunForHost("set a variable",
               [&](Stage&, VmActionRunner& runner) { set = runner.Vm().SetPathText(path, value, runner.Host()); });
    return set;
}

bool Player::WithTimeline(const char* what, const std::string& target, const std::function<void(ActionTarget&)>& use) {
    bool found = false;
    RunForHost(what, [&](Stage&, VmActionRunner& runner) {
        if (ActionTarget* timeline = runner.Vm().FindTimeline(target, runner.Host())) {
            found = true;
            use(*timeline);
        }
    });
    return found;
}

bool Player::TargetGotoFrame(const std::string& target, std::uint32_t frame) {
    return WithTimeline("go to a frame", target, [&](ActionTarget& t) {
        t.GotoFrame(frame);  // past the end: the last frame
        t.Stop();
    });
}

bool Player::TargetGotoLabel(const std::string& target, const std::string& label) {
    bool labelled = false;
    const bool found = WithTimeline("go to a frame", target, [&](ActionTarget& t) {
        labelled = t.GotoLabel(label);
        if (labelled) t.Stop();
    });
    return found && labelled;
}

std::optional<std::uint32_t> Player::TargetCurrentFrame(const std::string& target) {
    std::optional<std::uint32_t> frame;
    WithTimeline("read a frame", target, [&](ActionTarget& t) { frame = t.CurrentFrame(); });
    return frame;
}

std::optional<std::string> Player::TargetCurrentLabel(const std::string& target) {
    std::optional<std::string> label;
    WithTimeline("read a frame", target, [&](ActionTarget& t) { label = t.CurrentLabel(); });
    return label;
}

bool Player::TargetPlay(const std::string& target) {
    const bool found = WithTimeline("play a timeline", target, [](ActionTarget& t) { t.Play(); });
    PlaySoundRequests();
    return found;
}

bool Player::TargetStop(const std::string& target) {
    const bool found = WithTimeline("stop a timeline", target, [](ActionTarget& t) { t.Stop(); });
    PlaySoundRequests();
    return found;
}

bool Player::TargetCallFrame(const std::string& target, std::uint32_t frame) {
    bool called = false;
    const bool found = WithTimeline("call a frame", target, [&](ActionTarget& t) { called = t.CallFrame(frame); });
    return found && called;
}

bool Player::LoadIntoLevel(int level, const std::string& url) {
    if (level <= 0) return false;
    return RunForHost("load a movie", [&](Stage&, VmActionRunner& runner) {
        actions::LoadRequest request;
        request.kind = actions::LoadKind::Movie;
        request.url = url;
        request.level = level;
        runner.Vm().QueueLoad(std::move(request));
    });
}

bool Player::TargetCallLabel(const std::string& target, const std::string& label) {
    bool called = false;
    const bool found = WithTimeline("call a frame", target, [&](ActionTarget& t) {
        if (const std::optional<std::uint32_t> frame = t.FrameOfLabel(label)) called = t.CallFrame(*frame);
    });
    return found && called;
}

std::optional<std::string> Player::TargetPropertyText(const std::string& target, int property) {
    std::optional<std::string> text;
    RunForHost("read a property", [&](Stage&, VmActionRunner& runner) {
        actions::Vm& vm = runner.Vm();
        if (std::optional<actions::Value> v = vm.GetTargetProperty(target, property, runner.Host())) {
            text = vm.ToText(*v);
        }
    });
    return text;
}

std::optional<double> Player::TargetPropertyNumber(const std::string& target, int property) {
    std::optional<double> number;
    RunForHost("read a property", [&](Stage&, VmActionRunner& runner) {
        actions::Vm& vm = runner.Vm();
        if (std::optional<actions::Value> v = vm.GetTargetProperty(target, property, runner.Host())) {
            number = actions::ToNumber(*v, vm.swfVersion());
        }
    });
    return number;
}

bool Player::SetTargetProperty(const std::string& target, int property, const std::string& value) {
    bool set = false;
    RunForHost("set a property", [&](Stage&, VmActionRunner& runner) {
        set = runner.Vm().SetTargetProperty(target, property, actions::Value::String(value), runner.Host());
    });
    return set;
}

bool Player::SetTargetProperty(const std::string& target, int property, double value) {
    bool set = false;
    RunForHost("set a property", [&](Stage&, VmActionRunner& runner) {
        set = runner.Vm().SetTargetProperty(target, property, actions::Value::Number(value), runner.Host());
    });
    return set;
}

void Player::SetExternalInterface(bool available, bool allowed) {
    externalAvailable_ = available;
    externalAllowed_ = allowed;
    if (actions::Vm* vm = ScriptVm()) vm->SetExternalInterface(available, allowed);
}

std::optional<std::string> Player::CallFunction(const std::string& request, std::string& error) {
    error.clear();
    std::optional<std::string> result;
    const bool ran = RunForHost("answer a call from the host", [&](Stage&, VmActionRunner& runner) {
        result = runner.Vm().CallHostCallback(request, runner.Host(), error);
    });
    if (!result && error.empty()) error = ran ? "the call failed" : "no movie is loaded";
    return result;
}

void Player::SetScaleMode(const std::string& mode) {
    hostScaleMode_ = mode;
    if (actions::Vm* vm = ScriptVm()) vm->input().scaleMode = mode;
}

void Player::SetAlignment(const std::string& align) {
    hostAlign_ = align;
    if (actions::Vm* vm = ScriptVm()) vm->input().align = align;
}

Player::ViewArea Player::ShownArea() const {
    if (zoom_) return *zoom_;
    const Rect stage = StageRect();
    return {static_cast<double>(stage.xMin), static_cast<double>(stage.yMin), static_cast<double>(stage.Width()),
            static_cast<double>(stage.Height())};
}

void Player::KeepZoomOnStage() {
    if (!zoom_) return;
    const Rect stage = StageRect();
    const auto keep = [](double& start, double extent, double min, double size) {
        // Smaller than the stage: inside it; larger: centred on it.
        start = extent <= size ? std::clamp(start, min, min + size - extent) : min + (size - extent) / 2;
    };
    keep(zoom_->left, zoom_->width, stage.xMin, stage.Width());
    keep(zoom_->top, zoom_->height, stage.yMin, stage.Height());
}

void Player::ZoomView(double percent) {
    const Rect stage = StageRect();
    if (!(percent > 0) || !std::isfinite(percent) || stage.Width() <= 0 || stage.Height() <= 0) {
        zoom_.reset();
        return;
    }
    const ViewArea now = ShownArea();
    ViewArea next;
    next.width = std::max(now.width * percent / 100, kMinZoomTwips);
    next.height = std::max(now.height * percent / 100, kMinZoomTwips);
    next.left = now.left + (now.width - next.width) / 2;
    next.top = now.top + (now.height - next.height) / 2;
    zoom_ = next;
    KeepZoomOnStage();
}

void Player::PanView(double x, double y, bool percent) {
    // Only a zoomed view has anywhere to move.
    if (!zoom_ || !std::isfinite(x) || !std::isfinite(y)) return;
    if (percent) {
        zoom_->left += x / 100 * zoom_->width;
        zoom_->top += y / 100 * zoom_->height;
    } else {
        const Matrix view = ViewMatrix(viewportWidth_, viewportHeight_);
        if (view.a == 0 || view.d == 0) return;
        zoom_->left += x / view.a;
        zoom_->top += y / view.d;
    }
    KeepZoomOnStage();
}

void Player::SetViewRect(std::optional<Rect> rect) {
    if (!rect || rect->Width() <= 0 || rect->Height() <= 0) {
        zoom_.reset();
        return;
    }
    zoom_ = ViewArea{static_cast<double>(rect->xMin), static_cast<double>(rect->yMin),
                     static_cast<double>(rect->Width()), static_cast<double>(rect->Height())};
}

}  // namespace swf
