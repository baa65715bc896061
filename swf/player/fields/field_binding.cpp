#include "swf/player/fields/field_binding.h"

#include <algorithm>

#include "swf/actions/vm.h"
#include "swf/base/ascii.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/focus.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"

namespace swf {

namespace {

struct VariableRef {
    ActionTarget* target = nullptr;
    std::string name;
};

// "a.b.name" and "/a/b:name" name a variable of another timeline.
VariableRef Resolve(const EditTextInstance& field, const std::string& path) {
    MovieClip* clip = field.Parent();
    if (clip == nullptr) return {};
    const std::size_t split = path.find_last_of(".:");
    if (split == std::string::npos) return {clip, path};
    const std::string where = path.substr(0, split);
    ActionTarget* target = where.empty() ? clip->FindTarget("/") : clip->FindTarget(where);
    return {target, path.substr(split + 1)};
}

}  // namespace

void BindFieldVariable(EditTextInstance& field, VmActionRunner& runner) {
    // Every field gets both ends: scripts may name a variable later.
    EditTextInstance* f = &field;
    VmActionRunner* r = &runner;
    field.SetVariableSource([f, r]() -> std::optional<std::string> {
        if (f->VariableName().empty()) return std::nullopt;
        const VariableRef ref = Resolve(*f, f->VariableName());
        if (ref.target == nullptr || ref.name.empty()) return std::nullopt;
        const actions::Value value = r->Vm().GetVariable(*ref.target, ref.name);
        if (value.IsUndefined()) return std::nullopt;
        return r->Vm().ToText(value);
    });
    field.SetVariableSink([f, r](const std::string& text) {
        if (f->VariableName().empty()) return;
        const VariableRef ref = Resolve(*f, f->VariableName());
        if (ref.target == nullptr || ref.name.empty()) return;
        r->Vm().SetVariable(*ref.target, ref.name, actions::Value::String(text));
    });
}

void RaiseChangeEvents(EditTextInstance& field, Stage& stage, VmActionRunner& runner) {
    EditTextInstance* f = &field;
    field.SetChangeListener(
        [f, &stage, &runner] { stage.RunScript([&] { runner.CallObjectHandler(*f, "onChanged", {f}); }); });
    field.SetScrollListener(
        [f, &stage, &runner] { stage.RunScript([&] { runner.CallObjectHandler(*f, "onScroller", {f}); }); });
}

void RaiseFocusEvents(FocusManager& focus, Stage& stage, VmActionRunner& runner) {
    focus.SetFocusListener([&stage, &runner](const FocusManager::FocusChange& change) {
        // Handlers may remove either object: the change forgets each that goes,
        // so it is read again before every call.
        auto face = [](DisplayObject* object) { return object != nullptr ? ScriptFace(*object) : nullptr; };
        stage.RunScript([&] {
            if (DisplayTarget* lost = face(change.lost))
                runner.CallObjectHandler(*lost, "onKillFocus", {face(change.gained)});
            if (DisplayTarget* gained = face(change.gained))
                runner.CallObjectHandler(*gained, "onSetFocus", {face(change.lost)});
            runner.BroadcastObjects("Selection", "onSetFocus", {face(change.lost), face(change.gained)});
        });
    });
}

void FollowLink(Stage& stage, VmActionRunner& runner, EditTextInstance& field, const std::string& url,
                const std::string& target) {
    static const std::string kScriptCall = "asfunction:";
    if (!base::StartsWithNoCase(url, kScriptCall)) {
        runner.Host().GetURL(url, target);
        return;
    }
    // "asfunction:name,argument": one string argument, everything after the comma.
    const std::string call = url.substr(kScriptCall.size());
    const std::size_t comma = call.find(',');
    const VariableRef fn = Resolve(field, call.substr(0, comma));
    if (fn.target == nullptr || fn.name.empty()) return;
    std::vector<actions::Value> args;
    if (comma != std::string::npos) args.push_back(actions::Value::String(call.substr(comma + 1)));
    actions::Vm& vm = runner.Vm();
    ActionTarget* timeline = fn.target;
    stage.RunScript([&] { vm.CallMethod(vm.ClipValue(*timeline), fn.name, std::move(args), runner.Host()); });
    stage.RunQueuedActions();
}

}  // namespace swf
