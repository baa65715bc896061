// Timeline and movie clip actions: frame control, targets, clip properties
// and the host (GetURL, trace).

#include <cmath>

#include "swf/actions/action_codes.h"
#include "swf/actions/code_reader.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/interpreter_detail.h"
#include "swf/base/ascii.h"

namespace swf::actions {

using base::StartsWithNoCase;

// ---- timeline and host ----------------------------------------------------------------

void Interpreter::Goto(ActionTarget* target, const Value& frame, bool play, std::uint32_t bias) {
    Value where = frame;
    if (where.IsString()) {
        // "path:frame" addresses another timeline.
        const std::string& text = where.AsString();
        std::size_t colon = text.rfind(':');
        if (colon != std::string::npos && target) {
            std::string path = text.substr(0, colon);
            if (!path.empty()) {
                ActionTarget* other = nullptr;
                if (path == "_root" || path == "/" || path == "_level0")
                    other = vm_.root() ? vm_.root() : target;
                else
                    other = target->FindTarget(path);
                target = other;
            }
            where = Value::String(text.substr(colon + 1));
        }
    }
    if (!target) return;
    double n = where.IsNumber() ? where.AsNumber() : ParseNumber(Text(where), 8);
    if (!std::isnan(n)) {
        if (n >= 1) {
            double index = std::trunc(n) - 1 + bias;
            target->GotoFrame(index >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(index));
        }
    } else if (!target->GotoLabel(Text(where))) {
        return;
    }
    if (play)
        target->Play();
    else
        target->Stop();
}

void Interpreter::HandleUrl(const std::string& url, const std::string& target) {
    static const std::string kFsCommand = "FSCommand:";
    if (StartsWithNoCase(url, kFsCommand))
        host_.FSCommand(url.substr(kFsCommand.size()), target);
    else
        host_.GetURL(url, target);
}

Object* Interpreter::PropertyTarget(Frame& f, const Value& target) {
    if (Object* o = target.AsObject()) return o->kind == ObjectKind::Clip ? o : nullptr;
    std::string path = Text(target);
    return path.empty() ? f.clip : ResolveTarget(f, path);
}

Value Interpreter::GetProperty(Frame& f, const Value& target, int index) {
    Object* clip = PropertyTarget(f, target);
    if (!clip || !clip->display || index < 0 || index > static_cast<int>(DisplayProperty::YMouse)) return Value();
    return GetDisplayProperty(clip, static_cast<DisplayProperty>(index));
}

void Interpreter::SetProperty(Frame& f, const Value& target, int index, const Value& value) {
    if (index < 0 || index > static_cast<int>(DisplayProperty::YMouse)) return;
    Object* clip = PropertyTarget(f, target);
    const auto property = static_cast<DisplayProperty>(index);
    // Player-wide settings need no clip.
    if (clip || property == DisplayProperty::Quality || property == DisplayProperty::HighQuality ||
        property == DisplayProperty::FocusRect || property == DisplayProperty::SoundBufTime)
        SetDisplayProperty(clip, property, value);
}

std::size_t Interpreter::DoNextFrame(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    if (ActionTarget* timeline = TimelineOf(f)) timeline->NextFrame();
    return next;
}

std::size_t Interpreter::DoPrevFrame(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    if (ActionTarget* timeline = TimelineOf(f)) timeline->PrevFrame();
    return next;
}

std::size_t Interpreter::DoPlay(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    if (ActionTarget* timeline = TimelineOf(f)) timeline->Play();
    return next;
}

std::size_t Interpreter::DoStop(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    if (ActionTarget* timeline = TimelineOf(f)) timeline->Stop();
    return next;
}

std::size_t Interpreter::DoGotoFrame(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    ActionTarget* timeline = TimelineOf(f);
    CodeReader r(payload);
    std::uint16_t frame = r.U16();
    if (r.failed()) return Malformed(f);
    if (timeline) timeline->GotoFrame(frame);
    return next;
}

std::size_t Interpreter::DoGoToLabel(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    ActionTarget* timeline = TimelineOf(f);
    CodeReader r(payload);
    std::string label = r.String();
    if (r.failed()) return Malformed(f);
    if (timeline) timeline->GotoLabel(label);
    return next;
}

std::size_t Interpreter::DoGotoFrame2(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    ActionTarget* timeline = TimelineOf(f);
    CodeReader r(payload);
    std::uint8_t flags = r.U8();
    std::uint16_t bias = (flags & 0x02) ? r.U16() : 0;
    if (r.failed()) return Malformed(f);
    Goto(timeline, Pop(f), flags & 0x01, bias);
    return next;
}

std::size_t Interpreter::DoSetTarget(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::string path = r.String();
    if (r.failed()) return Malformed(f);
    SetTargetPath(f, Value::String(path));
    return next;
}

std::size_t Interpreter::DoSetTarget2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    SetTargetPath(f, Pop(f));
    return next;
}

