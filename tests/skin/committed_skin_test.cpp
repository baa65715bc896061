// Checks the committed pictures in ui/skin/ pixel by pixel against the values
// the player window's layout relies on.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/skingen/bmp.h"
#include "tools/skingen/file_io.h"
#include "tools/skingen/ico.h"
#include "tests/skin/rgb_printer.h"

namespace skin {
namespace {

const std::filesystem::path kSkinFolder = SKIN_FOLDER;

constexpr Rgb kKey = HexRgb(0xFE0001);
constexpr Rgb kBlack = HexRgb(0x000000);
constexpr Rgb kWhite = HexRgb(0xFFFFFF);

constexpr std::array<std::uint32_t, 29> kStripRows = {
    0x000000, 0xE6E6E6, 0xF0F0EF, 0xE8E8E8, 0xD8D8D8, 0xD1D1D2, 0xD3D3D4, 0xD7D7D8, 0xDCDCDD, 0xE2E2E3,
    0xEAEAEB, 0xF3F3F3, 0xFAFAFA, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD,
    0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0x000000,
};

constexpr std::array<std::uint32_t, 21> kFade = {
    0x010101, 0x090909, 0x131313, 0x1F1F1F, 0x2C2C2C, 0x3B3B3B, 0x4B4B4B, 0x5C5C5C, 0x6D6D6D, 0x7F7F7F, 0x909090,
    0xA1A1A1, 0xB2B2B2, 0xC1C1C1, 0xD0D0D0, 0xDDDDDD, 0xE8E8E8, 0xF2F2F2, 0xF9F9F9, 0xFDFDFD, 0xFFFFFF,
};

using Pixel = std::pair<int, int>;  // row, column

DecodedBitmap LoadBitmap(const std::string& name) { return DecodeBmp(ReadFile(kSkinFolder / name)); }
DecodedIcon LoadIcon(const std::string& name) { return DecodeIcon(ReadFile(kSkinFolder / name)); }

std::string Where(int row, int column) { return "row " + std::to_string(row) + ", column " + std::to_string(column); }

void ExpectPlain24Bit(const DecodedBitmap& bitmap, int width, int height) {
    EXPECT_EQ(bitmap.bitsPerPixel, 24);
    EXPECT_TRUE(bitmap.bottomUp);
    EXPECT_EQ(bitmap.infoHeaderSize, 40u);
    EXPECT_TRUE(bitmap.palette.empty());
    EXPECT_EQ(bitmap.image.width, width);
    EXPECT_EQ(bitmap.image.height, height);
}

std::set<Pixel> LeftCapKeyPixels() {
    return {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {3, 0}, {4, 0}};
}

TEST(CommittedSkin, TitleStripRowsAreEachOneListedColour) {
    const DecodedBitmap strip = LoadBitmap("titlestrip.bmp");
    ExpectPlain24Bit(strip, 10, 29);
    for (int row = 0; row < 29; ++row) {
        for (int column = 0; column < 10; ++column) {
            EXPECT_EQ(strip.image.at(row, column), HexRgb(kStripRows[row])) << Where(row, column);
        }
    }
}

TEST(CommittedSkin, LeftCapHasTheRoundedCornerAndFadingEdge) {
    const DecodedBitmap cap = LoadBitmap("leftcap.bmp");
    ExpectPlain24Bit(cap, 10, 29);
    ASSERT_EQ(cap.image.width, 10);

    std::map<Pixel, Rgb> expected;
    for (int row = 0; row < 29; ++row) {
        for (int column = 0; column < 10; ++column) expected[{row, column}] = HexRgb(kStripRows[row]);
    }
    for (const Pixel& p : LeftCapKeyPixels()) expected[p] = kKey;
    for (Pixel p :
         {Pixel{0, 5}, {0, 6}, {0, 7}, {0, 8}, {0, 9}, {1, 3}, {1, 4}, {2, 2}, {3, 1}, {4, 1}, {5, 0}, {6, 0}}) {
        expected[p] = kBlack;
    }
    expected[{1, 5}] = HexRgb(0x5F5F5F);
    expected[{2, 3}] = HexRgb(0x636362);
    expected[{3, 2}] = HexRgb(0x606060);
    expected[{5, 1}] = HexRgb(0x565656);
    for (int i = 0; i < 21; ++i) expected[{7 + i, 0}] = HexRgb(kFade[i]);
    for (int column = 0; column < 10; ++column) expected[{28, column}] = kBlack;

    int keyPixels = 0;
    for (const auto& [pixel, colour] : expected) {
        EXPECT_EQ(cap.image.at(pixel.first, pixel.second), colour) << Where(pixel.first, pixel.second);
        if (cap.image.at(pixel.first, pixel.second) == kKey) ++keyPixels;
    }
    EXPECT_EQ(keyPixels, 12);
}

TEST(CommittedSkin, RightCapMirrorsTheLeftCapOverTheStrip) {
    const DecodedBitmap left = LoadBitmap("leftcap.bmp");
    const DecodedBitmap right = LoadBitmap("rightcap.bmp");
    ExpectPlain24Bit(right, 16, 29);
    ASSERT_EQ(left.image.width, 10);
    ASSERT_EQ(right.image.width, 16);

    std::set<Pixel> keyPixels;
    for (int row = 0; row < 29; ++row) {
        for (int column = 0; column < 10; ++column) {
            EXPECT_EQ(right.image.at(row, 15 - column), left.image.at(row, column)) << Where(row, 15 - column);
        }
        for (int column = 0; column < 16; ++column) {
            if (right.image.at(row, column) == kKey) keyPixels.insert({row, column});
        }
        // Columns 0 to 10 are plain strip, except the one grey corner pixel
        // that the mirror brings into column 10.
        for (int column = 0; column <= 10; ++column) {
            if (row == 1 && column == 10) continue;
            EXPECT_EQ(right.image.at(row, column), HexRgb(kStripRows[row])) << Where(row, column);
        }
    }
    EXPECT_EQ(right.image.at(1, 10), HexRgb(0x5F5F5F));
    const std::set<Pixel> expectedKeys = {{0, 11}, {0, 12}, {0, 13}, {0, 14}, {0, 15}, {1, 13},
                                          {1, 14}, {1, 15}, {2, 14}, {2, 15}, {3, 15}, {4, 15}};
    EXPECT_EQ(keyPixels, expectedKeys);
}

TEST(CommittedSkin, GripHasExactlyTheThreeStripes) {
    const DecodedBitmap grip = LoadBitmap("grip.bmp");
    ExpectPlain24Bit(grip, 12, 12);
    ASSERT_EQ(grip.image.width, 12);
    const std::vector<std::vector<int>> stripes = {
        {},
        {11},
        {10, 11},
        {9, 10},
        {8, 9},
        {7, 8, 11},
        {6, 7, 10, 11},
        {5, 6, 9, 10},
        {4, 5, 8, 9},
        {3, 4, 7, 8, 11},
        {2, 3, 6, 7, 10, 11},
        {1, 2, 5, 6, 9, 10},
    };
    int stripePixels = 0;
    for (int row = 0; row < 12; ++row) {
        const std::set<int> columns(stripes[row].begin(), stripes[row].end());
        for (int column = 0; column < 12; ++column) {
            const Rgb expected = columns.count(column) ? HexRgb(0xACA899) : kWhite;
            EXPECT_EQ(grip.image.at(row, column), expected) << Where(row, column);
            if (grip.image.at(row, column) == HexRgb(0xACA899)) ++stripePixels;
        }
    }
    EXPECT_EQ(stripePixels, 39);
}

TEST(CommittedSkin, LogoBlendsIntoTheTitleBar) {
    const DecodedBitmap logo = LoadBitmap("logo.bmp");
    ExpectPlain24Bit(logo, 61, 27);
    ASSERT_EQ(logo.image.width, 61);
    ASSERT_EQ(logo.image.height, 27);
    // The logo is drawn in the middle; the outermost columns are background,
    // continuing strip rows 1 to 27.
    for (int row = 0; row < 27; ++row) {
        EXPECT_EQ(logo.image.at(row, 60), HexRgb(kStripRows[row + 1])) << Where(row, 60);
    }
    for (int column = 0; column < 61; ++column) {
        EXPECT_EQ(logo.image.at(0, column), HexRgb(0xE6E6E6)) << Where(0, column);
        EXPECT_EQ(logo.image.at(26, column), HexRgb(0xFDFDFD)) << Where(26, column);
    }
    int drawn = 0;
    for (int row = 0; row < 27; ++row) {
        for (int column = 0; column < 61; ++column) {
            const Rgb c = logo.image.at(row, column);
            EXPECT_NE(c, kKey) << Where(row, column);
            if (c != HexRgb(kStripRows[row + 1])) ++drawn;
        }
    }
    EXPECT_GT(drawn, 61 * 27 / 4);  // a logo, not an empty background
}

void ExpectIcon(const DecodedIcon& icon, int side) {
    ASSERT_EQ(icon.images.size(), 1u);
    const DecodedIconImage& image = icon.images[0];
    EXPECT_EQ(image.entryWidth, side);
    EXPECT_EQ(image.entryHeight, side);
    EXPECT_EQ(image.entryBitsPerPixel, 8);
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(image.palette.size(), 256u);
    ASSERT_EQ(image.mask.width, side);
    ASSERT_EQ(image.mask.height, side);
    // Rounded corners are transparent, the middle is opaque, and every
    // transparent pixel carries black.
    EXPECT_TRUE(image.mask.at(0, 0));
    EXPECT_TRUE(image.mask.at(side - 1, side - 1));
    EXPECT_FALSE(image.mask.at(side / 2, side / 2));
    EXPECT_FALSE(image.mask.at(0, side / 2));
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            if (image.mask.at(row, column)) {
                EXPECT_EQ(image.image.at(row, column), kBlack) << Where(row, column);
            }
        }
    }
}

