// Display properties of clips as scripts see them, through GetProperty /
// SetProperty and as members (`mc._x`): per-object ones come from the display
// object (DisplayTarget), player-wide ones from the VM's display settings.

#include <array>
#include <cmath>

#include "swf/actions/interpreter.h"

namespace swf::actions {

namespace {

constexpr std::array<const char*, 22> kPropertyNames = {
    "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
    "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
    "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
    "_ymouse",
};

bool SameNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (x != b[i]) return false;
    }
    return i == a.size() && b[i] == '\0';
}

const char* QualityName(double highQuality) {
    if (highQuality >= 2) return "BEST";
    if (highQuality >= 1) return "HIGH";
    return "LOW";
}

// A display object inside a timeline, not the top of a level.
bool ObjectBelowTop(Object* clip) {
    return clip != nullptr && clip->display != nullptr && clip->display->ParentTimeline() != nullptr;
}

}  // namespace

bool DisplayPropertyNamed(const std::string& name, DisplayProperty* out) {
    if (name.size() < 2 || name[0] != '_') return false;
    for (std::size_t i = 0; i < kPropertyNames.size(); ++i) {
        if (SameNoCase(name, kPropertyNames[i])) {
            *out = static_cast<DisplayProperty>(i);
            return true;
        }
    }
    return false;
}

std::string Interpreter::TargetPathOf(Object* clip, bool slashes) {
    std::vector<std::string> names;
    DisplayTarget* at = clip ? clip->display : nullptr;
    int level = 0;
    for (int depth = 0; at != nullptr && depth < 256; ++depth) {
        ActionTarget* parent = at->ParentTimeline();
        if (parent == nullptr) {
            ActionTarget* timeline = at->AsTimeline();
            level = timeline && timeline->LevelNumber() > 0 ? timeline->LevelNumber() : 0;
            break;
        }
        names.push_back(at->InstanceName());
        at = parent;
    }
    std::string path;
    if (slashes) {
        if (level > 0) path = "_level" + std::to_string(level);
        for (auto it = names.rbegin(); it != names.rend(); ++it) path += "/" + *it;
        return path.empty() ? "/" : path;
    }
    path = "_level" + std::to_string(level);
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += "." + *it;
    return path;
}

Value Interpreter::GetDisplayProperty(Object* clip, DisplayProperty property) {
    Vm::DisplaySettings& settings = vm_.displaySettings();
    switch (property) {
    case DisplayProperty::HighQuality:
        return Value::Number(settings.quality == "BEST" ? 2 : settings.quality == "LOW" ? 0 : 1);
    case DisplayProperty::Quality: return Value::String(settings.quality);
    case DisplayProperty::FocusRect: {
        // An object's own setting, when a script gave it one, over the movie's.
        const double own = ObjectBelowTop(clip) ? clip->display->GetDisplayNumber(property) : std::nan("");
        return Value::Bool(std::isnan(own) ? settings.focusRect : own != 0);
    }
    case DisplayProperty::SoundBufTime: return Value::Number(settings.soundBufferTime);
    default: break;
    }
    DisplayTarget* object = clip ? clip->display : nullptr;
    if (object == nullptr) return Value();
    ActionTarget* timeline = clip->target;
    switch (property) {
    case DisplayProperty::CurrentFrame:
        return timeline ? Value::Number(static_cast<double>(timeline->CurrentFrame()) + 1) : Value();
    case DisplayProperty::TotalFrames:
    case DisplayProperty::FramesLoaded:
        return timeline ? Value::Number(static_cast<double>(timeline->FrameCount())) : Value();
    case DisplayProperty::Name: return Value::String(object->InstanceName());
    case DisplayProperty::Target: return Value::String(TargetPathOf(clip, true));
    case DisplayProperty::Url: return Value::String(object->Url());
    case DisplayProperty::DropTarget: return Value::String(object->DropTarget());
    case DisplayProperty::Visible: return Value::Bool(object->GetDisplayNumber(property) != 0);
    default: {
        double n = object->GetDisplayNumber(property);
        return std::isnan(n) ? Value() : Value::Number(n);
    }
    }
}

void Interpreter::SetDisplayProperty(Object* clip, DisplayProperty property, const Value& value) {
    Vm::DisplaySettings& settings = vm_.displaySettings();
    switch (property) {
    case DisplayProperty::HighQuality: settings.quality = QualityName(Number(value)); return;
    case DisplayProperty::Quality: {
        std::string q = Text(value);
        for (char& c : q)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (q == "LOW" || q == "MEDIUM" || q == "HIGH" || q == "BEST") settings.quality = q;
        return;
    }
    case DisplayProperty::FocusRect:
        // Set on a level's top timeline (or with none) it is the movie's; on another object, that object's.
        if (ObjectBelowTop(clip)) {
            clip->display->SetDisplayNumber(property, ToBoolean(value, vm_.swfVersion()) ? 1 : 0);
        } else {
            settings.focusRect = ToBoolean(value, vm_.swfVersion());
        }
        return;
    case DisplayProperty::SoundBufTime: {
        double n = Number(value);
        if (std::isfinite(n) && n >= 0) settings.soundBufferTime = n;
        return;
    }
    default: break;
    }
    DisplayTarget* object = clip ? clip->display : nullptr;
    if (object == nullptr) return;
    switch (property) {
    case DisplayProperty::Name: object->SetInstanceName(Text(value)); return;
    case DisplayProperty::Visible:
        object->SetDisplayNumber(property, ToBoolean(value, vm_.swfVersion()) ? 1 : 0);
        return;
    case DisplayProperty::X:
    case DisplayProperty::Y:
    case DisplayProperty::XScale:
    case DisplayProperty::YScale:
    case DisplayProperty::Alpha:
    case DisplayProperty::Width:
    case DisplayProperty::Height:
    case DisplayProperty::Rotation: object->SetDisplayNumber(property, Number(value)); return;
    default: return;  // read-only
    }
}

}  // namespace swf::actions
