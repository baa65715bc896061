#pragma once
// Where the player window, its movie and its grip go, in plain numbers.

#include <optional>

namespace ui {

struct Rect {
    int Left, Top, Width, Height;
    bool operator==(const Rect&) const = default;
};

// Offset that centres a window in a screen extent; signed division truncating
// toward zero, so an odd difference loses its half pixel either way.
int CentredOffset(int screenExtent, int windowExtent);

// The movie inside the back panel: a 3-pixel band left, right and below.
Rect FlashBounds(int backPanelWidth, int backPanelHeight);

// The grip's top left corner in screen coordinates: 15 pixels in from the
// player window's lower right corner, so the 12 x 12 grip ends 3 pixels inside.
struct Point {
    int X, Y;
    bool operator==(const Point&) const = default;
};
Point GripPosition(const Rect& playerWindow);

// The band around the movie resizes the window; which edge or corner a point
// of the back panel (W x H) belongs to, in the order the tests are made.
enum class BorderZone { LowerRight, LowerLeft, Bottom, Right, Left, Rest };
BorderZone ZoneAt(int x, int y, int width, int height);

// The toolkit cursor shown over a zone (crSizeNWSE -8, crSizeNESW -6,
// crSizeNS -7, crSizeWE -9) and the sizing command a press there sends.
int ZoneCursor(BorderZone zone);
std::optional<unsigned> ZoneCommand(BorderZone zone);

}  // namespace ui
