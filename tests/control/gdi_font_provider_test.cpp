// Device fonts through GDI: outlines decomposed from GetGlyphOutlineW's
// splines against the black box GDI reports for the same glyph, advances
// against GetCharABCWidthsW, fallbacks and the cache.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>

#include "control/gdi_font_provider.h"

namespace control {
namespace {

using swf::fonts::kDeviceEm;

struct Box {
    double xMin = 1e9, xMax = -1e9, yMin = 1e9, yMax = -1e9;
    void Add(double x, double y) {
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    }
};

// GDI's own answers for a character of Arial at an em of kDeviceEm pixels.
struct GdiAnswer {
    GLYPHMETRICS metrics{};
    ABC widths{};
};

GdiAnswer Ask(wchar_t c) {
    GdiAnswer answer;
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-static_cast<int>(kDeviceEm), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_TT_ONLY_PRECIS, 0, ANTIALIASED_QUALITY, 0, L"Arial");
    HGDIOBJ old = SelectObject(dc, font);
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GetGlyphOutlineW(dc, c, GGO_METRICS | GGO_UNHINTED, &answer.metrics, 0, nullptr, &identity);
    GetCharABCWidthsW(dc, c, c, &answer.widths);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return answer;
}

TEST(GdiFontProvider, OutlinesAndAdvancesMatchGdi) {
    GdiFontProvider fonts;
    for (const char32_t c : {U'A', U'g', U'O', U'1', U'\u00E9'}) {
        const auto glyph = fonts.Glyph("_sans", false, false, c);
        ASSERT_NE(glyph, nullptr);
        const GdiAnswer gdi = Ask(static_cast<wchar_t>(c));
        const double abcAdvance = gdi.widths.abcA + static_cast<double>(gdi.widths.abcB) + gdi.widths.abcC;
        EXPECT_NEAR(glyph->advance, abcAdvance, 2.0);
        ASSERT_FALSE(glyph->edges.empty());
        // Curves stay within their control points: the on-curve box lies inside GDI's black box.
        Box box;
        for (const swf::Segment& s : glyph->edges) {
            box.Add(s.x0, s.y0);
            box.Add(s.x1, s.y1);
        }
        const double left = gdi.metrics.gmptGlyphOrigin.x;
        const double top = -gdi.metrics.gmptGlyphOrigin.y;  // y down
        EXPECT_NEAR(box.xMin, left, 3.0);
        EXPECT_NEAR(box.xMax, left + gdi.metrics.gmBlackBoxX, 3.0);
        EXPECT_NEAR(box.yMin, top, 3.0);
        EXPECT_NEAR(box.yMax, top + gdi.metrics.gmBlackBoxY, 3.0);
        // Every contour is closed.
        std::map<std::pair<float, float>, int> balance;
        for (const swf::Segment& s : glyph->edges) {
            ++balance[{s.x0, s.y0}];
            --balance[{s.x1, s.y1}];
        }
        for (const auto& [point, count] : balance) EXPECT_EQ(count, 0);
    }
}

TEST(GdiFontProvider, FallbacksMetricsAndCache) {
    GdiFontProvider fonts;
    const auto space = fonts.Glyph("_sans", false, false, U' ');
    ASSERT_NE(space, nullptr);
    EXPECT_TRUE(space->edges.empty());
    EXPECT_GT(space->advance, 0);
    // An unknown face draws like _sans.
    const auto missing = fonts.Glyph("No Such Face 123", false, false, U'W');
    const auto sans = fonts.Glyph("_sans", false, false, U'W');
    ASSERT_NE(missing, nullptr);
    EXPECT_DOUBLE_EQ(missing->advance, sans->advance);
    EXPECT_EQ(fonts.Glyph("_sans", false, false, U'W'), sans);  // cached
    EXPECT_EQ(fonts.Glyph("_sans", false, false, U'\U0001F600'), nullptr);
    const auto bold = fonts.Glyph("_sans", true, false, U'W');
    ASSERT_NE(bold, nullptr);
    EXPECT_GE(bold->advance, sans->advance);
    const auto mono = fonts.Glyph("_typewriter", false, false, U'i');
    ASSERT_NE(mono, nullptr);
    EXPECT_DOUBLE_EQ(mono->advance, fonts.Glyph("_typewriter", false, false, U'W')->advance);

    const swf::fonts::FaceMetrics m = fonts.Metrics("_sans", false, false);
    EXPECT_GT(m.ascent, kDeviceEm * 0.7);
    EXPECT_GT(m.descent, kDeviceEm * 0.1);
    EXPECT_LT(m.ascent + m.descent, kDeviceEm * 1.4);
}

}  // namespace
}  // namespace control
