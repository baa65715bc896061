// flash.filters classes (defaults, clamping, clone), their conversion to
// and from the drawing side's filters, and a display object's filters,
// blendMode and cacheAsBitmap through the fake display target.

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <variant>
#include <vector>

#include "swf/actions/filter_objects.h"
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

Expr Filter(const std::string& name, std::vector<Expr> args = {}) {
    return NewM(M(V("flash"), "filters"), name, std::move(args));
}
Expr FilterClass(const std::string& name) { return M(M(V("flash"), "filters"), name); }
Expr InstanceOf(Expr object, Expr constructor) { return Op(0x54, std::move(object), std::move(constructor)); }
Expr StrictEquals(Expr l, Expr r) { return Op(0x66, std::move(l), std::move(r)); }

Expr Join(std::vector<Expr> parts) {
    Expr out = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) out = Add(Add(out, S(",")), parts[i]);
    return out;
}

// The filter a timeline variable holds, converted; false when it is none.
bool Converted(Machine& m, const std::string& name, raster::Filter* out) {
    return swf::actions::FilterFromObject(m.vm.GetVariable(m.target, name).AsObject(), out);
}

// A display object without a timeline or text: scripts see it as a button.
class FakeButton : public swf::DisplayTarget {
public:
    raster::BlendMode GetBlendMode() override { return mode; }
    void SetBlendMode(raster::BlendMode m) override { mode = m; }
    raster::BlendMode mode = raster::BlendMode::Normal;
};

}  // namespace

TEST(FilterClasses, DefaultsClampingAndIndependentClones) {
    Machine m;
    ActionAssembler a;
    Let(a, "blur", Filter("BlurFilter"));
    Trace(a, Join({M(V("blur"), "blurX"), M(V("blur"), "blurY"), M(V("blur"), "quality")}));
    SetM(a, V("blur"), "quality", N(20));
    SetM(a, V("blur"), "blurX", N(300));
    SetM(a, V("blur"), "blurY", N(-5));
    Trace(a, Join({M(V("blur"), "blurX"), M(V("blur"), "blurY"), M(V("blur"), "quality")}));
    Let(a, "glow", Filter("GlowFilter"));
    Trace(a, Join({M(V("glow"), "color"), M(V("glow"), "alpha"), M(V("glow"), "blurX"), M(V("glow"), "strength"),
                   M(V("glow"), "inner")}));
    Let(a, "shadow", Filter("DropShadowFilter", {N(10), N(90), N(0xFF0000), N(0.5), N(8), N(8), N(2), N(3), B(true)}));
    SetM(a, V("shadow"), "alpha", N(2));
    SetM(a, V("shadow"), "strength", N(1000));
    SetM(a, V("shadow"), "color", N(0x1FFFFFF));  // only 24 bits of colour
    Let(a, "copy", CallM(V("shadow"), "clone"));
    SetM(a, V("copy"), "distance", N(1));
    Trace(a, Join({M(V("shadow"), "distance"), M(V("copy"), "distance"), M(V("copy"), "angle"), M(V("shadow"), "alpha"),
                   M(V("shadow"), "strength"), M(V("shadow"), "color"), M(V("copy"), "inner"),
                   M(V("copy"), "hideObject")}));
    Trace(a, InstanceOf(V("copy"), FilterClass("DropShadowFilter")));
    Trace(a, InstanceOf(V("copy"), FilterClass("BitmapFilter")));
    // Fewer than 20 numbers: the rest of the colour matrix is 0. The array
    // read is a copy.
    Let(a, "cm", Filter("ColorMatrixFilter", {Arr({N(1), N(2), N(3)})}));
    Let(a, "matrix", M(V("cm"), "matrix"));
    SetM(a, V("matrix"), "0", N(9));
    Trace(a, Join({M(M(V("cm"), "matrix"), "length"), M(M(V("cm"), "matrix"), "0"), M(M(V("cm"), "matrix"), "2"),
                   M(M(V("cm"), "matrix"), "19")}));
    Trace(a, M(Filter("ColorMatrixFilter"), "matrix"));  // the identity
    // Gradient arrays: colours keep 24 bits, alphas 0..1, ratios 0..255.
    Let(a, "gg",
        Filter("GradientGlowFilter",
               {N(4), N(45), Arr({N(0xFFFFFF), N(0x1000005)}), Arr({N(2), N(-1)}), Arr({N(0), N(300)})}));
    Trace(a, Join({M(V("gg"), "colors"), M(V("gg"), "alphas"), M(V("gg"), "ratios"), M(V("gg"), "type")}));
    SetM(a, V("gg"), "type", S("sideways"));
    Trace(a, M(V("gg"), "type"));
    SetM(a, V("gg"), "type", S("full"));
    Let(a, "gg2", CallM(V("gg"), "clone"));
    SetM(a, V("gg2"), "colors", Arr({N(1)}));
    Trace(a, Join({M(M(V("gg"), "colors"), "length"), M(M(V("gg2"), "colors"), "length"), M(V("gg2"), "type")}));
    // A kernel has matrixX x matrixY numbers.
    Let(a, "conv", Filter("ConvolutionFilter", {N(3), N(3), Arr({N(1), N(1), N(1)})}));
    Trace(a, Join({M(M(V("conv"), "matrix"), "length"), M(V("conv"), "divisor"), M(V("conv"), "preserveAlpha")}));
    Trace(a, M(Filter("BevelFilter"), "type"));
    Trace(a, M(Filter("DisplacementMapFilter"), "mode"));
    // Bad input stays in range.
    Let(a, "bad", Filter("BlurFilter", {N(1e308), N(NAN), N(INFINITY)}));
    Trace(a, Join({M(V("bad"), "blurX"), M(V("bad"), "blurY"), M(V("bad"), "quality")}));
    Trace(a, TypeOf(CallM(M(M(FilterClass("BlurFilter"), "prototype"), "clone"), "call", {Obj({})})));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"4,4,1", "255,0,15", "16711680,1,6,2,false", "10,1,90,1,255,16777215,true,false", "true", "true",
                     "20,1,3,0", "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0", "16777215,5,1,0,0,255,inner", "inner",
                     "2,1,full", "9,1,true", "inner", "wrap", "255,0,15", "undefined"}));
}

