// flash.display.BitmapData through the VM: sizes and refusals, pixels as
// scripts read them (straight colour, signed 32-bit), copies, draw, filters,
// loadBitmap, the memory budget, and the clip methods that take bitmaps
// (attachBitmap, beginBitmapFill, lineGradientStyle) through fakes.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "swf/actions/filter_objects.h"
#include "swf/actions/shape_drawing.h"
#include "swf/raster/bitmap_data.h"
#include "swf/raster/filters.h"
#include "swf/raster/surface.h"
#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;
namespace raster = swf::raster;

namespace {

Lines TraceLines(Machine& m, const ActionAssembler& a) {
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    return t.lines;
}

Expr Bitmap(std::vector<Expr> args) { return NewM(M(V("flash"), "display"), "BitmapData", std::move(args)); }
Expr Geom(const std::string& name, std::vector<Expr> args) {
    return NewM(M(V("flash"), "geom"), name, std::move(args));
}
Expr Rect(double x, double y, double w, double h) { return Geom("Rectangle", {N(x), N(y), N(w), N(h)}); }
Expr Pt(double x, double y) { return Geom("Point", {N(x), N(y)}); }
Expr Mat(double a, double b, double c, double d, double tx, double ty) {
    return Geom("Matrix", {N(a), N(b), N(c), N(d), N(tx), N(ty)});
}

Expr Join(std::vector<Expr> parts) {
    Expr out = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) out = Add(Add(out, S(",")), parts[i]);
    return out;
}

// What getPixel32 answers for a colour: AS2 numbers hold it as a signed 32-bit value.
std::string Signed(std::uint32_t argb) { return std::to_string(static_cast<std::int32_t>(argb)); }

// A clip whose content is one opaque pixel at its origin, wherever the
// matrix BitmapData.draw gives puts it.
class DotClip : public FakeTarget {
public:
    using FakeTarget::FakeTarget;
    bool DrawInto(raster::Surface& target, const raster::Matrix& toPixels, const raster::ColorTransform& c) override {
        colorsSeen = c;
        const auto x = static_cast<int>(toPixels.tx), y = static_cast<int>(toPixels.ty);
        if (x >= 0 && y >= 0 && x < target.width() && y < target.height()) target.row(y)[x] = 0xFF00FF00;
        return true;
    }
    raster::ColorTransform colorsSeen;
};

// A timeline that exports one picture and records what scripts attach or draw.
class BitmapTimeline : public FakeTarget {
public:
    std::shared_ptr<const raster::Image> ExportedBitmap(const std::string& linkage) override {
        return linkage == "pic" ? picture : nullptr;
    }
    bool AttachBitmap(std::shared_ptr<const raster::BitmapData> bitmap, int depth, swf::PixelSnapping snapping,
                      bool smoothing) override {
        attached.push_back({std::move(bitmap), depth, snapping, smoothing});
        return true;
    }
    swf::ShapeDrawing* ScriptDrawing() override { return &drawing; }

    struct Attached {
        std::shared_ptr<const raster::BitmapData> bitmap;
        int depth;
        swf::PixelSnapping snapping;
        bool smoothing;
    };
    struct Drawing : swf::ShapeDrawing {
        void BeginFill(const swf::FillStyle& fill) override { fills.push_back(fill); }
        void EndFill() override { ++ends; }
        void SetLine(const std::optional<swf::LineStyle>& l) override { line = l; }
        void SetLineFill(const swf::FillStyle& fill) override { lineFills.push_back(fill); }
        void MoveTo(swf::Point) override {}
        void LineTo(swf::Point) override {}
        void CurveTo(swf::Point, swf::Point) override {}
        void Clear() override {}
        std::vector<swf::FillStyle> fills;
        std::vector<swf::FillStyle> lineFills;
        std::optional<swf::LineStyle> line;
        int ends = 0;
    };
    std::shared_ptr<raster::Image> picture;
    std::vector<Attached> attached;
    Drawing drawing;
};

}  // namespace

