// Key, Mouse and Stage: the objects that report input and the stage size,
// each a broadcaster whose listeners the player notifies (Vm::Broadcast).

#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

InputState& Input(CallContext& c) { return c.interpreter.vm().input(); }

// ---- Key ----

Value KeyIsDown(CallContext& c) {
    const double code = ArgNumber(c, 0);
    return Value::Bool(code >= 0 && code < 256 && Input(c).keysDown.count(static_cast<int>(code)) != 0);
}
Value KeyIsToggled(CallContext& c) {
    const double code = ArgNumber(c, 0);
    return Value::Bool(code >= 0 && code < 256 && Input(c).toggled.count(static_cast<int>(code)) != 0);
}
Value KeyGetCode(CallContext& c) { return Value::Number(Input(c).lastKeyCode); }
Value KeyGetAscii(CallContext& c) { return Value::Number(Input(c).lastAscii); }

// ---- Mouse ----

Value MouseShow(CallContext& c) {
    const bool wasHidden = Input(c).mouseHidden;
    Input(c).mouseHidden = false;
    return Value::Number(wasHidden ? 0 : 1);
}
Value MouseHide(CallContext& c) {
    const bool wasHidden = Input(c).mouseHidden;
    Input(c).mouseHidden = true;
    return Value::Number(wasHidden ? 0 : 1);
}

// ---- Stage ----

bool NoScale(const InputState& in) {
    std::string mode = in.scaleMode;
    std::transform(mode.begin(), mode.end(), mode.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return mode == "noscale";
}
Value StageWidth(CallContext& c) {
    const InputState& in = Input(c);
    return Value::Number(NoScale(in) ? in.viewWidth : in.movieWidth);
}
Value StageHeight(CallContext& c) {
    const InputState& in = Input(c);
    return Value::Number(NoScale(in) ? in.viewHeight : in.movieHeight);
}
Value StageGetScaleMode(CallContext& c) { return Value::String(Input(c).scaleMode); }
// Only the four modes players know are taken; anything else leaves the mode.
Value StageSetScaleMode(CallContext& c) {
    std::string mode = ArgText(c, 0);
    std::string lower = mode;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    for (const char* known : {"showAll", "noScale", "exactFit", "noBorder"}) {
        std::string k = known;
        std::transform(k.begin(), k.end(), k.begin(), [](unsigned char ch) { return std::tolower(ch); });
        if (lower == k) Input(c).scaleMode = known;
    }
    return Value();
}
Value StageGetAlign(CallContext& c) { return Value::String(Input(c).align); }
// The alignment letters T, B, L, R in any order and case; they read back as L, T, R, B.
Value StageSetAlign(CallContext& c) {
    const std::string text = ArgText(c, 0);
    bool t = false, b = false, l = false, r = false;
    for (char ch : text) {
        switch (std::toupper(static_cast<unsigned char>(ch))) {
        case 'T': t = true; break;
        case 'B': b = true; break;
        case 'L': l = true; break;
        case 'R': r = true; break;
        default: break;
        }
    }
    std::string align;
    if (l) align += 'L';
    if (t) align += 'T';
    if (r) align += 'R';
    if (b) align += 'B';
    Input(c).align = align;
    return Value();
}
Value StageGetShowMenu(CallContext& c) { return Value::Bool(Input(c).showMenu); }
Value StageSetShowMenu(CallContext& c) {
    Input(c).showMenu = ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion());
    return Value();
}

Object* Broadcaster(Installer& in, const char* name) {
    Object* o = in.NewObject(in.vm().objectProto());
    in.Method(o, "addListener", BroadcasterAddListener);
    in.Method(o, "removeListener", BroadcasterRemoveListener);
    in.vm().global()->Define(name, Value::Obj(o), kDontEnum);
    return o;
}

// ---- Selection -----------------------------------------------------------------

Value IndexOrNone(int index) { return Value::Number(index); }

// The focused field's target path, or null.
Value SelectionGetFocus(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    DisplayTarget* focused = host ? host->FocusedObject() : nullptr;
    if (focused == nullptr) return Value::Null();
    return Value::String(c.interpreter.TargetPathOf(c.interpreter.vm().ObjectFor(focused), false));
}