TEST(FilterClasses, ConvertToDrawingUnits) {
    Machine m;
    ActionAssembler a;
    Let(a, "shadow", Filter("DropShadowFilter", {N(10), N(90), N(0xFF0000), N(0.5), N(8), N(6), N(2), N(3), B(true)}));
    Let(a, "bevel", Filter("BevelFilter", {N(4), N(180), N(0x00FF00), N(1), N(0x0000FF), N(0.2)}));
    SetM(a, V("bevel"), "type", S("outer"));
    Let(a, "gradient",
        Filter("GradientBevelFilter", {N(2), N(0), Arr({N(0xFF0000), N(0x0000FF), N(0x00FF00)}), Arr({N(1), N(0.4)}),
                                       Arr({N(0), N(255), N(128)})}));
    Let(a, "matrix", Filter("ColorMatrixFilter", {Arr({N(0.5), N(0), N(0), N(0), N(10)})}));
    Let(a, "map", Filter("DisplacementMapFilter", {Null(), New("Object"), N(1), N(4), N(8), N(-8), S("clamp")}));
    Let(a, "plain", Obj({{"blurX", N(3)}}));
    ASSERT_EQ(m.Run(a), RunStatus::Completed);

    raster::Filter f;
    ASSERT_TRUE(Converted(m, "shadow", &f));
    const auto* shadow = std::get_if<raster::DropShadowFilter>(&f);
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->color, (raster::Color{255, 0, 0, 128}));  // alpha 0.5 * 255 = 127.5, rounded
    EXPECT_DOUBLE_EQ(shadow->angle, 90 * std::numbers::pi / 180);
    EXPECT_EQ(shadow->distance, 10);
    EXPECT_EQ(shadow->blur.blurX, 8);
    EXPECT_EQ(shadow->blur.blurY, 6);
    EXPECT_EQ(shadow->blur.passes, 3);  // quality
    EXPECT_EQ(shadow->strength, 2);
    EXPECT_TRUE(shadow->inner);
    EXPECT_FALSE(shadow->knockout);

    ASSERT_TRUE(Converted(m, "bevel", &f));
    const auto* bevel = std::get_if<raster::BevelFilter>(&f);
    ASSERT_NE(bevel, nullptr);
    EXPECT_EQ(bevel->highlight, (raster::Color{0, 255, 0, 255}));
    EXPECT_EQ(bevel->shadow, (raster::Color{0, 0, 255, 51}));  // 0.2 * 255
    EXPECT_DOUBLE_EQ(bevel->angle, std::numbers::pi);
    EXPECT_EQ(bevel->placement, raster::BevelPlacement::Outer);

    // Stops only as far as all three arrays go.
    ASSERT_TRUE(Converted(m, "gradient", &f));
    const auto* gradient = std::get_if<raster::GradientBevelFilter>(&f);
    ASSERT_NE(gradient, nullptr);
    ASSERT_EQ(gradient->stops.size(), 2u);
    EXPECT_EQ(gradient->stops[0].ratio, 0);
    EXPECT_EQ(gradient->stops[0].color, (raster::Color{255, 0, 0, 255}));
    EXPECT_EQ(gradient->stops[1].ratio, 255);
    EXPECT_EQ(gradient->stops[1].color, (raster::Color{0, 0, 255, 102}));  // 0.4 * 255
    EXPECT_EQ(gradient->placement, raster::BevelPlacement::Inner);

    ASSERT_TRUE(Converted(m, "matrix", &f));
    const auto* colorMatrix = std::get_if<raster::ColorMatrixFilter>(&f);
    ASSERT_NE(colorMatrix, nullptr);
    EXPECT_EQ(colorMatrix->matrix[0], 0.5);
    EXPECT_EQ(colorMatrix->matrix[4], 10);
    EXPECT_EQ(colorMatrix->matrix[6], 0);  // padded, not the identity's 1

    ASSERT_TRUE(Converted(m, "map", &f));
    const auto* map = std::get_if<raster::DisplacementMapFilter>(&f);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->map, nullptr);
    EXPECT_EQ(map->componentX, 1);
    EXPECT_EQ(map->componentY, 4);
    EXPECT_EQ(map->scaleX, 8);
    EXPECT_EQ(map->scaleY, -8);
    EXPECT_EQ(map->mode, raster::DisplacementMode::Clamp);

    EXPECT_FALSE(Converted(m, "plain", &f));
    EXPECT_FALSE(Converted(m, "nothing", &f));
}