TEST(BitmapDataClass, SizesDefaultsAndPixelsAsScriptsReadThem) {
    Machine m;
    ActionAssembler a;
    Let(a, "b", Bitmap({N(4), N(3), B(true), N(0x80FF0000u)}));
    Trace(a, Join({M(V("b"), "width"), M(V("b"), "height"), M(V("b"), "transparent"), M(V("b"), "rectangle")}));
    // Alpha 0x80 with red 0xFF is kept as red 128 of alpha 128, which reads back as 255.
    Trace(a, CallM(V("b"), "getPixel32", {N(0), N(0)}));
    Trace(a, CallM(V("b"), "getPixel", {N(3), N(2)}));
    Trace(a, Join({CallM(V("b"), "getPixel32", {N(4), N(0)}), CallM(V("b"), "getPixel32", {N(-1), N(0)})}));
    Do(a, CallM(V("b"), "setPixel32", {N(1), N(1), N(0xFF00FF00u)}));
    Trace(a, CallM(V("b"), "getPixel", {N(1), N(1)}));
    // Defaults: transparent, filled with opaque white.
    Let(a, "w", Bitmap({N(2), N(2)}));
    Trace(a, Join({M(V("w"), "transparent"), CallM(V("w"), "getPixel32", {N(1), N(1)})}));
    // Without transparency alpha stays 255 whatever is written.
    Let(a, "o", Bitmap({N(2), N(2), B(false), N(0x00123456)}));
    Do(a, CallM(V("o"), "setPixel32", {N(0), N(0), N(0x00ABCDEF)}));
    Trace(a, Join({CallM(V("o"), "getPixel32", {N(1), N(1)}), CallM(V("o"), "getPixel32", {N(0), N(0)})}));
    EXPECT_EQ(TraceLines(m, a), (Lines{"4,3,true,(x=0, y=0, w=4, h=3)", Signed(0x80FF0000u), "16711680", "0,0", "65280",
                                       "true,-1", Signed(0xFF123456u) + "," + Signed(0xFFABCDEFu)}));
}

TEST(BitmapDataClass, RefusedAndDisposedBitmapsAnswerMinusOneAndChangeNothing) {
    Machine m;
    ActionAssembler a;
    // Sides outside 1..2880 (after truncation) and NaN are refused; the object is still made.
    Let(a, "zero", Bitmap({N(0), N(5)}));
    Let(a, "wide", Bitmap({N(2881), N(1)}));
    Let(a, "nan", Bitmap({S("x"), N(3)}));
    Let(a, "huge", Bitmap({N(1e300), N(1e300)}));
    Let(a, "edge", Bitmap({N(2880.9), N(1)}));
    Trace(a, Join({M(V("zero"), "width"), M(V("wide"), "height"), M(V("nan"), "width"), M(V("huge"), "width"),
                   M(V("edge"), "width"), TypeOf(V("wide"))}));
    Do(a, CallM(V("wide"), "fillRect", {Rect(0, 0, 1, 1), N(0)}));
    Trace(a, Join({CallM(V("wide"), "getPixel", {N(0), N(0)}), CallM(V("wide"), "clone"), M(V("wide"), "rectangle"),
                   M(V("wide"), "transparent")}));
    // Disposing frees the pixels; the object answers like a refused one.
    Let(a, "d", Bitmap({N(2), N(2), B(true), N(0xFF0000FFu)}));
    Do(a, CallM(V("d"), "dispose"));
    Do(a, CallM(V("d"), "setPixel32", {N(0), N(0), N(0)}));
    Do(a, CallM(V("d"), "dispose"));
    Trace(a, Join({M(V("d"), "width"), M(V("d"), "height"), CallM(V("d"), "getPixel32", {N(0), N(0)}),
                   CallM(V("d"), "getColorBoundsRect", {N(0), N(0)})}));
    // A disposed bitmap is no source: copying from it changes nothing.
    Let(a, "t", Bitmap({N(2), N(2), B(true), N(0)}));
    Do(a, CallM(V("t"), "copyPixels", {V("d"), Rect(0, 0, 2, 2), Pt(0, 0)}));
    Trace(a, CallM(V("t"), "getPixel32", {N(0), N(0)}));
    // The methods on something that is not a bitmap answer nothing.
    Trace(a, CallM(M(M(M(M(V("flash"), "display"), "BitmapData"), "prototype"), "getPixel"), "call",
                   {Obj({}), N(0), N(0)}));
    EXPECT_EQ(TraceLines(m, a), (Lines{"-1,-1,-1,-1,2880,object", "-1,-1,-1,-1", "-1,-1,-1,-1", "0", "undefined"}));
}

