#include "toolkit/core/layout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace toolkit {

namespace {

// Geometry is worked out in 64 bits so that no stored value can overflow it,
// and brought back into int range at the end.
using Wide = std::int64_t;

int Narrow(Wide value) {
    return static_cast<int>(std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Wide NonNegative(Wide value) { return std::max<Wide>(value, 0); }

Wide HeldWidth(const LayoutChild& child, Wide width) {
    return std::max<Wide>(NonNegative(width), child.Constraints.MinWidth);
}

Wide HeldHeight(const LayoutChild& child, Wide height) {
    return std::max<Wide>(NonNegative(height), child.Constraints.MinHeight);
}

// The visible children of one alignment, outermost first.
std::vector<std::size_t> InPlacingOrder(const std::vector<LayoutChild>& children, Align alignment) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].Visible && children[i].Alignment == alignment) order.push_back(i);
    }
    auto key = [&](std::size_t i) -> Wide {
        const Bounds& b = children[i].Stored;
        switch (alignment) {
        case Align::alTop: return b.Top;
        case Align::alBottom: return -(Wide{b.Top} + b.Height);
        case Align::alLeft: return b.Left;
        case Align::alRight: return -(Wide{b.Left} + b.Width);
        default: return 0;
        }
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return order;
}

struct Area {
    Wide Left, Top, Right, Bottom;
    Wide Width() const { return NonNegative(Right - Left); }
    Wide Height() const { return NonNegative(Bottom - Top); }
};

Bounds MakeBounds(Wide left, Wide top, Wide width, Wide height) {
    return Bounds{Narrow(left), Narrow(top), Narrow(width), Narrow(height)};
}

}  // namespace

std::vector<Bounds> AlignChildren(int clientWidth, int clientHeight, const std::vector<LayoutChild>& children) {
    std::vector<Bounds> result;
    result.reserve(children.size());
    for (const LayoutChild& child : children) result.push_back(child.Stored);

    Area free{0, 0, NonNegative(clientWidth), NonNegative(clientHeight)};

    for (std::size_t i : InPlacingOrder(children, Align::alTop)) {
        const LayoutChild& child = children[i];
        Wide height = HeldHeight(child, child.Stored.Height);
        result[i] = MakeBounds(free.Left, free.Top, HeldWidth(child, free.Width()), height);
        free.Top += height;
    }
    for (std::size_t i : InPlacingOrder(children, Align::alBottom)) {
        const LayoutChild& child = children[i];
        Wide height = HeldHeight(child, child.Stored.Height);
        result[i] = MakeBounds(free.Left, free.Bottom - height, HeldWidth(child, free.Width()), height);
        free.Bottom -= height;
    }
    for (std::size_t i : InPlacingOrder(children, Align::alLeft)) {
        const LayoutChild& child = children[i];
        Wide width = HeldWidth(child, child.Stored.Width);
        result[i] = MakeBounds(free.Left, free.Top, width, HeldHeight(child, free.Height()));
        free.Left += width;
    }
    for (std::size_t i : InPlacingOrder(children, Align::alRight)) {
        const LayoutChild& child = children[i];
        Wide width = HeldWidth(child, child.Stored.Width);
        result[i] = MakeBounds(free.Right - width, free.Top, width, HeldHeight(child, free.Height()));
        free.Right -= width;
    }
    for (std::size_t i : InPlacingOrder(children, Align::alClient)) {
        const LayoutChild& child = children[i];
        result[i] = MakeBounds(free.Left, free.Top, HeldWidth(child, free.Width()), HeldHeight(child, free.Height()));
    }
    return result;
}

ClientSize MinimumClientSize(const std::vector<LayoutChild>& children) {
    Wide sideWidths = 0;      // left- and right-aligned children side by side
    Wide stackedHeights = 0;  // top- and bottom-aligned children one above the other
    Wide innerWidth = 0;      // what the client-aligned children need
    Wide innerHeight = 0;     // ... and the left/right ones, which span the same height
    Wide bandWidth = 0;       // what the top/bottom ones need across the full width
    for (const LayoutChild& child : children) {
        if (!child.Visible) continue;
        switch (child.Alignment) {
        case Align::alTop:
        case Align::alBottom:
            stackedHeights += HeldHeight(child, child.Stored.Height);
            bandWidth = std::max<Wide>(bandWidth, child.Constraints.MinWidth);
            break;
        case Align::alLeft:
        case Align::alRight:
            sideWidths += HeldWidth(child, child.Stored.Width);
            innerHeight = std::max<Wide>(innerHeight, child.Constraints.MinHeight);
            break;
        case Align::alClient:
            innerWidth = std::max<Wide>(innerWidth, child.Constraints.MinWidth);
            innerHeight = std::max<Wide>(innerHeight, child.Constraints.MinHeight);
            break;
        case Align::alNone: break;
        }
    }
    return ClientSize{Narrow(std::max(bandWidth, sideWidths + innerWidth)), Narrow(stackedHeights + innerHeight)};
}

}  // namespace toolkit
