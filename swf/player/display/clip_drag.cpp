#include "swf/player/display/clip_drag.h"

#include <algorithm>
#include <cmath>

#include "swf/player/display/display_properties.h"
#include "swf/model/shape_hit_test.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

constexpr double kTwips = 20;

// The pointer in the parent's twips; the stage's when the clip has no parent
// or the parent's transform cannot be inverted.
Point InParent(const MovieClip& clip, Point pointer) {
    if (clip.Parent() == nullptr) return pointer;
    Matrix inverse;
    if (!ObjectToStage(*clip.Parent()).Invert(&inverse)) return pointer;
    return inverse.Apply(pointer);
}

Point Position(const MovieClip& clip) { return {clip.GetPlacement().matrix.tx, clip.GetPlacement().matrix.ty}; }

// Whether the clip's own content (its drawing and its non-clip children) covers `p`.
bool OwnContentAt(const MovieClip& clip, const Matrix& toStage, Point p) {
    if (const DrawnShape* drawing = clip.Drawing(); drawing != nullptr) {
        Matrix inverse;
        if (toStage.Invert(&inverse) && ShapeContains(drawing->GetShape(), inverse.Apply(p))) return true;
    }
    for (const auto& [depth, child] : clip.Children()) {
        if (child->Kind() == DisplayKind::MovieClip || !child->Visible() || child->GetPlacement().clipDepth != 0)
            continue;
        if (ObjectContains(*child, toStage * child->GetPlacement().matrix, p)) return true;
    }
    return false;
}

const MovieClip* DeepestAt(const MovieClip& clip, const Matrix& toStage, Point p, const MovieClip* dragged,
                           int nesting) {
    if (nesting > 64) return nullptr;
    const DisplayList& children = clip.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (child.Kind() != DisplayKind::MovieClip || &child == dragged || !child.Visible()) continue;
        if (child.GetPlacement().clipDepth != 0) continue;
        const auto& childClip = static_cast<const MovieClip&>(child);
        const Matrix m = toStage * child.GetPlacement().matrix;
        if (const MovieClip* found = DeepestAt(childClip, m, p, dragged, nesting + 1)) return found;
        if (OwnContentAt(childClip, m, p)) return &childClip;
    }
    return nullptr;
}

}  // namespace

Point DragPosition(Point pointer, Point grabOffset, const DragRequest& request) {
    Point at{pointer.x - grabOffset.x, pointer.y - grabOffset.y};
    if (request.constrained) {
        const auto twips = [](double px) { return std::isfinite(px) ? std::clamp(px, -1e7, 1e7) * kTwips : 0.0; };
        const double x0 = twips(request.left), x1 = twips(request.right);
        const double y0 = twips(request.top), y1 = twips(request.bottom);
        at.x = std::clamp(at.x, std::min(x0, x1), std::max(x0, x1));
        at.y = std::clamp(at.y, std::min(y0, y1), std::max(y0, y1));
    }
    return at;
}

const MovieClip* DropTargetAt(const MovieClip& root, Point p, const MovieClip* dragged) {
    return DeepestAt(root, root.GetPlacement().matrix, p, dragged, 0);
}

std::string SlashPath(const MovieClip& clip) {
    std::string path;
    int steps = 0;
    for (const MovieClip* c = &clip; c->Parent() != nullptr && steps < 256; c = c->Parent(), ++steps)
        path.insert(0, '/' + c->InstanceName());
    return path.empty() ? "/" : path;
}

void ClipDrag::Start(MovieClip& clip, const DragRequest& request, Point pointer) {
    clip_ = &clip;
    request_ = request;
    grabOffset_ = {0, 0};
    if (!request.lockCenter) {
        const Point inParent = InParent(clip, pointer);
        const Point at = Position(clip);
        grabOffset_ = {inParent.x - at.x, inParent.y - at.y};
    }
}

void ClipDrag::Follow(Point pointer, const MovieClip& root) {
    if (clip_ == nullptr) return;
    const Point at = DragPosition(InParent(*clip_, pointer), grabOffset_, request_);
    SetDisplayNumber(*clip_, DisplayProperty::X, at.x / kTwips);
    SetDisplayNumber(*clip_, DisplayProperty::Y, at.y / kTwips);
    const MovieClip* target = DropTargetAt(root, pointer, clip_);
    clip_->SetDropTarget(target != nullptr ? SlashPath(*target) : std::string());
}

}  // namespace swf