TEST(ClipEffects, FiltersRoundTripThroughTheDisplayObject) {
    Machine m;
    FakeTarget clip("mc");
    m.target.children["mc"] = &clip;
    clip.filters = {raster::GlowFilter{raster::Color{0, 255, 0, 51}, raster::BlurSettings{3, 4, 2}, 5, true, false}};
    ActionAssembler a;
    Let(a, "f", M(V("mc"), "filters"));
    Let(a, "glow", M(V("f"), "0"));
    Trace(a, M(V("f"), "length"));
    Trace(a, InstanceOf(V("glow"), FilterClass("GlowFilter")));
    // 0x00FF00 and alpha 51 / 255.
    Trace(a, Join({M(V("glow"), "color"), M(V("glow"), "alpha"), M(V("glow"), "blurX"), M(V("glow"), "blurY"),
                   M(V("glow"), "quality"), M(V("glow"), "strength"), M(V("glow"), "inner")}));
    // Each read makes new objects; changing them changes nothing on the clip.
    Trace(a, StrictEquals(M(M(V("mc"), "filters"), "0"), M(M(V("mc"), "filters"), "0")));
    SetM(a, V("glow"), "blurX", N(100));
    Trace(a, M(M(M(V("mc"), "filters"), "0"), "blurX"));
    // Setting: what is not a filter is left out.
    SetM(a, V("mc"), "filters",
         Arr({Filter("BlurFilter", {N(2), N(3), N(1)}), Obj({}), S("x"), Filter("DropShadowFilter")}));
    SetM(a, V("mc"), "filters", S("not an array"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"1", "true", "65280,0.2,3,4,2,5,true", "false", "3"}));
    EXPECT_EQ(clip.calls, (std::vector<std::string>{"mc.setFilters 2"}));
    ASSERT_EQ(clip.filters.size(), 2u);
    const auto* blur = std::get_if<raster::BlurFilter>(&clip.filters[0]);
    ASSERT_NE(blur, nullptr);
    EXPECT_EQ(blur->blur.blurX, 2);
    EXPECT_EQ(blur->blur.blurY, 3);
    const auto* shadow = std::get_if<raster::DropShadowFilter>(&clip.filters[1]);
    ASSERT_NE(shadow, nullptr);
    EXPECT_DOUBLE_EQ(shadow->angle, std::numbers::pi / 4);  // the default 45 degrees
    EXPECT_EQ(shadow->distance, 4);
}

TEST(ClipEffects, BlendModeByNameOrNumberAndCacheAsBitmap) {
    Machine m;
    FakeTarget clip("mc");
    m.target.children["mc"] = &clip;
    FakeButton button;
    m.vm.SetVariable(m.target, "btn", swf::actions::Value::Obj(m.vm.ObjectFor(&button)));
    ActionAssembler a;
    Trace(a, M(V("mc"), "blendMode"));
    SetM(a, V("mc"), "blendMode", S("multiply"));
    Trace(a, M(V("mc"), "blendMode"));
    SetM(a, V("mc"), "blendMode", S("bogus"));
    SetM(a, V("mc"), "blendMode", N(0));
    SetM(a, V("mc"), "blendMode", N(15));
    SetM(a, V("mc"), "blendMode", N(14));
    Trace(a, M(V("mc"), "blendMode"));
    Trace(a, M(V("mc"), "cacheAsBitmap"));
    SetM(a, V("mc"), "cacheAsBitmap", N(1));
    Trace(a, M(V("mc"), "cacheAsBitmap"));
    SetM(a, V("btn"), "blendMode", S("screen"));
    Trace(a, M(V("btn"), "blendMode"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"normal", "multiply", "hardlight", "false", "true", "screen"}));
    EXPECT_EQ(clip.calls,
              (std::vector<std::string>{"mc.setBlendMode 3", "mc.setBlendMode 14", "mc.setCacheAsBitmap true"}));
    EXPECT_EQ(button.mode, raster::BlendMode::Screen);
}