TEST(BitmapDataClass, FillCopyAndMergeWorkOnStraightColour) {
    Machine m;
    ActionAssembler a;
    Let(a, "b", Bitmap({N(4), N(4), B(false), N(0xFFFFFFFFu)}));
    Do(a, CallM(V("b"), "fillRect", {Rect(1, 1, 2, 2), N(0xFF0000FFu)}));
    Trace(a, CallM(V("b"), "getColorBoundsRect", {N(0xFFFFFFFFu), N(0xFF0000FFu)}));
    // copyPixels with an alpha bitmap: the source's alpha is multiplied by the
    // alpha pixel at the same offset; where that lies outside the 1 x 1 alpha
    // bitmap nothing is copied.
    Let(a, "src", Bitmap({N(2), N(1), B(false), N(0xFF00FF00u)}));
    Let(a, "mask", Bitmap({N(1), N(1), B(true), N(0x80000000u)}));
    Let(a, "dst", Bitmap({N(2), N(1), B(true), N(0)}));
    Do(a, CallM(V("dst"), "copyPixels", {V("src"), Rect(0, 0, 2, 1), Pt(0, 0), V("mask"), Pt(0, 0)}));
    Trace(a, Join({CallM(V("dst"), "getPixel32", {N(0), N(0)}), CallM(V("dst"), "getPixel32", {N(1), N(0)})}));
    // mergeAlpha draws half-transparent blue over opaque red: red keeps
    // 255 * (255 - 128) / 255 = 127, blue is 128 (alpha 128 times 255 / 255).
    Let(a, "half", Bitmap({N(1), N(1), B(true), N(0x800000FFu)}));
    Let(a, "red", Bitmap({N(3), N(3), B(true), N(0xFFFF0000u)}));
    Do(a, CallM(V("red"), "copyPixels", {V("half"), Rect(0, 0, 1, 1), Pt(1, 1), Null(), Null(), B(true)}));
    Trace(a, Join({CallM(V("red"), "getPixel32", {N(1), N(1)}), CallM(V("red"), "getPixel32", {N(0), N(0)})}));
    // copyChannel: the source's blue (0x40) becomes the destination's red: 0x401010.
    Let(a, "blue", Bitmap({N(1), N(1), B(false), N(0xFF000040u)}));
    Let(a, "grey", Bitmap({N(1), N(1), B(false), N(0xFF101010u)}));
    Do(a, CallM(V("grey"), "copyChannel", {V("blue"), Rect(0, 0, 1, 1), Pt(0, 0), N(4), N(1)}));
    Trace(a, CallM(V("grey"), "getPixel", {N(0), N(0)}));
    // threshold counts and paints the pixels that pass.
    Let(a, "th", Bitmap({N(4), N(1), B(false), N(0xFF000000u)}));
    Do(a, CallM(V("th"), "setPixel", {N(2), N(0), N(0xFF)}));
    Trace(a, Join({CallM(V("th"), "threshold",
                         {V("th"), Rect(0, 0, 4, 1), Pt(0, 0), S("=="), N(0xFF000000u), N(0xFFFF0000u)}),
                   CallM(V("th"), "getPixel", {N(0), N(0)}), CallM(V("th"), "getPixel", {N(2), N(0)})}));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"(x=1, y=1, w=2, h=2)", Signed(0x8000FF00u) + ",0",
                     Signed(0xFF7F0080u) + "," + Signed(0xFFFF0000u), std::to_string(0x401010), "3,16711680,255"}));
}

