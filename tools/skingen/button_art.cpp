#include "tools/skingen/button_art.h"

#include <algorithm>

#include "tools/skingen/canvas.h"
#include "tools/skingen/outlines.h"
#include "tools/skingen/title_bar_art.h"

namespace skin {

namespace {

// The buttons sit 8 pixels below the title bar's top edge; their background
// continues the title strip so that they blend into it.
constexpr int kTopInTitleBar = 8;
constexpr Rgb kWhite = rgb(0xFFFFFF);
constexpr Rgb kTitleBarShade = rgb(0x0B2345);  // the dark title bar of the window glyphs

constexpr double kCentre = 8.0;
constexpr double kRadius = 7.5;
constexpr double kRimWidth = 1.0;

enum class Glyph { minimise, maximise, close, restore };

Glyph glyph_of(int index) {
    static constexpr Glyph kGlyphs[] = {Glyph::minimise, Glyph::maximise, Glyph::close, Glyph::restore};
    return kGlyphs[index / 2];
}

// The glossy face over `area`: the main tone with a soft white highlight over
// the upper part and a faint glow rising towards the bottom edge.
void paint_face(Canvas& canvas, const Outline& area, Rgb tone) {
    canvas.fill(area, tone);
    const swf::raster::CoverageMask inside = canvas.coverage(area);
    // The highlight fades from 190 to 40 steps of white down its height.
    constexpr double kHighlightTop = 1.3, kHighlightBottom = 7.9;
    canvas.fill(ellipse(kCentre, (kHighlightTop + kHighlightBottom) / 2, 5.2, (kHighlightBottom - kHighlightTop) / 2),
                vertical_gradient(kHighlightTop, kHighlightBottom, {mix(tone, kWhite, 190), mix(tone, kWhite, 40)}),
                inside);
    // The glow grows with the square of the height above y = 10, up to 90 steps at 14.5.
    std::vector<Rgb> glow;
    for (int step = 0; step <= 4; ++step) glow.push_back(mix(tone, kWhite, 90 * step * step / 16));
    canvas.fill(rectangle(0, 10, kButtonSide, kButtonSide), vertical_gradient(10, 14.5, glow), inside);
}

Rgb rim_colour(Rgb tone) { return mix(tone, rgb(0x000000), 110); }

// A window outline with a dark title bar: a one-pixel white frame whose top
// two rows enclose a dark band, over the face.
void add_window(Canvas& canvas, double left, double top, double right, double bottom, Rgb tone) {
    paint_face(canvas, rectangle(left, top, right, bottom), tone);
    canvas.fill(frame(left, top, right, bottom, 1), kWhite);
    canvas.fill(rectangle(left + 1, top + 1, right - 1, top + 2), kTitleBarShade);
    canvas.fill(rectangle(left + 1, top + 2, right - 1, top + 3), kWhite);
}

void add_glyph(Canvas& canvas, Glyph glyph, Rgb tone) {
    switch (glyph) {
    case Glyph::minimise: canvas.fill(rectangle(4, 10, 12, 12), kWhite); break;
    case Glyph::maximise: add_window(canvas, 4, 4, 12, 12, tone); break;
    case Glyph::close: {
        Outline cross = stroke({5, 5}, {11, 11}, 1.05);
        append(cross, stroke({11, 5}, {5, 11}, 1.05));
        canvas.fill(cross, kWhite);
        break;
    }
    case Glyph::restore:
        add_window(canvas, 6, 3, 13, 10, tone);
        add_window(canvas, 3, 7, 10, 13, tone);
        break;
    }
}

RgbImage button(int index) {
    const Rgb tone = index % 2 == 0 ? kBrightTone : kMutedTone;
    Canvas canvas(kButtonSide, kButtonSide, [](int row) { return title_strip_colour(kTopInTitleBar + row); });
    canvas.fill(disc(kCentre, kCentre, kRadius), rim_colour(tone));
    paint_face(canvas, disc(kCentre, kCentre, kRadius - kRimWidth), tone);
    add_glyph(canvas, glyph_of(index), tone);
    return canvas.image();
}

// Pictures 6 and 7 leave their lower corners, and two lone pixels at each side,
// to whatever lies below them.
constexpr struct {
    int row;
    int first;
    int last;
} kTransparentRuns[] = {
    {4, 0, 0},    {4, 15, 15}, {12, 0, 0},   {12, 15, 15}, {13, 0, 1},
    {13, 14, 15}, {14, 0, 2},  {14, 13, 15}, {15, 0, 3},   {15, 12, 15},
};

bool has_transparent_corners(int index) { return index == 6 || index == 7; }

}  // namespace

RgbImage button_strip() {
    const BitImage mask = button_strip_mask();
    RgbImage strip(kButtonSide * kButtonCount, kButtonSide);
    for (int index = 0; index < kButtonCount; ++index) {
        const RgbImage picture = button(index);
        for (int row = 0; row < kButtonSide; ++row) {
            for (int column = 0; column < kButtonSide; ++column) {
                const int x = kButtonSide * index + column;
                strip.at(row, x) = mask.at(row, x) ? rgb(0x000000) : picture.at(row, column);
            }
        }
    }
    return strip;
}

BitImage button_strip_mask() {
    BitImage mask(kButtonSide * kButtonCount, kButtonSide);
    for (int index = 0; index < kButtonCount; ++index) {
        if (!has_transparent_corners(index)) continue;
        for (const auto& run : kTransparentRuns) {
            for (int column = run.first; column <= run.last; ++column)
                mask.at(run.row, kButtonSide * index + column) = true;
        }
    }
    return mask;
}

}  // namespace skin
