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
constexpr Rgb kWhite = HexRgb(0xFFFFFF);
constexpr Rgb kTitleBarShade = HexRgb(0x0B2345);  // the dark title bar of the window glyphs

constexpr double kCentre = 8.0;
constexpr double kRadius = 7.5;
constexpr double kRimWidth = 1.0;

enum class Glyph { minimise, maximise, close, restore };

Glyph GlyphOf(int index) {
    static constexpr Glyph kGlyphs[] = {Glyph::minimise, Glyph::maximise, Glyph::close, Glyph::restore};
    return kGlyphs[index / 2];
}

// The glossy face over `area`: the main tone with a soft white highlight over
// the upper part and a faint glow rising towards the bottom edge.
void PaintFace(Canvas& canvas, const Outline& area, Rgb tone) {
    canvas.Fill(area, tone);
    const swf::raster::CoverageMask inside = canvas.Coverage(area);
    // The highlight fades from 190 to 40 steps of white down its height.
    constexpr double kHighlightTop = 1.3, kHighlightBottom = 7.9;
    canvas.Fill(Ellipse(kCentre, (kHighlightTop + kHighlightBottom) / 2, 5.2, (kHighlightBottom - kHighlightTop) / 2),
                VerticalGradient(kHighlightTop, kHighlightBottom, {Mix(tone, kWhite, 190), Mix(tone, kWhite, 40)}),
                inside);
    // The glow grows with the square of the height above y = 10, up to 90 steps at 14.5.
    std::vector<Rgb> glow;
    for (int step = 0; step <= 4; ++step) glow.push_back(Mix(tone, kWhite, 90 * step * step / 16));
    canvas.Fill(Rectangle(0, 10, kButtonSide, kButtonSide), VerticalGradient(10, 14.5, glow), inside);
}

Rgb RimColour(Rgb tone) { return Mix(tone, HexRgb(0x000000), 110); }

// A window outline with a dark title bar: a one-pixel white frame whose top
// two rows enclose a dark band, over the face.
void AddWindow(Canvas& canvas, double left, double top, double right, double bottom, Rgb tone) {
    PaintFace(canvas, Rectangle(left, top, right, bottom), tone);
    canvas.Fill(Frame(left, top, right, bottom, 1), kWhite);
    canvas.Fill(Rectangle(left + 1, top + 1, right - 1, top + 2), kTitleBarShade);
    canvas.Fill(Rectangle(left + 1, top + 2, right - 1, top + 3), kWhite);
}

void AddGlyph(Canvas& canvas, Glyph glyph, Rgb tone) {
    switch (glyph) {
    case Glyph::minimise: canvas.Fill(Rectangle(4, 10, 12, 12), kWhite); break;
    case Glyph::maximise: AddWindow(canvas, 4, 4, 12, 12, tone); break;
    case Glyph::close: {
        Outline cross = Stroke({5, 5}, {11, 11}, 1.05);
        Append(cross, Stroke({11, 5}, {5, 11}, 1.05));
        canvas.Fill(cross, kWhite);
        break;
    }
    case Glyph::restore:
        AddWindow(canvas, 6, 3, 13, 10, tone);
        AddWindow(canvas, 3, 7, 10, 13, tone);
        break;
    }
}

RgbImage Button(int index) {
    const Rgb tone = index % 2 == 0 ? kBrightTone : kMutedTone;
    Canvas canvas(kButtonSide, kButtonSide, [](int row) { return TitleStripColour(kTopInTitleBar + row); });
    canvas.Fill(Disc(kCentre, kCentre, kRadius), RimColour(tone));
    PaintFace(canvas, Disc(kCentre, kCentre, kRadius - kRimWidth), tone);
    AddGlyph(canvas, GlyphOf(index), tone);
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

bool HasTransparentCorners(int index) { return index == 6 || index == 7; }

}  // namespace

RgbImage DrawButtonStrip() {
    const BitImage mask = ButtonStripMask();
    RgbImage strip(kButtonSide * kButtonCount, kButtonSide);
    for (int index = 0; index < kButtonCount; ++index) {
        const RgbImage picture = Button(index);
        for (int row = 0; row < kButtonSide; ++row) {
            for (int column = 0; column < kButtonSide; ++column) {
                const int x = kButtonSide * index + column;
                strip.at(row, x) = mask.at(row, x) ? HexRgb(0x000000) : picture.at(row, column);
            }
        }
    }
    return strip;
}

BitImage ButtonStripMask() {
    BitImage mask(kButtonSide * kButtonCount, kButtonSide);
    for (int index = 0; index < kButtonCount; ++index) {
        if (!HasTransparentCorners(index)) continue;
        for (const auto& run : kTransparentRuns) {
            for (int column = run.first; column <= run.last; ++column)
                mask.at(run.row, kButtonSide * index + column) = true;
        }
    }
    return mask;
}

}  // namespace skin
