// BitmapData in a playing movie: attached bitmaps and bitmap fills drawn,
// clips drawn into bitmaps through the renderer, exported pictures loaded,
// the movie's memory limit, and partial redraws after pixels change.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/bitmap.h"
#include "swf/writer/movie.h"
#include "swf/writer/script_expressions.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;
using namespace writer::script;
using w::ActionAssembler;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}
constexpr std::uint32_t kWhite = Opaque(255, 255, 255);
constexpr std::uint32_t kRed = Opaque(255, 0, 0);
constexpr std::uint32_t kGreen = Opaque(0, 255, 0);
constexpr std::uint32_t kBlue = Opaque(0, 0, 255);

Expr Bitmap(std::vector<Expr> args) { return NewM(M(V("flash"), "display"), "BitmapData", std::move(args)); }
Expr Mat(double a, double b, double c, double d, double tx, double ty) {
    return NewM(M(V("flash"), "geom"), "Matrix", {N(a), N(b), N(c), N(d), N(tx), N(ty)});
}

void Rectangle(ActionAssembler& a, const std::string& clip, double x0, double y0, double x1, double y1) {
    Do(a, CallM(V(clip), "moveTo", {N(x0), N(y0)}));
    Do(a, CallM(V(clip), "lineTo", {N(x1), N(y0)}));
    Do(a, CallM(V(clip), "lineTo", {N(x1), N(y1)}));
    Do(a, CallM(V(clip), "lineTo", {N(x0), N(y1)}));
    Do(a, CallM(V(clip), "lineTo", {N(x0), N(y0)}));
}

// A 40 x 30 px white stage; `frames` scripts, one per frame, and a red and
// green 2 x 1 picture exported as "tile".
std::vector<std::uint8_t> ScriptMovie(const std::vector<ActionAssembler>& frames) {
    w::TagStream t;
    t.SetBackgroundColor({255, 255, 255});
    w::LosslessBitmap tile{w::LosslessBitmap::Format::Rgb32, 2, 1, {}, {0xFFFF0000u, 0xFF00FF00u}};
    t.Add(w::TagCode::DefineBitsLossless2, w::DefineBitsLosslessBody(10, tile, true), true);
    t.ExportAssets({{10, "tile"}});
    for (const ActionAssembler& script : frames) {
        t.DoAction(script.Finish());
        t.ShowFrame();
    }
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 800, 0, 600};
    return w::BuildMovie(header, t);
}

struct Played {
    Player player;
    std::vector<std::string> traces;
    explicit Played(const std::vector<std::uint8_t>& movie) {
        player.SetLogHandler([this](Player::LogKind kind, const std::string& text) {
            if (kind == Player::LogKind::Trace) traces.push_back(text);
        });
        EXPECT_TRUE(player.Load(movie)) << player.LoadError();
    }
};

// Frame 1: a 4 x 2 blue bitmap attached in "holder" at (10, 5); frame 2
// turns one of its pixels red and stops.
std::vector<ActionAssembler> AttachFrames() {
    ActionAssembler first;
    Let(first, "bmp", Bitmap({N(4), N(2), B(false), N(0xFF0000FFu)}));
    Do(first, CallM(V("this"), "createEmptyMovieClip", {S("holder"), N(1)}));
    SetM(first, V("holder"), "_x", N(10));
    SetM(first, V("holder"), "_y", N(5));
    Do(first, CallM(V("holder"), "attachBitmap", {V("bmp"), N(0)}));
    ActionAssembler second;
    Do(second, CallM(V("bmp"), "setPixel", {N(1), N(1), N(0xFF0000)}));
    Do(second, CallF("stop"));
    return {first, second};
}

}  // namespace

