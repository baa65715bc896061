#pragma once
// Alignment of a parent's children, as plain arithmetic: the window layer only
// applies the bounds these functions return.

#include <vector>

namespace toolkit {

struct Bounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Bounds&) const = default;
};

enum class Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct SizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
};

// A child as stored in its description.
struct LayoutChild {
    Bounds Stored;
    Align Alignment = Align::alNone;
    bool Visible = true;
    SizeConstraints Constraints;
};

struct ClientSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const ClientSize&) const = default;
};

// Places the children in a client area of width x height; returns one bounds
// per child, in the children's order.
//
// Aligned children share out the area in this order: top-aligned ones along
// the top at full width, stacking downwards (ordered by stored Top); then
// bottom-aligned ones from the bottom edge upwards (the one stored lowest is
// outermost); then left-aligned ones from the left edge (ordered by stored
// Left); then right-aligned ones from the right edge inwards (the one whose
// stored right edge lies furthest right is outermost); then client-aligned
// ones fill what is left. Equal positions keep the children's order.
// Unaligned children keep their stored bounds; invisible ones keep their
// stored bounds and take no space.
//
// A stretched size never goes below zero. A minimum-size constraint always
// wins: when the space left is smaller, the child keeps its minimum and
// reaches past the space (top, left and client children to the right and
// bottom, right and bottom children to the left and top), where the parent
// clips it.
std::vector<Bounds> AlignChildren(int clientWidth, int clientHeight, const std::vector<LayoutChild>& children);

// The smallest client size at which every visible client-aligned child keeps
// its minimum size next to what the top/bottom-aligned (heights) and
// left/right-aligned (widths) children take, and at which no aligned child is
// stretched below its own minimum.
ClientSize MinimumClientSize(const std::vector<LayoutChild>& children);

}  // namespace toolkit