// Every frame of a movie is loaded before it plays: nothing is skipped.
std::size_t Interpreter::DoWaitForFrame(Frame&, std::span<const std::uint8_t>, std::size_t next) { return next; }

std::size_t Interpreter::DoWaitForFrame2(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Pop(f);
    return next;
}

std::size_t Interpreter::DoCall(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Pop(f);
    return next;
}

std::size_t Interpreter::DoGetProperty(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    double n = Number(Pop(f));
    int index = n >= 0 && n < 64 ? static_cast<int>(n) : -1;
    Push(f, GetProperty(f, Pop(f), index));
    return next;
}

std::size_t Interpreter::DoSetProperty(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value value = Pop(f);
    double n = Number(Pop(f));
    int index = n >= 0 && n < 64 ? static_cast<int>(n) : -1;
    SetProperty(f, Pop(f), index, value);
    return next;
}

std::size_t Interpreter::DoCloneSprite(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    // duplicateMovieClip(target, name, depth): compilers add 16384 to the depth.
    double depth = Number(Pop(f)) - kScriptDepthOffset;
    std::string name = Text(Pop(f));
    Value source = Pop(f);
    Object* clip = source.IsString() && source.AsString().empty() ? nullptr : PropertyTarget(f, source);
    DisplayTarget* original = clip ? clip->display : nullptr;
    ActionTarget* parent = original ? original->ParentTimeline() : nullptr;
    if (parent && std::isfinite(depth) && depth >= kMinScriptDepth && depth <= kMaxScriptDepth)
        parent->DuplicateChild(*original, name, static_cast<int>(std::floor(depth)));
    return next;
}

std::size_t Interpreter::DoRemoveSprite(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value target = Pop(f);
    Object* clip = target.IsString() && target.AsString().empty() ? nullptr : PropertyTarget(f, target);
    DisplayTarget* object = clip ? clip->display : nullptr;
    if (ActionTarget* parent = object ? object->ParentTimeline() : nullptr) parent->RemoveChild(*object);
    return next;
}

std::size_t Interpreter::DoTargetPath(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = Pop(f);
    Object* o = v.AsObject();
    if (o && o->kind == ObjectKind::Clip && o->display)
        Push(f, Value::String(TargetPathOf(o, false)));
    else
        Push(f, o && o->kind == ObjectKind::Clip && o == RootClip(f) ? Value::String("_level0") : Value());
    return next;
}

// toggleHighQuality(): low becomes high, any other quality low.
std::size_t Interpreter::DoToggleQuality(Frame&, std::span<const std::uint8_t>, std::size_t next) {
    Vm::DisplaySettings& settings = vm_.displaySettings();
    settings.quality = settings.quality == "LOW" ? "HIGH" : "LOW";
    return next;
}

// stopAllSounds(): every sound stops; a stream sound goes on with its timeline's next frame.
std::size_t Interpreter::DoStopSounds(Frame&, std::span<const std::uint8_t>, std::size_t next) {
    if (SoundHost* sounds = vm_.soundHost()) sounds->StopSounds(nullptr, 0);
    return next;
}

// ---- the host ----------------------------------------------------------------------

std::size_t Interpreter::DoGetURL(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    std::string url = r.String();
    std::string target = r.String();
    if (r.failed()) return Malformed(f);
    HandleGetUrl(f, url, Value::String(target), 0);
    return next;
}

std::size_t Interpreter::DoGetURL2(Frame& f, std::span<const std::uint8_t> payload, std::size_t next) {
    CodeReader r(payload);
    const std::uint8_t flags = payload.empty() ? 0 : r.U8();
    Value target = Pop(f);
    Value url = Pop(f);
    HandleGetUrl(f, Text(url), target, flags);
    return next;
}

std::size_t Interpreter::DoTrace(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    Value v = Pop(f);
    if (vm_.Tracing()) vm_.Trace(v.IsUndefined() ? "undefined" : Text(v));
    return next;
}

std::size_t Interpreter::DoStartDrag(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    // target, lockCenter, constrain; then bottom, right, top, left when constrained.
    Object* clip = PropertyTarget(f, Pop(f));
    DragRequest request;
    request.lockCenter = ToBoolean(Pop(f), vm_.swfVersion());
    request.constrained = ToBoolean(Pop(f), vm_.swfVersion());
    if (request.constrained) {
        request.bottom = Number(Pop(f));
        request.right = Number(Pop(f));
        request.top = Number(Pop(f));
        request.left = Number(Pop(f));
    }
    if (clip && clip->target) clip->target->StartDrag(request);
    return next;
}

std::size_t Interpreter::DoEndDrag(Frame& f, std::span<const std::uint8_t>, std::size_t next) {
    // Ends whichever drag is going on, as the stop method does.
    if (Object* clip = f.clip; clip && clip->target) clip->target->StopDrag();
    return next;
}

}  // namespace swf::actions
