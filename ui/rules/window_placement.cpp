#include "ui/rules/window_placement.h"

namespace ui {

int CentredOffset(int screenExtent, int windowExtent) {
    // 64-bit, so that extreme sizes from the settings file cannot overflow.
    return static_cast<int>((static_cast<long long>(screenExtent) - windowExtent) / 2);
}

Rect FlashBounds(int backPanelWidth, int backPanelHeight) { return {3, 0, backPanelWidth - 6, backPanelHeight - 3}; }

Point GripPosition(const Rect& w) { return {w.Left + w.Width - 15, w.Top + w.Height - 15}; }

BorderZone ZoneAt(int x, int y, int width, int height) {
    if (y >= height - 8) {
        if (x > width - 8) return BorderZone::LowerRight;
        if (x < 8) return BorderZone::LowerLeft;
        return BorderZone::Bottom;
    }
    if (x > width - 8) return BorderZone::Right;
    if (x < 8) return BorderZone::Left;
    return BorderZone::Rest;
}

int ZoneCursor(BorderZone zone) {
    switch (zone) {
    case BorderZone::LowerRight: return -8;
    case BorderZone::LowerLeft: return -6;
    case BorderZone::Bottom: return -7;
    default: return -9;
    }
}

std::optional<unsigned> ZoneCommand(BorderZone zone) {
    switch (zone) {
    case BorderZone::LowerRight: return 0xF008;
    case BorderZone::LowerLeft: return 0xF007;
    case BorderZone::Bottom: return 0xF006;
    case BorderZone::Right: return 0xF002;
    case BorderZone::Left: return 0xF001;
    case BorderZone::Rest: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace ui