TEST(CommittedSkin, IconsHaveOnePalettedImageWithAMask) {
    const DecodedIcon logoIcon = LoadIcon("logoicon.ico");
    ExpectIcon(logoIcon, 32);
    const DecodedIcon mainIcon = LoadIcon("mainicon.ico");
    ExpectIcon(mainIcon, 64);

    // The logo icon: a white square inside a dark frame.
    const RgbImage& logo = logoIcon.images.at(0).image;
    EXPECT_EQ(logo.at(3, 3), kWhite);
    EXPECT_EQ(logo.at(28, 28), kWhite);
    for (const Rgb& frame : {logo.at(0, 16), logo.at(16, 0), logo.at(31, 16), logo.at(16, 31)}) {
        EXPECT_LT(frame.r + frame.g + frame.b, 3 * 96);
    }
}

struct ButtonStrip {
    DecodedBitmap colours = LoadBitmap("iconlist.bmp");
    DecodedBitmap mask = LoadBitmap("iconlist_mask.bmp");

    Rgb pixel(int picture, int row, int column) const { return colours.image.at(row, 16 * picture + column); }
    bool Transparent(int picture, int row, int column) const {
        return mask.indices.at(row * 128 + 16 * picture + column) == 1;
    }
};

TEST(CommittedSkin, ButtonMaskLeavesOnlyTheListedCornersOfTheRestorePictures) {
    const ButtonStrip strip;
    ExpectPlain24Bit(strip.colours, 128, 16);
    ASSERT_EQ(strip.mask.bitsPerPixel, 1);
    ASSERT_EQ(strip.mask.image.width, 128);
    ASSERT_EQ(strip.mask.image.height, 16);
    ASSERT_EQ(strip.mask.palette.size(), 2u);
    EXPECT_EQ(strip.mask.palette[0], kBlack);
    EXPECT_EQ(strip.mask.palette[1], kWhite);

    std::set<Pixel> listed = {{4, 0}, {4, 15}, {12, 0}, {12, 15}};
    for (int column : {0, 1, 14, 15}) listed.insert({13, column});
    for (int column : {0, 1, 2, 13, 14, 15}) listed.insert({14, column});
    for (int column : {0, 1, 2, 3, 12, 13, 14, 15}) listed.insert({15, column});
    ASSERT_EQ(listed.size(), 22u);

    for (int picture = 0; picture < 8; ++picture) {
        std::set<Pixel> transparent;
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) {
                if (strip.Transparent(picture, row, column)) {
                    transparent.insert({row, column});
                    EXPECT_EQ(strip.pixel(picture, row, column), kBlack)
                        << "picture " << picture << ", " << Where(row, column);
                } else {
                    EXPECT_NE(strip.pixel(picture, row, column), kKey)
                        << "picture " << picture << ", " << Where(row, column);
                }
            }
        }
        EXPECT_EQ(transparent, picture >= 6 ? listed : std::set<Pixel>{}) << "picture " << picture;
    }
}

