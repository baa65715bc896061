#include "tools/skingen/grip_art.h"

namespace skin {

namespace {

constexpr int kSide = 12;
constexpr Rgb kStripe = HexRgb(0xACA899);

}  // namespace

RgbImage Grip() {
    // Each stripe is two pixels wide and runs from the bottom row up to the
    // right edge; stripe k starts at column 1 + 4k of the bottom row.
    RgbImage image(kSide, kSide, HexRgb(0xFFFFFF));
    for (int start = 1; start < kSide; start += 4) {
        for (int row = kSide - 1; row >= 0; --row) {
            const int column = start + (kSide - 1 - row);
            for (int c : {column, column + 1}) {
                if (c < kSide) image.at(row, c) = kStripe;
            }
        }
    }
    return image;
}

}  // namespace skin
