#include "tools/skingen/logo_art.h"

#include <cmath>
#include <numbers>

#include "tools/skingen/canvas.h"
#include "tools/skingen/outlines.h"
#include "tools/skingen/title_bar_art.h"

namespace skin {

namespace {

constexpr Rgb kInk = HexRgb(0x1D4F91);  // book outline, cover and letters
constexpr Rgb kPage = HexRgb(0xFFFFFF);
constexpr Rgb kPageLines = HexRgb(0x8FA9D3);
constexpr Rgb kPlaySign = HexRgb(0xEE7A1A);
constexpr Rgb kIconFrame = HexRgb(0x26344D);

// The book in its own coordinates: 30 wide (x from -1 to 29), 20.5 high.
constexpr double kBookCentreX = 14;
constexpr double kBookHeight = 20.5;

// A point of the left page mirrored onto the right page.
Point Mirrored(Point p) { return Point{2 * kBookCentreX - p.x, p.y}; }

void AddBook(Canvas& canvas, double scale, double dx, double dy) {
    auto put = [&](const Outline& figure, Rgb colour) { canvas.Fill(figure, colour, Placed(scale, dx, dy)); };
    // Cover edge showing below the pages, then both pages outlined, the dark
    // gap between them being the spine.
    put(Polygon({{-1, 14}, {14, 17.5}, {29, 14}, {29, 17}, {14, 20.5}, {-1, 17}}), kInk);
    put(Polygon({{0, 0}, {14, 3}, {28, 0}, {28, 15}, {14, 18}, {0, 15}}), kInk);
    const std::vector<Point> leftPage = {{1, 1.24}, {13.2, 3.85}, {13.2, 16.8}, {1, 14.19}};
    // Mirrored, the corners run the other way round: reverse them to keep the page clockwise.
    std::vector<Point> rightPage;
    for (auto p = leftPage.rbegin(); p != leftPage.rend(); ++p) rightPage.push_back(Mirrored(*p));
    put(Polygon(leftPage), kPage);
    put(Polygon(rightPage), kPage);
    Outline lines;
    for (int line = 0; line < 3; ++line) {
        const double y = 5.0 + 3 * line;
        Append(lines, Stroke({3, y}, {11.2, y + 1.75}, 0.6));
    }
    put(lines, kPageLines);
    put(Polygon({{17, 6.5}, {23, 10}, {17, 13.5}}), kPlaySign);
}

// The letters in their own coordinates: 27 wide, 15 high.
constexpr double kLettersWidth = 27;
constexpr double kLettersHeight = 15;

void AddLetters(Canvas& canvas, double scale, double dx, double dy) {
    // U: two stems on a half ring.
    Outline letters = Rectangle(0, 0, 3, 10);
    Append(letters, Rectangle(6, 0, 9, 10));
    Append(letters, RingSector({4.5, 10}, 1.5, 4.5, 0, 180));
    // G: a ring open at its upper right, from the horizontal up to a little
    // beyond 45 degrees (where y rises 1.2 for each step of x), and a bar
    // reaching in from the ring's right edge.
    const Point centre{19.5, 7.5};
    constexpr double kOuter = 7.5, kInner = 4.5;
    const double mouth = std::atan(1.2) * 180 / std::numbers::pi;
    Append(letters, RingSector(centre, kInner, kOuter, 0, 360 - mouth));
    constexpr double kBarTop = 6, kBarBottom = 9, kBarLeft = 0.5;
    // The bar's right end follows the ring's outer edge.
    const double reach = std::asin((centre.y - kBarTop) / kOuter) * 180 / std::numbers::pi;
    Outline bar;
    bar.MoveTo(centre.x + kBarLeft, kBarTop);
    const Point endTop = OnCircle(centre, kOuter, -reach);
    bar.LineTo(endTop.x, endTop.y);
    ArcTo(bar, centre, kOuter, -reach, reach);
    bar.LineTo(centre.x + kBarLeft, kBarBottom);
    bar.Close();
    Append(letters, bar);
    canvas.Fill(letters, kInk, Placed(scale, dx, dy));
}

// The logo stacked for a square tile: the book above the letters, centred.
IconArt IconTile(int side, double frameWidth, double cornerRadius, double scale, double gap) {
    // Edge pixels of the rounded corners take the frame colour.
    Canvas canvas(side, side, [](int) { return kIconFrame; });
    canvas.Fill(Rectangle(frameWidth, frameWidth, side - frameWidth, side - frameWidth), kPage);
    const double contentHeight = (kBookHeight + kLettersHeight) * scale + gap;
    const double top = (side - contentHeight) / 2;
    AddBook(canvas, scale, side / 2.0 - kBookCentreX * scale, top);
    AddLetters(canvas, scale, side / 2.0 - kLettersWidth / 2 * scale, top + kBookHeight * scale + gap);

    IconArt art{canvas.image(), BitImage(side, side)};
    const BitImage opaque = MostlyInside(RoundedRectangle(0, 0, side, side, cornerRadius), side, side);
    for (std::size_t i = 0; i < opaque.bits.size(); ++i) {
        art.mask.bits[i] = !opaque.bits[i];
        if (art.mask.bits[i]) art.image.pixels[i] = HexRgb(0x000000);
    }
    return art;
}

}  // namespace

RgbImage LogoPicture() {
    // The picture sits one pixel below the title bar's top edge.
    Canvas canvas(61, 27, [](int row) { return TitleStripColour(row + 1); });
    AddBook(canvas, 1.0, 2, 3.5);
    AddLetters(canvas, 1.0, 32, 6);
    return canvas.image();
}

IconArt LogoIcon() { return IconTile(32, 2, 3, 0.62, 1.5); }

IconArt MainIcon() { return IconTile(64, 3, 6, 1.35, 3); }

}  // namespace skin
