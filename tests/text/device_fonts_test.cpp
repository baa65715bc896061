// Device fonts through FreeType: face names to DejaVu files, and glyph
// advances and outline boxes checked against FreeType's own answers.

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <filesystem>
#include <map>

#include "swf/fonts/freetype/freetype_fonts.h"

namespace swf::fonts {
namespace {

const std::string kFolder = FreeTypeFontProvider::kDefaultFolder;

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

TEST(DeviceFonts, FaceNamesResolveToDejaVuFilesAndFallBackToSans) {
    const FreeTypeFontProvider fonts;
    EXPECT_EQ(FileName(fonts.FileFor("_sans", false, false)), "DejaVuSans.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("_SANS", true, false)), "DejaVuSans-Bold.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("_sans", true, true)), "DejaVuSans-BoldOblique.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("_serif", false, true)), "DejaVuSerif-Italic.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("_typewriter", false, false)), "DejaVuSansMono.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("Times New Roman", true, false)), "DejaVuSerif-Bold.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("Courier New", false, false)), "DejaVuSansMono.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("DejaVu Serif", false, false)), "DejaVuSerif.ttf");
    EXPECT_EQ(FileName(fonts.FileFor("No Such Font", false, false)), "DejaVuSans.ttf");
    // A name cannot reach outside the folder.
    EXPECT_EQ(FileName(fonts.FileFor("../../../etc/passwd", false, false)), "DejaVuSans.ttf");

    // Without DejaVu Sans, any font the folder has.
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "only-mono";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kFolder + "/DejaVuSansMono.ttf", folder / "DejaVuSansMono.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    const FreeTypeFontProvider monoOnly(folder.string());
    EXPECT_EQ(FileName(monoOnly.FileFor("_sans", false, false)), "DejaVuSansMono.ttf");
    EXPECT_EQ(FreeTypeFontProvider("/no/such/folder").FileFor("_sans", false, false), "");
}

class FreeTypeFace {
public:
    explicit FreeTypeFace(const std::string& file) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Face(library_, file.c_str(), 0, &face_), 0);
    }
    ~FreeTypeFace() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

TEST(DeviceFonts, GlyphAdvancesAndOutlinesMatchFreeType) {
    FreeTypeFontProvider fonts;
    FreeTypeFace face(kFolder + "/DejaVuSans.ttf");
    constexpr int kPixels = 100;
    ASSERT_EQ(FT_Set_Pixel_Sizes(face.get(), 0, kPixels), 0);
    for (const char32_t c : {U'A', U'g', U'W', U'1', U' ', U'\u00E9', U'\u20AC'}) {
        const auto glyph = fonts.Glyph("_sans", false, false, c);
        ASSERT_NE(glyph, nullptr);
        ASSERT_EQ(FT_Load_Char(face.get(), c, FT_LOAD_NO_HINTING), 0);
        const double expected = face->glyph->advance.x / 64.0;
        EXPECT_NEAR(glyph->advance * kPixels / kDeviceEm, expected, 1.0) << "U+" << std::hex << unsigned(c);

        // The outline's box (control points included, y down) against FreeType's.
        FT_BBox box;
        FT_Outline_Get_CBox(&face->glyph->outline, &box);
        if (c == U' ') {
            EXPECT_TRUE(glyph->edges.empty());
            continue;
        }
        ASSERT_FALSE(glyph->edges.empty());
        double xMin = 1e9, xMax = -1e9, yMin = 1e9, yMax = -1e9;
        for (const Segment& s : glyph->edges) {
            for (const auto& [x, y] : {std::pair{s.x0, s.y0}, std::pair{s.x1, s.y1}}) {
                xMin = std::min<double>(xMin, x);
                xMax = std::max<double>(xMax, x);
                yMin = std::min<double>(yMin, y);
                yMax = std::max<double>(yMax, y);
            }
            if (s.curved) {
                xMin = std::min<double>(xMin, s.cx);
                xMax = std::max<double>(xMax, s.cx);
                yMin = std::min<double>(yMin, s.cy);
                yMax = std::max<double>(yMax, s.cy);
            }
        }
        const double toPixels = kPixels / kDeviceEm;
        EXPECT_NEAR(xMin * toPixels, box.xMin / 64.0, 1.0);
        EXPECT_NEAR(xMax * toPixels, box.xMax / 64.0, 1.0);
        EXPECT_NEAR(-yMax * toPixels, box.yMin / 64.0, 1.0);
        EXPECT_NEAR(-yMin * toPixels, box.yMax / 64.0, 1.0);
    }
    // Every contour is closed: as many edges end at each point as start there.
    const auto o = fonts.Glyph("_sans", false, false, U'o');
    ASSERT_NE(o, nullptr);
    std::map<std::pair<float, float>, int> balance;
    for (const Segment& s : o->edges) {
        ++balance[{s.x0, s.y0}];
        --balance[{s.x1, s.y1}];
    }
    for (const auto& [point, count] : balance) EXPECT_EQ(count, 0);
}

TEST(DeviceFonts, StylesFallbackMetricsAndCache) {
    FreeTypeFontProvider fonts;
    const auto regular = fonts.Glyph("_sans", false, false, U'W');
    const auto bold = fonts.Glyph("_sans", true, false, U'W');
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    EXPECT_GT(bold->advance, regular->advance);
    // Monospaced: every character the same width.
    EXPECT_DOUBLE_EQ(fonts.Glyph("_typewriter", false, false, U'i')->advance,
                     fonts.Glyph("_typewriter", false, false, U'W')->advance);
    // The same glyph comes from the cache.
    EXPECT_EQ(fonts.Glyph("_sans", false, false, U'W'), regular);
    // A character no font has.
    EXPECT_EQ(fonts.Glyph("_sans", false, false, U'\U0010FFFD'), nullptr);
    // A character the serif face lacks comes from sans (DejaVu Serif has no Hebrew).
    FreeTypeFace serif(kFolder + "/DejaVuSerif.ttf");
    ASSERT_EQ(FT_Get_Char_Index(serif.get(), U'\u05D0'), 0u);
    EXPECT_NE(fonts.Glyph("_serif", false, false, U'\u05D0'), nullptr);

    const FaceMetrics m = fonts.Metrics("_sans", false, false);
    FreeTypeFace sans(kFolder + "/DejaVuSans.ttf");
    // Ascent and descent within the face's bounding box, summing to about an em.
    EXPECT_GT(m.ascent, 0);
    EXPECT_GT(m.descent, 0);
    EXPECT_LE(m.ascent, sans->bbox.yMax * kDeviceEm / sans->units_per_EM + 1);
    EXPECT_LE(m.descent, -sans->bbox.yMin * kDeviceEm / sans->units_per_EM + 1);
    EXPECT_GT(m.ascent + m.descent, kDeviceEm);
    EXPECT_LT(m.ascent + m.descent, kDeviceEm * 1.4);
}

}  // namespace
}  // namespace swf::fonts
