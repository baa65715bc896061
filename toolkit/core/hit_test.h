#pragma once
// Which of a panel's painted children (pictures, labels) takes a pointer event.

#include <cstddef>
#include <optional>
#include <vector>

#include "toolkit/core/layout.h"

namespace toolkit {

struct PaintedChild {
    Bounds Area;  // in the panel's client coordinates
    bool Visible = true;
    bool Enabled = true;
};

// The index of the topmost visible, enabled child whose area holds the point,
// searching from the last painted to the first; nothing when the point lies on
// the panel itself. Areas are half-open: Left <= x < Left + Width.
std::optional<std::size_t> HitTest(const std::vector<PaintedChild>& paintingOrder, int x, int y);

}  // namespace toolkit