TEST(BitmapDataClass, DrawMapsBitmapsAndClipsThroughMatrixClipAndBlendMode) {
    Machine m;
    DotClip clip("mc");
    m.target.children["mc"] = &clip;
    ActionAssembler a;
    // A 1 x 1 blue bitmap stretched twice as wide and moved one pixel right
    // covers pixels 1 and 2 of a 4 x 1 row.
    Let(a, "dot", Bitmap({N(1), N(1), B(false), N(0xFF0000FFu)}));
    Let(a, "row", Bitmap({N(4), N(1), B(true), N(0)}));
    Do(a, CallM(V("row"), "draw", {V("dot"), Mat(2, 0, 0, 1, 1, 0)}));
    Trace(a, Join({CallM(V("row"), "getPixel32", {N(0), N(0)}), CallM(V("row"), "getPixel32", {N(1), N(0)}),
                   CallM(V("row"), "getPixel32", {N(2), N(0)}), CallM(V("row"), "getPixel32", {N(3), N(0)})}));
    // The clip rectangle keeps all but pixel 2; the colour transform makes blue red.
    Let(a, "clipped", Bitmap({N(4), N(1), B(true), N(0)}));
    Do(a, CallM(V("clipped"), "draw",
                {V("dot"), Mat(2, 0, 0, 1, 1, 0),
                 Geom("ColorTransform", {N(0), N(0), N(0), N(1), N(255), N(0), N(0), N(0)}), S("normal"),
                 Rect(2, 0, 5, 1)}));
    Trace(a, Join({CallM(V("clipped"), "getPixel32", {N(1), N(0)}), CallM(V("clipped"), "getPixel32", {N(2), N(0)})}));
    // Multiply: blue over grey 0x80 keeps 0x80 * 255 / 255 of blue and nothing else.
    Let(a, "grey", Bitmap({N(1), N(1), B(false), N(0xFF808080u)}));
    Do(a, CallM(V("grey"), "draw", {V("dot"), Null(), Null(), S("multiply")}));
    Trace(a, CallM(V("grey"), "getPixel", {N(0), N(0)}));
    // Drawn into itself one pixel to the right, the row reads its old pixels:
    // red, green, blue becomes red, red, green.
    Let(a, "self", Bitmap({N(3), N(1), B(false), N(0xFFFF0000u)}));
    Do(a, CallM(V("self"), "setPixel", {N(1), N(0), N(0x00FF00)}));
    Do(a, CallM(V("self"), "setPixel", {N(2), N(0), N(0x0000FF)}));
    Do(a, CallM(V("self"), "draw", {V("self"), Mat(1, 0, 0, 1, 1, 0)}));
    Trace(a, Join({CallM(V("self"), "getPixel", {N(0), N(0)}), CallM(V("self"), "getPixel", {N(1), N(0)}),
                   CallM(V("self"), "getPixel", {N(2), N(0)})}));
    // A clip's origin lands where the matrix puts it, clip rectangle or not.
    Let(a, "shot", Bitmap({N(4), N(2), B(true), N(0)}));
    Do(a, CallM(V("shot"), "draw",
                {V("mc"), Mat(1, 0, 0, 1, 2, 1), Geom("ColorTransform", {N(0.5)}), S("normal"), Rect(1, 0, 3, 2)}));
    Trace(a, Join({CallM(V("shot"), "getPixel32", {N(2), N(1)}), CallM(V("shot"), "getPixel32", {N(1), N(1)})}));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"0," + Signed(0xFF0000FFu) + "," + Signed(0xFF0000FFu) + ",0", "0," + Signed(0xFFFF0000u), "128",
                     "16711680,16711680,65280", Signed(0xFF00FF00u) + ",0"}));
    EXPECT_EQ(clip.colorsSeen.redMult, 0.5);
}

