#include "swf/player/display/movie_clip.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "swf/model/units.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/video_instance.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/timeline_state.h"
#include "swf/text/ascii_case.h"

namespace swf {

MovieClip::MovieClip(ClipEnvironment& environment, std::shared_ptr<const MovieDefinition> movie,
                     const Timeline& timeline, const Placement& placement, const Character* character, int nesting)
    : DisplayObject(placement, character),
      ScriptEffects(static_cast<DisplayObject&>(*this)),
      environment_(environment),
      movie_(std::move(movie)),
      timeline_(&timeline),
      nesting_(nesting),
      serial_(environment.NextClipSerial()) {}

MovieClip::~MovieClip() {
    SetMaskClip(nullptr);
    if (maskOf_ != nullptr) maskOf_->mask_ = nullptr;
    children_.clear();  // children first: they may report themselves gone
    // The sounds the clip started go with it.
    environment_.RequestSound(OwnerGone{static_cast<const void*>(this)});
    environment_.ClipDestroyed(*this);
}

void MovieClip::Start() {
    if (started_ || timeline_->frames.empty()) return;
    started_ = true;
    current_ = 0;
    // A placed clip's construct, initialize and load events come after its
    // parent's frame actions and before its own first frame's.
    if (Parent() != nullptr) {
        environment_.QueueClipEvent(*this, kClipConstruct);
        environment_.QueueClipEvent(*this, kClipInitialize);
        environment_.QueueClipEvent(*this, kClipLoad);
    }
    EnterFrame(0);
}

void MovieClip::ReplaceContent(std::shared_ptr<const MovieDefinition> movie) {
    StopStream();
    for (auto& [depth, child] : children_) environment_.Retire(std::move(child));
    children_.clear();
    movie_ = std::move(movie);
    timeline_ = &movie_->timeline;
    current_ = 0;
    playing_ = true;
    started_ = false;
    holdFrame_ = true;
    Start();
}

void MovieClip::Advance() {
    ++steps_;
    if (holdFrame_) {
        holdFrame_ = false;
        return;
    }
    if (playing_ && FrameCount() > 1) {
        const bool wraps = current_ + 1 >= FrameCount();
        if (wraps && !loops_) {
            Stop();
        } else {
            EnterFrame(wraps ? 0 : current_ + 1, !wraps);
        }
    }
    for (auto& [depth, child] : children_) {
        if (child->BornInStep() < steps_) child->Advance();
    }
}

void MovieClip::Play() {
    // A stopped stream sound starts again from the frame shown.
    if (!playing_ && started_ && timeline_->streamHead)
        environment_.RequestSound(StreamFrameEntered{this, movie_, timeline_, current_, false});
    playing_ = true;
}

void MovieClip::Stop() {
    if (playing_) StopStream();
    playing_ = false;
}

void MovieClip::StopStream() {
    if (timeline_->streamHead) environment_.RequestSound(StreamStopped{this});
}

void MovieClip::NextFrame() {
    if (current_ + 1 < FrameCount()) EnterFrame(current_ + 1);
    Stop();
}

void MovieClip::PrevFrame() {
    if (current_ > 0) EnterFrame(current_ - 1);
    Stop();
}

void MovieClip::GotoFrame(std::uint32_t frame) {
    if (FrameCount() == 0) return;
    frame = std::min(frame, FrameCount() - 1);
    if (frame != current_) EnterFrame(frame);
}

MovieClip* MovieClip::FindChild(const std::string& name) const {
    MovieClip* folded = nullptr;
    const std::string wanted = text::AsciiLower(name);
    for (const auto& [depth, child] : children_) {
        if (child->Kind() != DisplayKind::MovieClip) continue;
        const std::string& childName = child->GetPlacement().name;
        if (childName == name) return static_cast<MovieClip*>(child.get());
        if (folded == nullptr && text::AsciiLower(childName) == wanted) folded = static_cast<MovieClip*>(child.get());
    }
    return folded;
}

DisplayTarget* MovieClip::FindChildObject(const std::string& name) {
    DisplayTarget* folded = nullptr;
    const std::string wanted = text::AsciiLower(name);
    for (const auto& [depth, child] : children_) {
        DisplayTarget* face = ScriptFace(*child);
        if (face == nullptr) continue;
        const std::string& childName = child->GetPlacement().name;
        if (childName == name) return face;
        if (folded == nullptr && text::AsciiLower(childName) == wanted) folded = face;
    }
    return folded;
}

DisplayTarget* MovieClip::CreateTextField(const std::string& name, int depth, double x, double y, double width,
                                          double height) {
    if (depth < kMinScriptDepth || depth > kMaxScriptDepth) return nullptr;
    const int listDepth = depth + kScriptDepthOffset;
    auto definition = std::make_shared<EditTextDefinition>();
    auto twips = [](double pixels) {
        return static_cast<std::int32_t>(std::isfinite(pixels) ? std::clamp(pixels, -1e6, 1e6) * kTwipsPerPixel : 0);
    };
    // The box starts at the field's origin; x and y place it.
    definition->bounds = {0, twips(std::max(0.0, width)), 0, twips(std::max(0.0, height))};
    definition->fontClass = "Times New Roman";
    definition->readOnly = true;
    definition->textColor = Rgba{0, 0, 0, 255};
    Placement placement;
    placement.name = name;
    placement.matrix.tx = twips(x);
    placement.matrix.ty = twips(y);
    std::unique_ptr<DisplayObject> field = environment_.CreateTextField(movie_, std::move(definition), placement);
    if (!field || field->Kind() != DisplayKind::EditText) return nullptr;
    field->Script().dynamic = true;
    field->SetParent(this);
    field->SetBornInStep(steps_);
    auto* made = static_cast<EditTextInstance*>(field.get());
    const auto old = children_.find(listDepth);
    if (old != children_.end()) {
        environment_.Retire(std::move(old->second));
        children_.erase(old);
    }
    children_.emplace(listDepth, std::move(field));
    return made;
}

bool MovieClip::RemoveScriptChild(DisplayObject& child) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->second.get() != &child) continue;
        // The timeline's own depths, and those above what scripts may remove, stay.
        if (it->first < kScriptDepthOffset || it->first > kScriptDepthOffset + kMaxRemovableDepth) return false;
        environment_.Retire(std::move(it->second));
        children_.erase(it);
        return true;
    }
    return false;
}