TEST(CommittedSkin, ButtonPicturesShowTheirVariantTone) {
    const ButtonStrip strip;
    ASSERT_EQ(strip.colours.image.width, 128);
    for (int picture = 0; picture < 8; ++picture) {
        const Rgb tone = picture % 2 == 0 ? HexRgb(0x0577D0) : HexRgb(0x4A69AE);
        // Left of the glyph, below the gloss: the plain main tone.
        EXPECT_EQ(strip.pixel(picture, 8, 2), tone) << "picture " << picture;
        // The corners outside the circle show the title strip the buttons sit on (from its row 8).
        EXPECT_EQ(strip.pixel(picture, 0, 0), HexRgb(kStripRows[8])) << "picture " << picture;
        EXPECT_EQ(strip.pixel(picture, 1, 15), HexRgb(kStripRows[9])) << "picture " << picture;
    }
    // The bright variant is bluer and more saturated across the whole face.
    for (int pair = 0; pair < 4; ++pair) {
        int brightBlueExcess = 0, mutedBlueExcess = 0;
        for (int row = 3; row < 13; ++row) {
            for (int column = 3; column < 13; ++column) {
                const Rgb b = strip.pixel(2 * pair, row, column);
                const Rgb m = strip.pixel(2 * pair + 1, row, column);
                brightBlueExcess += b.b - b.r;
                mutedBlueExcess += m.b - m.r;
            }
        }
        EXPECT_GT(brightBlueExcess, mutedBlueExcess) << "pair " << pair;
    }
    // The glyphs are white: the middle of the close cross, and the minimise
    // bar in the lower half.
    EXPECT_EQ(strip.pixel(4, 8, 8), kWhite);
    EXPECT_EQ(strip.pixel(5, 7, 7), kWhite);
    EXPECT_EQ(strip.pixel(0, 10, 8), kWhite);
    EXPECT_NE(strip.pixel(0, 6, 8), kWhite);
}

}  // namespace
}  // namespace skin