TEST(BitmapDataClass, FiltersApplyToBitmapsAndDisplacementMapsReadTheirBitmap) {
    Machine m;
    ActionAssembler a;
    // A colour matrix that swaps red and blue, on one pixel.
    Let(a, "b", Bitmap({N(2), N(1), B(false), N(0xFF102030u)}));
    Let(a, "swap", NewM(M(V("flash"), "filters"), "ColorMatrixFilter", {Arr({N(0), N(0), N(1), N(0), N(0), N(0), N(1),
                                                                             N(0), N(0), N(0), N(1), N(0), N(0), N(0),
                                                                             N(0), N(0), N(0), N(0), N(1), N(0)})}));
    Trace(a, CallM(V("b"), "applyFilter", {V("b"), Rect(0, 0, 1, 1), Pt(1, 0), V("swap")}));
    Trace(a, Join({CallM(V("b"), "getPixel", {N(0), N(0)}), CallM(V("b"), "getPixel", {N(1), N(0)})}));
    Trace(a, CallM(V("b"), "applyFilter", {V("b"), Rect(0, 0, 1, 1), Pt(1, 0), Obj({})}));
    // The rectangle grows by what the blur can reach on each side.
    Let(a, "blur", NewM(M(V("flash"), "filters"), "BlurFilter", {N(8), N(8), N(1)}));
    Trace(a, CallM(V("b"), "generateFilterRect", {Rect(10, 10, 2, 2), V("blur")}));
    Let(a, "map", Bitmap({N(3), N(2), B(true), N(0xFF808080u)}));
    Let(a, "dm",
        NewM(M(V("flash"), "filters"), "DisplacementMapFilter", {V("map"), Pt(0, 0), N(1), N(1), N(10), N(10)}));
    const raster::FilterMargins reach = raster::MarginsOf(raster::Filter(raster::BlurFilter{{8, 8, 1}}));
    const std::string grown = "(x=" + std::to_string(10 - reach.left) + ", y=" + std::to_string(10 - reach.top) +
                              ", w=" + std::to_string(2 + reach.left + reach.right) +
                              ", h=" + std::to_string(2 + reach.top + reach.bottom) + ")";
    EXPECT_EQ(TraceLines(m, a), (Lines{"0", std::to_string(0x102030) + "," + std::to_string(0x302010), "-1", grown}));
    raster::Filter f;
    ASSERT_TRUE(swf::actions::FilterFromObject(m.vm.GetVariable(m.target, "dm").AsObject(), &f));
    const auto* displacement = std::get_if<raster::DisplacementMapFilter>(&f);
    ASSERT_NE(displacement, nullptr);
    ASSERT_NE(displacement->map, nullptr);
    EXPECT_EQ(displacement->map->width, 3);
    EXPECT_EQ(displacement->map->pixel(2, 1), 0xFF808080u);

    // Read back from a clip's filters, the map is a bitmap with the same pixels.
    FakeTarget clip("mc");
    m.target.children["mc"] = &clip;
    clip.filters = {f};
    ActionAssembler back;
    Let(back, "again", M(M(M(V("mc"), "filters"), "0"), "mapBitmap"));
    Trace(back, Join({M(V("again"), "width"), CallM(V("again"), "getPixel32", {N(2), N(1)})}));
    // Once its bitmap is disposed the filter has no map.
    Do(back, CallM(V("map"), "dispose"));
    EXPECT_EQ(TraceLines(m, back), (Lines{"3," + Signed(0xFF808080u)}));
    ASSERT_TRUE(swf::actions::FilterFromObject(m.vm.GetVariable(m.target, "dm").AsObject(), &f));
    EXPECT_EQ(std::get<raster::DisplacementMapFilter>(f).map, nullptr);
}

TEST(BitmapDataClass, LoadBitmapCopiesTheExportedPictureExactly) {
    Machine m;
    BitmapTimeline root;
    m.vm.SetRoot(&root);
    // Premultiplied: opaque red, and red 0x40 at alpha 0x80 (straight 0x80).
    root.picture = std::make_shared<raster::Image>();
    root.picture->width = 2;
    root.picture->height = 1;
    root.picture->pixels = {0xFFFF0000u, 0x80400000u};
    ActionAssembler a;
    Let(a, "p", CallM(M(M(V("flash"), "display"), "BitmapData"), "loadBitmap", {S("pic")}));
    Trace(a, Join({M(V("p"), "width"), M(V("p"), "transparent"), CallM(V("p"), "getPixel32", {N(0), N(0)}),
                   CallM(V("p"), "getPixel32", {N(1), N(0)})}));
    Trace(a, CallM(M(M(V("flash"), "display"), "BitmapData"), "loadBitmap", {S("missing")}));
    // Changing the copy leaves the movie's picture alone.
    Do(a, CallM(V("p"), "fillRect", {M(V("p"), "rectangle"), N(0)}));
    EXPECT_EQ(TraceLines(m, a), (Lines{"2,true," + Signed(0xFFFF0000u) + "," + Signed(0x80800000u), "undefined"}));
    EXPECT_EQ(root.picture->pixels[0], 0xFFFF0000u);
}