DisplayTarget* ScriptFace(DisplayObject& object) {
    switch (object.Kind()) {
    case DisplayKind::MovieClip: return static_cast<MovieClip*>(&object);
    case DisplayKind::EditText: return static_cast<EditTextInstance*>(&object);
    case DisplayKind::Button: return static_cast<ButtonInstance*>(&object);
    case DisplayKind::Video: return static_cast<VideoInstance*>(&object);
    default: return nullptr;
    }
}

ActionTarget* MovieClip::FindTarget(const std::string& path) {
    MovieClip* at = this;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        while (at->Parent() != nullptr) at = at->Parent();
        pos = 1;
    }
    while (pos < path.size() && at != nullptr) {
        std::size_t end = path.find_first_of("./", pos);
        // ".." is one step up in slash paths, not two separators.
        if (path.compare(pos, 2, "..") == 0) end = pos + 2;
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == "this") continue;
        if (part == ".." || part == "_parent") {
            at = at->Parent();
        } else if (part == "_root" || part == "_level0") {
            while (at->Parent() != nullptr) at = at->Parent();
        } else {
            at = at->FindChild(part);
        }
    }
    return at;
}

double MovieClip::GetDisplayNumber(DisplayProperty property) {
    return swf::GetDisplayNumber(*this, property, environment_.PointerPosition());
}

void MovieClip::SetDisplayNumber(DisplayProperty property, double value) {
    swf::SetDisplayNumber(*this, property, value);
}

void MovieClip::SetInstanceName(const std::string& name) {
    Placement placement = GetPlacement();
    placement.name = name;
    SetPlacement(placement);
    Script().detached = true;
}

bool MovieClip::FindLabel(const std::string& label, std::uint32_t* frame) const {
    const auto exact = timeline_->labels.find(label);
    if (exact != timeline_->labels.end()) {
        *frame = exact->second;
        return true;
    }
    const std::string wanted = text::AsciiLower(label);
    for (const auto& [name, index] : timeline_->labels) {
        if (text::AsciiLower(name) == wanted) {
            *frame = index;
            return true;
        }
    }
    return false;
}

bool MovieClip::GotoLabel(const std::string& label) {
    std::uint32_t frame = 0;
    if (!FindLabel(label, &frame)) return false;
    GotoFrame(frame);
    return true;
}

