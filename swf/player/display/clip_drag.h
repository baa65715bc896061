#pragma once
// A clip following the pointer (startDrag): where it goes for a pointer
// position, inside its constraint rectangle, and what it was dropped on.

#include <string>

#include "swf/actions/action_target.h"
#include "swf/model/geometry.h"

namespace swf {

class MovieClip;

// Where a dragged clip's registration point goes, in its parent's twips:
// the pointer (parent twips) less the grab offset, then clamped into the
// request's rectangle (pixels; given in any corner order).
Point DragPosition(Point pointer, Point grabOffset, const DragRequest& request);

// The deepest clip under `p` (stage twips) whose own content is there,
// leaving out `dragged` and what it holds; null when none (the root itself
// does not count).
const MovieClip* DropTargetAt(const MovieClip& root, Point p, const MovieClip* dragged);

// The slash path of a clip ("/menu/item"; "/" for a level's root).
std::string SlashPath(const MovieClip& clip);

class ClipDrag {
public:
    void Start(MovieClip& clip, const DragRequest& request, Point pointer);
    void Stop() { clip_ = nullptr; }
    // Moves the dragged clip to follow `pointer` (stage twips) and records its
    // drop target among `root`'s clips.
    void Follow(Point pointer, const MovieClip& root);
    void Forget(const MovieClip& clip) {
        if (clip_ == &clip) clip_ = nullptr;
    }
    const MovieClip* Dragged() const { return clip_; }

private:
    MovieClip* clip_ = nullptr;
    DragRequest request_;
    Point grabOffset_;
};

}  // namespace swf