TEST(BitmapDataClass, AttachBitmapAndBitmapFillsHandTheBitmapToTheClip) {
    Machine m;
    BitmapTimeline clip;
    m.target.children["mc"] = &clip;
    ActionAssembler a;
    Let(a, "b", Bitmap({N(3), N(2)}));
    Do(a, CallM(V("mc"), "attachBitmap", {V("b"), N(5)}));
    Do(a, CallM(V("mc"), "attachBitmap", {V("b"), N(6), S("never"), B(true)}));
    Do(a, CallM(V("mc"), "attachBitmap", {Obj({}), N(7)}));
    Do(a, CallM(V("mc"), "beginBitmapFill", {V("b"), Mat(2, 0, 0, 3, 4, 5)}));
    Do(a, CallM(V("mc"), "beginBitmapFill", {V("b"), Null(), B(false), B(true)}));
    Do(a, CallM(V("mc"), "lineStyle", {N(2)}));
    Do(a, CallM(V("mc"), "lineGradientStyle",
                {S("linear"), Arr({N(0xFF0000), N(0x0000FF)}), Arr({N(100), N(20)}), Arr({N(0), N(255)})}));
    Do(a, CallM(V("b"), "dispose"));
    Do(a, CallM(V("mc"), "attachBitmap", {V("b"), N(8)}));
    Do(a, CallM(V("mc"), "beginBitmapFill", {V("b")}));
    ASSERT_EQ(m.Run(a), RunStatus::Completed);

    ASSERT_EQ(clip.attached.size(), 2u);
    EXPECT_EQ(clip.attached[0].depth, 5);
    EXPECT_EQ(clip.attached[0].snapping, swf::PixelSnapping::Auto);
    EXPECT_FALSE(clip.attached[0].smoothing);
    EXPECT_EQ(clip.attached[1].snapping, swf::PixelSnapping::Never);
    EXPECT_TRUE(clip.attached[1].smoothing);
    // The clip shares the script's bitmap: disposing it took the pixels away there too.
    EXPECT_TRUE(clip.attached[0].bitmap->disposed());

    ASSERT_EQ(clip.drawing.fills.size(), 2u);
    const swf::FillStyle& fill = clip.drawing.fills[0];
    EXPECT_EQ(fill.kind, swf::FillKind::Bitmap);
    ASSERT_NE(fill.bitmap, nullptr);
    EXPECT_EQ(fill.bitmap->width, 3);
    // The matrix maps bitmap pixels to the clip's twips: 20 per pixel.
    EXPECT_EQ(fill.matrix, (swf::Matrix{40, 0, 0, 60, 80, 100}));
    EXPECT_TRUE(fill.bitmapRepeat);
    EXPECT_FALSE(fill.bitmapSmooth);
    EXPECT_EQ(clip.drawing.fills[1].matrix, (swf::Matrix{20, 0, 0, 20, 0, 0}));
    EXPECT_FALSE(clip.drawing.fills[1].bitmapRepeat);
    EXPECT_TRUE(clip.drawing.fills[1].bitmapSmooth);
    // A disposed bitmap fills nothing: the fill is ended instead.
    EXPECT_EQ(clip.drawing.ends, 1);

    ASSERT_EQ(clip.drawing.lineFills.size(), 1u);
    const swf::FillStyle& line = clip.drawing.lineFills[0];
    EXPECT_EQ(line.kind, swf::FillKind::LinearGradient);
    ASSERT_EQ(line.gradient.stops.size(), 2u);
    // 20 percent of 255.
    EXPECT_EQ(line.gradient.stops[1].color, (swf::Rgba{0, 0, 255, 51}));
}