TEST(BitmapDataRender, AttachedBitmapShowsItsCurrentPixelsAndRedrawsOnlyThem) {
    Played played(ScriptMovie(AttachFrames()));
    raster::Surface previous(40, 30);
    played.player.Render(previous);
    // The bitmap's pixel (x, y) lands on stage pixel (10 + x, 5 + y).
    EXPECT_EQ(previous.pixel(10, 5), kBlue);
    EXPECT_EQ(previous.pixel(13, 6), kBlue);
    EXPECT_EQ(previous.pixel(9, 5), kWhite);
    EXPECT_EQ(previous.pixel(14, 6), kWhite);
    EXPECT_EQ(previous.pixel(10, 7), kWhite);

    raster::Surface partial(40, 30);
    played.player.RenderChanges(partial);
    played.player.AdvanceFrame();
    test::ExpectPartialRedrawMatchesWhole(played.player, partial, previous);
    EXPECT_EQ(previous.pixel(11, 6), kRed);
    EXPECT_EQ(previous.pixel(12, 6), kBlue);
}

TEST(BitmapDataRender, DrawTakesAClipsContentWithItsChildrensBlendModes) {
    ActionAssembler a;
    // "art": a green 4 x 4 px square at its origin, moved away by its own
    // _x (which draw leaves out), with a red 2 x 2 child in multiply mode.
    Do(a, CallM(V("this"), "createEmptyMovieClip", {S("art"), N(2)}));
    SetM(a, V("art"), "_x", N(30));
    Do(a, CallM(V("art"), "beginFill", {N(0x00FF00)}));
    Rectangle(a, "art", 0, 0, 4, 4);
    Do(a, CallM(V("art"), "endFill"));
    Do(a, CallM(V("art"), "createEmptyMovieClip", {S("inner"), N(1)}));
    Let(a, "inner", M(V("art"), "inner"));
    Do(a, CallM(V("inner"), "beginFill", {N(0xFF0000)}));
    Rectangle(a, "inner", 0, 0, 2, 2);
    Do(a, CallM(V("inner"), "endFill"));
    SetM(a, V("inner"), "blendMode", S("multiply"));
    // Drawn 2 px right and down into a transparent 8 x 8 bitmap.
    Let(a, "snap", Bitmap({N(8), N(8), B(true), N(0)}));
    Do(a, CallM(V("snap"), "draw", {V("art"), Mat(1, 0, 0, 1, 2, 2)}));
    const auto pixel = [](double x, double y) { return CallM(V("snap"), "getPixel32", {N(x), N(y)}); };
    Trace(a, Add(Add(Add(Add(Add(Add(pixel(2, 2), S(",")), pixel(5, 5)), S(",")), pixel(1, 1)), S(",")), pixel(6, 6)));
    // Shown on the stage at (20, 10).
    Do(a, CallM(V("this"), "createEmptyMovieClip", {S("shown"), N(3)}));
    SetM(a, V("shown"), "_x", N(20));
    SetM(a, V("shown"), "_y", N(10));
    Do(a, CallM(V("shown"), "attachBitmap", {V("snap"), N(0)}));
    Do(a, CallF("stop"));
    Played played(ScriptMovie({a}));
    // Multiply of red over green: each channel red x green / 255 = 0, opaque.
    const auto text = [](std::uint32_t argb) { return std::to_string(static_cast<std::int32_t>(argb)); };
    ASSERT_EQ(played.traces, (std::vector<std::string>{text(Opaque(0, 0, 0)) + "," + text(kGreen) + ",0,0"}));
    raster::Surface s(40, 30);
    played.player.Render(s);
    EXPECT_EQ(s.pixel(22, 12), Opaque(0, 0, 0));
    EXPECT_EQ(s.pixel(25, 15), kGreen);
    EXPECT_EQ(s.pixel(21, 11), kWhite) << "transparent pixels of the bitmap";
    EXPECT_EQ(s.pixel(32, 2), kGreen) << "the clip itself, where its _x puts it";
}

