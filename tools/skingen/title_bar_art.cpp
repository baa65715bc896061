#include "tools/skingen/title_bar_art.h"

#include <array>
#include <stdexcept>

namespace skin {

namespace {

constexpr int kStripWidth = 10;
constexpr int kLeftCapWidth = 10;
constexpr int kRightCapWidth = 16;

// A black line at top and bottom around a light grey band fading to near-white.
constexpr std::array<std::uint32_t, kTitleBarHeight> kStripRows = {
    0x000000,                                                                        // row 0
    0xE6E6E6, 0xF0F0EF, 0xE8E8E8, 0xD8D8D8, 0xD1D1D2, 0xD3D3D4, 0xD7D7D8, 0xDCDCDD,  // rows 1-8
    0xE2E2E3, 0xEAEAEB, 0xF3F3F3, 0xFAFAFA,                                          // rows 9-12
    0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD,  // rows 13-20
    0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD,            // rows 21-27
    0x000000,                                                                        // row 28
};

// The left edge below the rounded corner, rows 7 to 27 of column 0: black
// fading to white, so the side line dissolves towards the bottom.
constexpr int kFadeFirstRow = 7;
constexpr std::array<std::uint32_t, 21> kEdgeFade = {
    0x010101, 0x090909, 0x131313, 0x1F1F1F, 0x2C2C2C, 0x3B3B3B, 0x4B4B4B, 0x5C5C5C, 0x6D6D6D, 0x7F7F7F, 0x909090,
    0xA1A1A1, 0xB2B2B2, 0xC1C1C1, 0xD0D0D0, 0xDDDDDD, 0xE8E8E8, 0xF2F2F2, 0xF9F9F9, 0xFDFDFD, 0xFFFFFF,
};

struct CornerPixel {
    int row;
    int column;
    std::uint32_t colour;
};

// The rounded top-left corner: key-coloured pixels outside the curve, the black
// outline along it and grey pixels that soften it on the inside.
constexpr CornerPixel kCorner[] = {
    {0, 0, 0xFE0001}, {0, 1, 0xFE0001}, {0, 2, 0xFE0001}, {0, 3, 0xFE0001}, {0, 4, 0xFE0001}, {1, 0, 0xFE0001},
    {1, 1, 0xFE0001}, {1, 2, 0xFE0001}, {2, 0, 0xFE0001}, {2, 1, 0xFE0001}, {3, 0, 0xFE0001}, {4, 0, 0xFE0001},
    {0, 5, 0x000000}, {0, 6, 0x000000}, {0, 7, 0x000000}, {0, 8, 0x000000}, {0, 9, 0x000000}, {1, 3, 0x000000},
    {1, 4, 0x000000}, {2, 2, 0x000000}, {3, 1, 0x000000}, {4, 1, 0x000000}, {5, 0, 0x000000}, {6, 0, 0x000000},
    {1, 5, 0x5F5F5F}, {2, 3, 0x636362}, {3, 2, 0x606060}, {5, 1, 0x565656},
};

}  // namespace

Rgb TitleStripColour(int row) {
    if (row < 0 || row >= kTitleBarHeight) throw std::out_of_range("title strip row out of range");
    return HexRgb(kStripRows[static_cast<std::size_t>(row)]);
}

RgbImage TitleStrip() {
    RgbImage image(kStripWidth, kTitleBarHeight);
    for (int row = 0; row < kTitleBarHeight; ++row) {
        for (int column = 0; column < kStripWidth; ++column) image.at(row, column) = TitleStripColour(row);
    }
    return image;
}

RgbImage LeftCap() {
    RgbImage image(kLeftCapWidth, kTitleBarHeight);
    for (int row = 0; row < kTitleBarHeight; ++row) {
        for (int column = 0; column < kLeftCapWidth; ++column) image.at(row, column) = TitleStripColour(row);
    }
    for (const CornerPixel& p : kCorner) image.at(p.row, p.column) = HexRgb(p.colour);
    for (std::size_t i = 0; i < kEdgeFade.size(); ++i) {
        image.at(kFadeFirstRow + static_cast<int>(i), 0) = HexRgb(kEdgeFade[i]);
    }
    return image;  // row 28 is the strip's black bottom line
}

RgbImage RightCap() {
    const RgbImage left = LeftCap();
    RgbImage image(kRightCapWidth, kTitleBarHeight);
    for (int row = 0; row < kTitleBarHeight; ++row) {
        for (int column = 0; column < kRightCapWidth; ++column) image.at(row, column) = TitleStripColour(row);
        // The left cap mirrored into the rightmost columns.
        for (int column = 0; column < kLeftCapWidth; ++column) {
            image.at(row, kRightCapWidth - 1 - column) = left.at(row, column);
        }
    }
    return image;
}

}  // namespace skin