// setFocus(field or path); null or undefined takes the focus away.
Value SelectionSetFocus(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    if (host == nullptr) return Value::Bool(false);
    const Value target = c.Arg(0);
    if (target.IsNull() || target.IsUndefined()) return Value::Bool(host->SetFocusedObject(nullptr));
    DisplayTarget* object = target.AsObject() ? target.AsObject()->display : nullptr;
    ActionTarget* root = c.interpreter.vm().Level(0);
    if (object == nullptr && target.IsString() && root != nullptr) {
        // "path.name": the named object in the timeline the path leads to (from the main timeline).
        const std::string& path = target.AsString();
        const std::size_t dot = path.find_last_of("./");
        ActionTarget* parent = dot == std::string::npos ? root : root->FindTarget(path.substr(0, dot));
        if (parent != nullptr) object = parent->FindChildObject(path.substr(dot == std::string::npos ? 0 : dot + 1));
    }
    if (object == nullptr) return Value::Bool(false);
    return Value::Bool(host->SetFocusedObject(object));
}

Value SelectionGetBeginIndex(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    return IndexOrNone(host ? host->BeginIndex() : -1);
}

Value SelectionGetEndIndex(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    return IndexOrNone(host ? host->EndIndex() : -1);
}

Value SelectionGetCaretIndex(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    return IndexOrNone(host ? host->CaretIndex() : -1);
}

Value SelectionSetSelection(CallContext& c) {
    SelectionHost* host = c.interpreter.vm().selectionHost();
    if (host == nullptr) return Value();
    auto index = [&](std::size_t i) {
        const double n = ArgNumber(c, i);
        return std::isfinite(n) ? static_cast<int>(std::clamp(n, -1e9, 1e9)) : 0;
    };
    host->SetSelection(index(0), index(1));
    return Value();
}

}  // namespace

void InstallInputBuiltins(Installer& in) {
    Object* key = Broadcaster(in, "Key");
    in.Method(key, "isDown", KeyIsDown);
    in.Method(key, "isToggled", KeyIsToggled);
    in.Method(key, "getCode", KeyGetCode);
    in.Method(key, "getAscii", KeyGetAscii);
    const std::pair<const char*, int> keys[] = {
        {"BACKSPACE", 8}, {"TAB", 9},       {"ENTER", 13},  {"SHIFT", 16},     {"CONTROL", 17},
        {"ALT", 18},      {"CAPSLOCK", 20}, {"ESCAPE", 27}, {"SPACE", 32},     {"PGUP", 33},
        {"PGDN", 34},     {"END", 35},      {"HOME", 36},   {"LEFT", 37},      {"UP", 38},
        {"RIGHT", 39},    {"DOWN", 40},     {"INSERT", 45}, {"DELETEKEY", 46},
    };
    for (const auto& [name, code] : keys) in.Constant(key, name, Value::Number(code));

    Object* mouse = Broadcaster(in, "Mouse");
    in.Method(mouse, "show", MouseShow);
    in.Method(mouse, "hide", MouseHide);

    Object* stage = Broadcaster(in, "Stage");
    Accessor(in, stage, "width", StageWidth, nullptr);
    Accessor(in, stage, "height", StageHeight, nullptr);
    Accessor(in, stage, "scaleMode", StageGetScaleMode, StageSetScaleMode);
    Accessor(in, stage, "align", StageGetAlign, StageSetAlign);
    Accessor(in, stage, "showMenu", StageGetShowMenu, StageSetShowMenu);

    Object* selection = Broadcaster(in, "Selection");
    in.Method(selection, "getFocus", SelectionGetFocus);
    in.Method(selection, "setFocus", SelectionSetFocus);
    in.Method(selection, "getBeginIndex", SelectionGetBeginIndex);
    in.Method(selection, "getEndIndex", SelectionGetEndIndex);
    in.Method(selection, "getCaretIndex", SelectionGetCaretIndex);
    in.Method(selection, "setSelection", SelectionSetSelection);
}

void Vm::Broadcast(const std::string& source, const std::string& event, ActionHost& host,
                   const std::vector<Value>& args) {
    Value* broadcaster = builtins_.global->Find(source);
    if (!broadcaster || !broadcaster->AsObject()) return;
    Value* list = broadcaster->AsObject()->Find("_listeners");
    if (!list || !list->AsObject() || list->AsObject()->kind != ObjectKind::Array) return;
    // Listeners added or removed by a handler take effect from the next event.
    const std::vector<Value> listeners = list->AsObject()->elements;
    // No collection until all have heard it: a handler may drop a later listener.
    Enter([&] {
        for (const Value& listener : listeners) CallMethod(listener, event, args, host);
        return RunStatus::Completed;
    });
}

}  // namespace swf::actions