TEST(BitmapDataRender, LoadedPictureAndBitmapFillsDraw) {
    ActionAssembler a;
    Let(a, "tile", CallM(M(M(V("flash"), "display"), "BitmapData"), "loadBitmap", {S("tile")}));
    Trace(a, Add(Add(M(V("tile"), "width"), S(",")), CallM(V("tile"), "getPixel", {N(1), N(0)})));
    // Repeated over a 6 x 2 px rectangle at (0, 20): red on even columns, green on odd.
    Do(a, CallM(V("this"), "createEmptyMovieClip", {S("f"), N(1)}));
    SetM(a, V("f"), "_y", N(20));
    Do(a, CallM(V("f"), "beginBitmapFill", {V("tile")}));
    Rectangle(a, "f", 0, 0, 6, 2);
    Do(a, CallM(V("f"), "endFill"));
    // Scaled three times by the fill's matrix: columns 0-2 red, 3-5 green.
    Do(a, CallM(V("this"), "createEmptyMovieClip", {S("g"), N(2)}));
    SetM(a, V("g"), "_y", N(24));
    Do(a, CallM(V("g"), "beginBitmapFill", {V("tile"), Mat(3, 0, 0, 3, 0, 0), B(false)}));
    Rectangle(a, "g", 0, 0, 6, 2);
    Do(a, CallM(V("g"), "endFill"));
    // A 2 px line painted with a gradient red at both ends: red all along.
    Do(a, CallM(V("this"), "createEmptyMovieClip", {S("l"), N(3)}));
    Do(a, CallM(V("l"), "lineStyle", {N(2)}));
    Do(a, CallM(V("l"), "lineGradientStyle",
                {S("linear"), Arr({N(0xFF0000), N(0xFF0000)}), Arr({N(100), N(100)}), Arr({N(0), N(255)})}));
    Do(a, CallM(V("l"), "moveTo", {N(10), N(15)}));
    Do(a, CallM(V("l"), "lineTo", {N(30), N(15)}));
    Do(a, CallF("stop"));
    Played played(ScriptMovie({a}));
    ASSERT_EQ(played.traces, (std::vector<std::string>{"2,65280"}));
    raster::Surface s(40, 30);
    played.player.Render(s);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(s.pixel(x, 21), x % 2 == 0 ? kRed : kGreen) << x;
        EXPECT_EQ(s.pixel(x, 25), x < 3 ? kRed : kGreen) << x;
    }
    EXPECT_EQ(s.pixel(6, 21), kWhite);
    // The line covers rows 14 and 15 (y 14..16) wholly.
    EXPECT_EQ(s.pixel(20, 14), kRed);
    EXPECT_EQ(s.pixel(20, 15), kRed);
    EXPECT_EQ(s.pixel(20, 17), kWhite);
}

TEST(BitmapDataRender, BitmapsPastTheMemoryLimitAreRefusedWithOneWarning) {
    ActionAssembler a;
    // 2000 x 2000 pixels take 16,000,000 bytes: more than the 8 MB the movie gets.
    Let(a, "big", Bitmap({N(2000), N(2000)}));
    Let(a, "again", Bitmap({N(2000), N(2000)}));
    Let(a, "small", Bitmap({N(100), N(100)}));
    Trace(a, Add(Add(Add(Add(M(V("big"), "width"), S(",")), M(V("again"), "width")), S(",")), M(V("small"), "width")));
    Player player;
    player.SetScriptMemoryLimit(8u << 20);
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(ScriptMovie({a})));
    EXPECT_EQ(traces, (std::vector<std::string>{"-1,-1,100"}));
    const std::vector<std::string> warnings = player.Warnings();
    EXPECT_EQ(std::count_if(warnings.begin(), warnings.end(),
                            [](const std::string& w) { return w.find("BitmapData") != std::string::npos; }),
              1);
    EXPECT_LT(player.ScriptMemoryBytes(), std::size_t{8} << 20);
}

}  // namespace swf
