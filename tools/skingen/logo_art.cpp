#include "tools/skingen/logo_art.h"

#include "tools/skingen/raster.h"
#include "tools/skingen/shapes.h"
#include "tools/skingen/title_bar_art.h"

namespace skin {

namespace {

constexpr int kSamples = 4;
constexpr Rgb kInk = rgb(0x1D4F91);        // book outline, cover and letters
constexpr Rgb kPage = rgb(0xFFFFFF);
constexpr Rgb kPageLines = rgb(0x8FA9D3);
constexpr Rgb kPlaySign = rgb(0xEE7A1A);
constexpr Rgb kIconFrame = rgb(0x26344D);

// The book in its own coordinates: 30 wide (x from -1 to 29), 20.5 high.
constexpr double kBookCentreX = 14;
constexpr double kBookHeight = 20.5;

// A point of the left page mirrored onto the right page.
Point mirrored(Point p) { return Point{2 * kBookCentreX - p.x, p.y}; }

void add_book(Scene& scene, double scale, double dx, double dy) {
    auto put = [&](Shape shape, Rgb colour) { scene.add(placed(std::move(shape), scale, dx, dy), colour); };
    // Cover edge showing below the pages, then both pages outlined, the dark
    // gap between them being the spine.
    put(polygon({{-1, 14}, {14, 17.5}, {29, 14}, {29, 17}, {14, 20.5}, {-1, 17}}), kInk);
    put(polygon({{0, 0}, {14, 3}, {28, 0}, {28, 15}, {14, 18}, {0, 15}}), kInk);
    const std::vector<Point> left_page = {{1, 1.24}, {13.2, 3.85}, {13.2, 16.8}, {1, 14.19}};
    std::vector<Point> right_page;
    for (const Point& p : left_page) right_page.push_back(mirrored(p));
    put(polygon(left_page), kPage);
    put(polygon(right_page), kPage);
    for (int line = 0; line < 3; ++line) {
        const double y = 5.0 + 3 * line;
        put(stroke({3, y}, {11.2, y + 1.75}, 0.6), kPageLines);
    }
    put(polygon({{17, 6.5}, {17, 13.5}, {23, 10}}), kPlaySign);
}

// The letters in their own coordinates: 27 wide, 15 high.
constexpr double kLettersWidth = 27;
constexpr double kLettersHeight = 15;

void add_letters(Scene& scene, double scale, double dx, double dy) {
    const Shape u = unite(unite(rectangle(0, 0, 3, 10), rectangle(6, 0, 9, 10)),
                          intersect(subtract(disc(4.5, 10, 4.5), disc(4.5, 10, 1.5)), rectangle(0, 10, 9, 15)));
    const double cx = 19.5, cy = 7.5;
    const Shape ring = subtract(disc(cx, cy, 7.5), disc(cx, cy, 4.5));
    // The mouth of the G: the upper right of the ring, from the horizontal up
    // to a little beyond 45 degrees.
    const Shape mouth = [cx, cy](double x, double y) { return x > cx && y < cy && (cy - y) < 1.2 * (x - cx); };
    const Shape bar = intersect(rectangle(cx + 0.5, 6, cx + 7.5, 9), disc(cx, cy, 7.5));
    const Shape g = unite(subtract(ring, mouth), bar);
    scene.add(placed(u, scale, dx, dy), kInk);
    scene.add(placed(g, scale, dx, dy), kInk);
}

// The logo stacked for a square tile: the book above the letters, centred.
IconArt icon_tile(int side, double frame_width, double corner_radius, double scale, double gap) {
    const Shape tile = rounded_rectangle(0, 0, side, side, corner_radius);
    Scene scene(solid(kIconFrame));  // edge pixels of the rounded corners take the frame colour
    scene.add(rectangle(frame_width, frame_width, side - frame_width, side - frame_width), kPage);
    const double content_height = (kBookHeight + kLettersHeight) * scale + gap;
    const double top = (side - content_height) / 2;
    add_book(scene, scale, side / 2.0 - kBookCentreX * scale, top);
    add_letters(scene, scale, side / 2.0 - kLettersWidth / 2 * scale, top + kBookHeight * scale + gap);

    IconArt art{render(scene, side, side, kSamples), BitImage(side, side)};
    const BitImage opaque = mostly_inside(tile, side, side, kSamples);
    for (std::size_t i = 0; i < opaque.bits.size(); ++i) {
        art.mask.bits[i] = !opaque.bits[i];
        if (art.mask.bits[i]) art.image.pixels[i] = rgb(0x000000);
    }
    return art;
}

}  // namespace

RgbImage logo_picture() {
    // The picture sits one pixel below the title bar's top edge.
    Scene scene([](double, double y) { return title_strip_colour(static_cast<int>(y) + 1); });
    add_book(scene, 1.0, 2, 3.5);
    add_letters(scene, 1.0, 32, 6);
    return render(scene, 61, 27, kSamples);
}

IconArt logo_icon() { return icon_tile(32, 2, 3, 0.62, 1.5); }

IconArt main_icon() { return icon_tile(64, 3, 6, 1.35, 3); }

}  // namespace skin
