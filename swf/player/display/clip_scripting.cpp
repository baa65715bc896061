// The parts of MovieClip that scripts drive: depths, clips made and removed
// by script (attachMovie, createEmptyMovieClip, duplicateMovieClip,
// removeMovieClip) and the geometry behind getBounds, localToGlobal and hitTest.

#include <algorithm>
#include <cmath>

#include "swf/io/export_parser.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

constexpr double kTwips = 20.0;

// The script face of a display object; null for kinds scripts cannot reach yet.
bool ValidScriptDepth(int depth) { return depth >= kMinScriptDepth && depth <= kMaxScriptDepth; }

int ListKey(int scriptDepth) { return scriptDepth + kScriptDepthOffset; }

Point ToTwips(ScriptPoint p) { return {p.x * kTwips, p.y * kTwips}; }
ScriptPoint ToPixels(Point p) { return {p.x / kTwips, p.y / kTwips}; }

}  // namespace

// ---- geometry ----------------------------------------------------------------

int MovieClip::Depth() const {
    if (Parent() == nullptr) return kMinScriptDepth;
    for (const auto& [key, child] : Parent()->Children())
        if (child.get() == this) return key - kScriptDepthOffset;
    return kMinScriptDepth;
}

ScriptBox MovieClip::BoxIn(const Rect& local, DisplayTarget* space) const {
    Matrix m;  // own coordinates
    if (space != nullptr && space != this) {
        Matrix toSpace;
        const auto* clip = dynamic_cast<MovieClip*>(space);
        if (clip == nullptr || !ToStage(*clip).Invert(&toSpace)) return {};
        m = toSpace * ToStage(*this);
    }
    const Rect box = TransformBounds(local, m);
    return {box.xMin / kTwips, box.xMax / kTwips, box.yMin / kTwips, box.yMax / kTwips};
}

ScriptBox MovieClip::BoundsIn(DisplayTarget* space) { return BoxIn(LocalBounds(*this), space); }

ScriptBox MovieClip::EdgeBoundsIn(DisplayTarget* space) { return BoxIn(LocalEdgeBounds(*this), space); }

ScriptPoint MovieClip::LocalToGlobal(ScriptPoint p) { return ToPixels(ToStage(*this).Apply(ToTwips(p))); }

ScriptPoint MovieClip::GlobalToLocal(ScriptPoint p) {
    Matrix inverse;
    if (!ToStage(*this).Invert(&inverse)) return p;
    return ToPixels(inverse.Apply(ToTwips(p)));
}

bool MovieClip::HitTestPoint(ScriptPoint global, bool shape) {
    const Point p = ToTwips(global);
    if (shape) return ObjectContains(*this, ToStage(*this), p);
    const Rect box = TransformBounds(LocalBounds(*this), ToStage(*this));
    return p.x >= box.xMin && p.x <= box.xMax && p.y >= box.yMin && p.y <= box.yMax && box.Width() > 0;
}

// ---- depths ------------------------------------------------------------------

DisplayList::iterator MovieClip::FindChildEntry(const DisplayTarget& target) {
    for (auto it = children_.begin(); it != children_.end(); ++it)
        if (ScriptFace(*it->second) == &target) return it;
    return children_.end();
}

DisplayTarget* MovieClip::ObjectAtDepth(int depth) {
    if (!ValidScriptDepth(depth)) return nullptr;
    const auto it = children_.find(ListKey(depth));
    return it == children_.end() ? nullptr : ScriptFace(*it->second);
}

int MovieClip::NextHighestDepth() {
    if (children_.empty()) return 0;
    return std::max(0, children_.rbegin()->first - kScriptDepthOffset + 1);
}

bool MovieClip::SwapChildDepth(DisplayTarget& target, int depth) {
    if (!ValidScriptDepth(depth)) return false;
    const auto it = FindChildEntry(target);
    if (it == children_.end()) return false;
    const int from = it->first, to = ListKey(depth);
    if (from == to) return true;
    std::unique_ptr<DisplayObject> moving = std::move(it->second);
    children_.erase(it);
    moving->Script().dynamic = true;
    const auto other = children_.find(to);
    if (other != children_.end()) {
        std::unique_ptr<DisplayObject> displaced = std::move(other->second);
        children_.erase(other);
        displaced->Script().dynamic = true;
        children_.emplace(from, std::move(displaced));
    }
    children_.emplace(to, std::move(moving));
    return true;
}

// ---- clips made and removed by script ------------------------------------------

ActionTarget* MovieClip::AddScriptClip(std::unique_ptr<DisplayObject> object, int depth, const MovieClip* original) {
    if (!object || object->Kind() != DisplayKind::MovieClip) return nullptr;
    auto* clip = static_cast<MovieClip*>(object.get());
    clip->SetParent(this);
    clip->SetBornInStep(steps_);
    clip->Script().dynamic = true;
    clip->Script().detached = true;
    const int key = ListKey(depth);
    const auto old = children_.find(key);
    if (old != children_.end()) {
        environment_.Retire(std::move(old->second));
        children_.erase(old);
    }
    children_.emplace(key, std::move(object));
    clip->Start();
    environment_.ClipCreatedByScript(*clip, original);
    return clip;
}

ActionTarget* MovieClip::AttachClip(const std::string& linkage, const std::string& name, int depth) {
    if (!ValidScriptDepth(depth)) return nullptr;
    const std::uint16_t id = FindExport(movie_->exports, linkage);
    if (id == 0) return nullptr;
    const auto it = movie_->dictionary.find(id);
    if (it == movie_->dictionary.end() || it->second->Kind() != CharacterKind::Sprite) return nullptr;
    Placement placement;
    placement.characterId = id;
    placement.name = name;
    return AddScriptClip(environment_.CreateInstance(movie_, placement, nesting_ + 1), depth, nullptr);
}

ActionTarget* MovieClip::CreateEmptyClip(const std::string& name, int depth) {
    if (!ValidScriptDepth(depth)) return nullptr;
    Placement placement;
    placement.name = name;
    return AddScriptClip(environment_.CreateEmptyClip(movie_, placement, nesting_ + 1), depth, nullptr);
}

ActionTarget* MovieClip::DuplicateChild(DisplayTarget& target, const std::string& name, int depth) {
    if (!ValidScriptDepth(depth)) return nullptr;
    const auto it = FindChildEntry(target);
    if (it == children_.end() || it->second->Kind() != DisplayKind::MovieClip) return nullptr;
    const auto& original = static_cast<const MovieClip&>(*it->second);
    Placement placement = original.GetPlacement();
    placement.name = name;
    placement.clipDepth = 0;
    std::unique_ptr<DisplayObject> copy;
    if (original.GetCharacter() != nullptr)
        copy = environment_.CreateInstance(original.movie_, placement, nesting_ + 1);
    else
        copy = environment_.CreateEmptyClip(original.movie_, placement, nesting_ + 1);
    if (copy) {
        copy->Script().visible = original.Script().visible;
        copy->Script().transformKnown = original.Script().transformKnown;
        copy->Script().xscale = original.Script().xscale;
        copy->Script().yscale = original.Script().yscale;
        copy->Script().rotation = original.Script().rotation;
    }
    return AddScriptClip(std::move(copy), depth, &original);
}

bool MovieClip::RemoveChild(DisplayTarget& target) {
    const auto it = FindChildEntry(target);
    if (it == children_.end()) return false;
    const int depth = it->first - kScriptDepthOffset;
    if (depth < 0 || depth > kMaxRemovableDepth) return false;
    environment_.Retire(std::move(it->second));
    children_.erase(it);
    return true;
}

}  // namespace swf
