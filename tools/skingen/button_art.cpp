#include "tools/skingen/button_art.h"

#include <algorithm>

#include "tools/skingen/raster.h"
#include "tools/skingen/shapes.h"
#include "tools/skingen/title_bar_art.h"

namespace skin {

namespace {

constexpr int kSamples = 4;
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

// The glossy face: the main tone with a soft white highlight over the upper
// part and a faint glow rising towards the bottom edge.
Paint face(Rgb tone) {
    return [tone](double x, double y) {
        const Shape highlight = ellipse(kCentre, 4.6, 5.2, 3.3);
        if (highlight(x, y)) {
            const double amount = 190 - 150 * (y - 1.3) / 6.6;
            return mix(tone, kWhite, static_cast<int>(amount));
        }
        if (y > 10.0) {
            const double t = (y - 10.0) / 4.5;
            return mix(tone, kWhite, static_cast<int>(std::min(1.0, t) * std::min(1.0, t) * 90));
        }
        return tone;
    };
}

Rgb rim_colour(Rgb tone) { return mix(tone, rgb(0x000000), 110); }

// A window outline with a dark title bar: a one-pixel white frame whose top
// two rows enclose a dark band.
void add_window(Scene& scene, double left, double top, double right, double bottom, const Paint& inside) {
    scene.add(rectangle(left, top, right, bottom), inside);
    scene.add(frame(left, top, right, bottom, 1), kWhite);
    scene.add(rectangle(left + 1, top + 1, right - 1, top + 2), kTitleBarShade);
    scene.add(rectangle(left + 1, top + 2, right - 1, top + 3), kWhite);
}

void add_glyph(Scene& scene, Glyph glyph, const Paint& body) {
    switch (glyph) {
        case Glyph::minimise:
            scene.add(rectangle(4, 10, 12, 12), kWhite);
            break;
        case Glyph::maximise:
            add_window(scene, 4, 4, 12, 12, body);
            break;
        case Glyph::close:
            scene.add(stroke({5, 5}, {11, 11}, 1.05), kWhite);
            scene.add(stroke({11, 5}, {5, 11}, 1.05), kWhite);
            break;
        case Glyph::restore:
            add_window(scene, 6, 3, 13, 10, body);
            add_window(scene, 3, 7, 10, 13, body);
            break;
    }
}

RgbImage button(int index) {
    const Rgb tone = index % 2 == 0 ? kBrightTone : kMutedTone;
    Scene scene([](double, double y) { return title_strip_colour(kTopInTitleBar + static_cast<int>(y)); });
    scene.add(disc(kCentre, kCentre, kRadius), rim_colour(tone));
    const Paint body = face(tone);
    scene.add(disc(kCentre, kCentre, kRadius - kRimWidth), body);
    add_glyph(scene, glyph_of(index), body);
    return render(scene, kButtonSide, kButtonSide, kSamples);
}

// Pictures 6 and 7 leave their lower corners, and two lone pixels at each side,
// to whatever lies below them.
constexpr struct {
    int row;
    int first;
    int last;
} kTransparentRuns[] = {
    {4, 0, 0},   {4, 15, 15},  {12, 0, 0},  {12, 15, 15}, {13, 0, 1},
    {13, 14, 15}, {14, 0, 2}, {14, 13, 15}, {15, 0, 3},  {15, 12, 15},
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
            for (int column = run.first; column <= run.last; ++column) mask.at(run.row, kButtonSide * index + column) = true;
        }
    }
    return mask;
}

}  // namespace skin