std::string MovieClip::CurrentLabel() const {
    const std::string* best = nullptr;
    std::uint32_t bestFrame = 0;
    for (const auto& [name, index] : timeline_->labels) {
        if (index <= current_ && (best == nullptr || index > bestFrame)) {
            best = &name;
            bestFrame = index;
        }
    }
    return best != nullptr ? *best : std::string();
}

std::optional<std::uint32_t> MovieClip::FrameOfLabel(const std::string& label) const {
    std::uint32_t frame = 0;
    if (!FindLabel(label, &frame)) return std::nullopt;
    return frame;
}

bool MovieClip::CallFrame(std::uint32_t frame) {
    if (frame >= FrameCount()) return false;
    for (const ActionCode& code : timeline_->frames[frame].actions) environment_.QueueActions(*this, code);
    return true;
}

void MovieClip::EnterFrame(std::uint32_t frame, bool byPlaying) {
    // Forward: the live state plus the frames in between. Backward: the state
    // rebuilt from the first frame.
    PlacementMap target;
    std::uint32_t from = 0;
    if (frame > current_ && started_) {
        for (const auto& [depth, child] : children_)
            if (!child->Script().dynamic) target.emplace(static_cast<std::uint16_t>(depth), child->GetPlacement());
        from = current_ + 1;
    }
    for (std::uint32_t f = from; f <= frame && f < FrameCount(); ++f) ApplyFrame(timeline_->frames[f], f, target);
    // Init actions of every frame reached run before the frame's own actions
    // (the stage runs each sprite's block once).
    for (std::uint32_t f = from; f <= frame && f < FrameCount(); ++f) {
        for (const InitAction& init : timeline_->frames[f].initActions) environment_.QueueInitAction(*this, init);
    }
    current_ = frame;

    // Keep the instances the target state still names; replace the rest.
    for (auto it = children_.begin(); it != children_.end();) {
        // What scripts made or moved to another depth is theirs, not the timeline's.
        if (it->second->Script().dynamic) {
            ++it;
            continue;
        }
        const auto wanted = target.find(static_cast<std::uint16_t>(it->first));
        if (wanted != target.end() && SameInstance(it->second->GetPlacement(), wanted->second)) {
            // Once a script moved or renamed the object, the timeline stops placing it.
            if (!it->second->Script().detached) {
                Placement placement = wanted->second;
                if (it->second->Script().effectsSet) {
                    const Placement& now = it->second->GetPlacement();
                    placement.filters = now.filters;
                    placement.blendMode = now.blendMode;
                    placement.cacheAsBitmap = now.cacheAsBitmap;
                    placement.scrollRect = now.scrollRect;
                    placement.opaqueBackground = now.opaqueBackground;
                }
                it->second->SetPlacement(placement);
            }
            ++it;
        } else {
            environment_.Retire(std::move(it->second));
            it = children_.erase(it);
        }
    }
    std::vector<MovieClip*> newClips;
    for (const auto& [depth, placement] : target) {
        if (children_.count(depth) != 0) continue;
        std::unique_ptr<DisplayObject> child = environment_.CreateInstance(movie_, placement, nesting_ + 1);
        child->SetParent(this);
        child->SetBornInStep(steps_);
        if (child->Kind() == DisplayKind::MovieClip) newClips.push_back(static_cast<MovieClip*>(child.get()));
        children_.emplace(depth, std::move(child));
    }
    // Event sounds of the frame entered (not of frames passed on the way).
    for (const StartSoundCommand& sound : timeline_->frames[frame].sounds)
        environment_.RequestSound(SoundStart{movie_, sound, static_cast<const void*>(this)});
    // The stream sound goes on from the frame before, or starts again here.
    if (timeline_->streamHead && playing_)
        environment_.RequestSound(StreamFrameEntered{this, movie_, timeline_, frame, byPlaying});
    for (const ActionCode& code : timeline_->frames[frame].actions) environment_.QueueActions(*this, code);
    // New clips' first frames come after this frame's own actions.
    for (MovieClip* clip : newClips) clip->Start();
}

void MovieClip::SetMaskClip(MovieClip* mask) {
    if (mask == this) mask = nullptr;
    if (mask_ != nullptr) mask_->maskOf_ = nullptr;
    mask_ = mask;
    if (mask == nullptr) return;
    if (mask->maskOf_ != nullptr) mask->maskOf_->mask_ = nullptr;
    mask->maskOf_ = this;
}

void MovieClip::SetMask(ActionTarget* mask) { SetMaskClip(dynamic_cast<MovieClip*>(mask)); }

}  // namespace swf