TEST(BitmapDataClass, BitmapsCountAgainstTheMovieMemoryAndGiveItBack) {
    swf::actions::VmLimits limits;
    limits.maxMemoryBytes = 48u << 20;
    Machine m(8, limits);
    // 2880 x 2880 pixels of four bytes: 33,177,600 bytes; two do not fit in 48 MB.
    const double bytes = 2880.0 * 2880 * 4;
    ActionAssembler a;
    Let(a, "first", Bitmap({N(2880), N(2880)}));
    Let(a, "second", Bitmap({N(2880), N(2880)}));
    Let(a, "third", Bitmap({N(2880), N(2880)}));
    Trace(a, Join({M(V("first"), "width"), M(V("second"), "width"), M(V("third"), "width")}));
    // Disposing gives the bytes back at once.
    Do(a, CallM(V("first"), "dispose"));
    Let(a, "fourth", Bitmap({N(2880), N(2880)}));
    Trace(a, M(V("fourth"), "width"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"2880,-1,-1", "2880"}));
    // One warning for the movie's log, however many were refused.
    const std::vector<std::string> warnings = m.vm.TakeUnsupported();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("BitmapData"), std::string::npos);
    EXPECT_GE(m.vm.heap().Bytes(), bytes);
    EXPECT_LT(m.vm.heap().Bytes(), 2 * bytes);

    // Unreachable bitmaps are collected after the block and their bytes freed.
    ActionAssembler drop;
    Do(drop, CallM(V("fourth"), "dispose"));
    Let(drop, "fourth", Null());
    for (int i = 0; i < 3; ++i) {
        ActionAssembler block;
        Do(block, Bitmap({N(2880), N(2880)}));
        ASSERT_EQ(m.Run(i == 0 ? drop : block), RunStatus::Completed);
        ASSERT_EQ(m.Run(block), RunStatus::Completed);
        EXPECT_LT(m.vm.heap().Bytes(), bytes) << "block " << i;
    }
    EXPECT_TRUE(m.vm.TakeUnsupported().empty());
}

TEST(BitmapDataClass, BadArgumentsAndManyBitmapsStayBounded) {
    swf::actions::VmLimits limits;
    limits.maxMemoryBytes = 64u << 20;
    Machine m(8, limits);
    ActionAssembler a;
    Let(a, "b", Bitmap({N(64), N(64), B(true), N(0)}));
    Do(a, CallM(V("b"), "fillRect", {S("x"), S("y")}));
    Do(a, CallM(V("b"), "fillRect", {Rect(-1e300, -1e300, 1e300, 1e300), N(0xFF00FF00u)}));
    Do(a, CallM(V("b"), "copyPixels", {Null(), Null(), Null()}));
    Do(a, CallM(V("b"), "copyPixels", {V("b"), Rect(0, 0, 1e9, 1e9), Pt(-1e9, 1e9)}));
    Do(a, CallM(V("b"), "scroll", {N(1e9), N(-1e9)}));
    Do(a, CallM(V("b"), "perlinNoise",
                {N(0), N(1e300), N(1e9), N(1), B(true), B(true), N(15), B(false), Arr({Pt(1e300, 0)})}));
    Do(a, CallM(V("b"), "noise", {N(1), N(300), N(-5), N(-1)}));
    Do(a, CallM(V("b"), "pixelDissolve", {V("b"), M(V("b"), "rectangle"), Pt(0, 0), N(3), N(1e300)}));
    Do(a, CallM(V("b"), "paletteMap", {V("b"), M(V("b"), "rectangle"), Pt(0, 0), Arr({N(1)}), S("x")}));
    Do(a, CallM(V("b"), "floodFill", {N(1e12), N(-3), N(0)}));
    Do(a, CallM(V("b"), "merge", {V("b"), M(V("b"), "rectangle"), Pt(1, 1), N(1e9), N(-1e9), N(0), N(256)}));
    Do(a, CallM(V("b"), "draw", {Obj({}), S("matrix")}));
    Do(a, CallM(V("b"), "draw", {V("b"), Mat(1e300, 0, 0, 0, 0, 0)}));
    Trace(a, Join({CallM(V("b"), "hitTest", {}), CallM(V("b"), "hitTest", {Pt(0, 0), N(0), Rect(0, 0, 1, 1)}),
                   CallM(V("b"), "threshold", {V("b"), M(V("b"), "rectangle"), Pt(0, 0), S("=~"), N(0)}),
                   CallM(V("b"), "compare", {S("x")}), M(V("b"), "width")}));
    // Thousands of bitmaps: each is made, the block runs to its end.
    for (int i = 0; i < 3000; ++i) Let(a, "many", Bitmap({N(16), N(16)}));
    Trace(a, M(V("many"), "width"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"false,true,0,-2,64", "16"}));
}
