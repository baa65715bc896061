// Filters, blend modes, Color and Transform set by scripts on the real
// display list: what the scripts read back and the pixels drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "swf/player/fields/clipboard.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = writer;
using w::ActionAssembler;
using w::ActionCode;

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// new flash.<package>.<name>(args...), the arguments given first to last.
void New(ActionAssembler& a, const std::string& package, const std::string& name, const std::vector<double>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) a.PushNumber(*it);
    a.PushNumber(static_cast<double>(args.size()));
    a.PushString("flash").Action(ActionCode::GetVariable).PushString(package).Action(ActionCode::GetMember);
    a.PushString(name).Action(ActionCode::NewMethod);
}

// <object>.<member> = <what `value` pushes>
template <typename Value>
void Set(ActionAssembler& a, const std::string& object, const std::string& member, Value value) {
    a.PushString(object).Action(ActionCode::GetVariable).PushString(member);
    value(a);
    a.Action(ActionCode::SetMember);
}

void Trace(ActionAssembler& a, const std::string& object, const std::string& member) {
    a.PushString(object).Action(ActionCode::GetVariable).PushString(member).Action(ActionCode::GetMember);
    a.Action(ActionCode::Trace);
}

// Three 40 px squares in clips on (100, 150, 200): "shadowed" at (20, 20),
// "screened" at (120, 20) over a grey bar, "tinted" at (20, 60)... all blue;
// the script gives each its effect.
std::vector<std::uint8_t> ScriptedMovie() {
    enum : std::uint16_t { kBlue = 1, kGrey, kClip };
    w::TagStream t;
    t.SetBackgroundColor({100, 150, 200});
    w::ShapeBuilder square;
    square.Rectangle({0, 800, 0, 800}, square.AddFill(w::FillStyle::Solid({0, 0, 255})));
    t.Add(w::TagCode::DefineShape3, square.DefineShapeBody(kBlue, 3));
    w::ShapeBuilder grey;
    grey.Rectangle({0, 400, 0, 800}, grey.AddFill(w::FillStyle::Solid({128, 128, 128})));
    t.Add(w::TagCode::DefineShape3, grey.DefineShapeBody(kGrey, 3));
    w::TagStream inner;
    w::PlaceObject part;
    part.characterId = kBlue;
    inner.PlaceObject2(part);
    inner.ShowFrame();
    inner.End();
    t.DefineSprite(kClip, inner);
    const auto place = [&t](std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y, const char* name) {
        w::PlaceObject p;
        p.depth = depth;
        p.characterId = id;
        p.hasMatrix = true;
        p.matrix = w::Matrix::Translate(x, y);
        p.name = name;
        t.PlaceObject2(p);
    };
    place(1, kClip, 400, 400, "shadowed");
    place(2, kGrey, 2400, 400, "");
    place(3, kClip, 2400, 400, "screened");
    place(4, kClip, 400, 1100, "tinted");

    ActionAssembler a;
    // shadowed.filters = [new flash.filters.DropShadowFilter(10 * sqrt(2), 45, 0, 1, 0, 0, 1, 1)];
    Set(a, "shadowed", "filters", [](ActionAssembler& v) {
        New(v, "filters", "DropShadowFilter", {14.142135623730951, 45, 0, 1, 0, 0, 1, 1});
        v.PushNumber(1).Action(ActionCode::InitArray);
    });
    Set(a, "screened", "blendMode", [](ActionAssembler& v) { v.PushString("screen"); });
    // new Color(tinted).setRGB(0xFF8000);
    a.PushNumber(0xFF8000).PushNumber(1);
    a.PushString("tinted").Action(ActionCode::GetVariable).PushNumber(1).PushString("Color");
    a.Action(ActionCode::NewObject).PushString("setRGB").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    Trace(a, "screened", "blendMode");
    a.PushString("shadowed").Action(ActionCode::GetVariable).PushString("filters").Action(ActionCode::GetMember);
    a.PushString("length").Action(ActionCode::GetMember).Action(ActionCode::Trace);
    a.PushString("shadowed").Action(ActionCode::GetVariable).PushString("filters").Action(ActionCode::GetMember);
    a.PushNumber(0).Action(ActionCode::GetMember).PushString("angle").Action(ActionCode::GetMember);
    a.Action(ActionCode::Trace);
    // The transform read back: the clip's x in pixels.
    a.PushString("tinted").Action(ActionCode::GetVariable).PushString("transform").Action(ActionCode::GetMember);
    a.PushString("matrix").Action(ActionCode::GetMember).PushString("ty").Action(ActionCode::GetMember);
    a.Action(ActionCode::Trace);
    a.Action(ActionCode::Stop);
    t.DoAction(a.Finish());
    t.ShowFrame();
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 4000, 0, 2000};
    return w::BuildMovie(header, t);
}

TEST(ScriptEffects, FiltersBlendModesAndColorFromScriptsDraw) {
    Player player;
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(ScriptedMovie())) << player.LoadError();
    raster::Surface s(200, 100);
    player.Render(s);
    EXPECT_EQ(traces, (std::vector<std::string>{"screen", "1", "45", "55"}));

    // The shadow: the square moved 10 px right and down, black, behind it.
    EXPECT_EQ(s.pixel(40, 40), Opaque(0, 0, 255));
    EXPECT_EQ(s.pixel(65, 55), Opaque(0, 0, 0));
    EXPECT_EQ(s.pixel(65, 25), Opaque(100, 150, 200));
    // Screen: 255 - (255 - s)(255 - d) / 255 per channel, over the background and the bar.
    const auto screen = [](int s, int d) { return static_cast<std::uint8_t>(s + d - (s * d + 127) / 255); };
    EXPECT_EQ(s.pixel(150, 40), Opaque(screen(0, 100), screen(0, 150), screen(255, 200)));
    EXPECT_EQ(s.pixel(125, 40), Opaque(screen(0, 128), screen(0, 128), screen(255, 128)));
    // setRGB: multipliers 0, the colour as offsets.
    EXPECT_EQ(s.pixel(40, 75), Opaque(0xFF, 0x80, 0x00));

    // Drawn in parts, the same.
    raster::Surface partial(200, 100);
    player.RenderChanges(partial);
    EXPECT_EQ(partial.pixel(65, 55), Opaque(0, 0, 0));
}

// Keeps what is set on the clipboard.
class RecordingClipboard final : public Clipboard {
public:
    std::optional<std::string> GetText() override { return text; }
    void SetText(const std::string& t) override { text = t; }
    std::optional<std::string> text;
};

TEST(ScriptEffects, VersionAndClipboardReachTheScriptsAndTheSystem) {
    // trace($version); trace(getVersion() == System.capabilities.version); System.setClipboard("copied");
    ActionAssembler a;
    a.PushString("$version").Action(ActionCode::GetVariable).Action(ActionCode::Trace);
    a.PushNumber(0).PushString("getVersion").Action(ActionCode::CallFunction);
    a.PushString("System.capabilities.version").Action(ActionCode::GetVariable);
    a.Action(ActionCode::Equals2).Action(ActionCode::Trace);
    a.PushString("copied").PushNumber(1).PushString("System").Action(ActionCode::GetVariable);
    a.PushString("setClipboard").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    w::TagStream t;
    t.DoAction(a.Finish());
    t.ShowFrame();
    w::MovieHeader header;
    header.version = 8;
    Player player;
    RecordingClipboard clipboard;
    player.SetClipboard(&clipboard);
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(w::BuildMovie(header, t))) << player.LoadError();
    ASSERT_EQ(traces.size(), 2u);
    // "WIN" and four numbers, as players report themselves.
    EXPECT_EQ(traces[0].rfind("WIN ", 0), 0u) << traces[0];
    EXPECT_EQ(std::count(traces[0].begin(), traces[0].end(), ','), 3) << traces[0];
    EXPECT_EQ(traces[1], "true");
    EXPECT_EQ(clipboard.text, "copied");
}

// A 100 x 60 px stage on white: clip "a" (a 40 px blue square and a
// half-transparent red one beside it, both from its origin) at (20, 10),
// given what `script` sets.
std::vector<std::uint8_t> OneClipMovie(const std::function<void(ActionAssembler&)>& script) {
    enum : std::uint16_t { kBlue = 1, kRed, kClip };
    w::TagStream t;
    t.SetBackgroundColor({255, 255, 255});
    w::ShapeBuilder blue;
    blue.Rectangle({0, 800, 0, 800}, blue.AddFill(w::FillStyle::Solid({0, 0, 255})));
    t.Add(w::TagCode::DefineShape3, blue.DefineShapeBody(kBlue, 3));
    w::ShapeBuilder red;
    red.Rectangle({800, 1200, 0, 800}, red.AddFill(w::FillStyle::Solid({255, 0, 0, 128})));
    t.Add(w::TagCode::DefineShape3, red.DefineShapeBody(kRed, 3));
    w::TagStream inner;
    for (std::uint16_t id : {kBlue, kRed}) {
        w::PlaceObject part;
        part.depth = id;
        part.characterId = id;
        inner.PlaceObject2(part);
    }
    inner.ShowFrame();
    inner.End();
    t.DefineSprite(kClip, inner);
    w::PlaceObject p;
    p.characterId = kClip;
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(400, 200);
    p.name = "a";
    t.PlaceObject2(p);
    ActionAssembler a;
    script(a);
    a.Action(ActionCode::Stop);
    t.DoAction(a.Finish());
    t.ShowFrame();
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 2000, 0, 1200};
    return w::BuildMovie(header, t);
}

raster::Surface Drawn(const std::vector<std::uint8_t>& movie, std::vector<std::string>* traces = nullptr) {
    Player player;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace && traces != nullptr) traces->push_back(text);
    });
    EXPECT_TRUE(player.Load(movie)) << player.LoadError();
    raster::Surface s(100, 60);
    player.Render(s);
    return s;
}

TEST(ScriptEffects, ScrollRectOpaqueBackgroundAndQuality) {
    // a.scrollRect = new flash.geom.Rectangle(10, 5, 20, 30): content from (10, 5) shows at the
    // clip's origin, 20 x 30 px of it; a._width is 20.
    std::vector<std::string> traces;
    const raster::Surface scrolled =
        Drawn(OneClipMovie([](ActionAssembler& a) {
                  Set(a, "a", "scrollRect", [](ActionAssembler& v) { New(v, "geom", "Rectangle", {10, 5, 20, 30}); });
                  Trace(a, "a", "_width");
                  Trace(a, "a", "scrollRect");
                  // Shape hit tests at (25, 15), on shown blue, and (55, 20), where the
                  // red square would be without the rectangle.
                  for (const double x : {25.0, 55.0}) {
                      a.PushBool(true).PushNumber(x == 25 ? 15 : 20).PushNumber(x).PushNumber(3);
                      a.PushString("a").Action(ActionCode::GetVariable).PushString("hitTest");
                      a.Action(ActionCode::CallMethod).Action(ActionCode::Trace);
                  }
              }),
              &traces);
    EXPECT_EQ(traces, (std::vector<std::string>{"20", "(x=10, y=5, w=20, h=30)", "true", "false"}));
    EXPECT_EQ(scrolled.pixel(21, 11), Opaque(0, 0, 255));
    EXPECT_EQ(scrolled.pixel(38, 38), Opaque(0, 0, 255));
    EXPECT_EQ(scrolled.pixel(41, 20), Opaque(255, 255, 255)) << "right of the rectangle";
    EXPECT_EQ(scrolled.pixel(30, 41), Opaque(255, 255, 255)) << "below the rectangle";

    // a.opaqueBackground = 0x00FF00: the clip's box (both squares) is green
    // under its content; half-transparent red over green.
    const raster::Surface backed = Drawn(OneClipMovie([](ActionAssembler& a) {
        Set(a, "a", "opaqueBackground", [](ActionAssembler& v) { v.PushNumber(0x00FF00); });
    }));
    EXPECT_EQ(backed.pixel(30, 20), Opaque(0, 0, 255));
    const auto over = [](int s, int d) { return static_cast<std::uint8_t>((s * 128 + d * 127 + 127) / 255); };
    EXPECT_EQ(backed.pixel(70, 20), Opaque(over(255, 0), over(0, 255), 0));
    EXPECT_EQ(backed.pixel(85, 20), Opaque(255, 255, 255)) << "beyond the clip's box";

    // _quality = "LOW": a three-pass blur is drawn in one pass; at the
    // default quality it is not.
    const auto blurred = [](int passes, const char* quality) {
        return OneClipMovie([=](ActionAssembler& a) {
            if (quality != nullptr) a.PushString("_quality").PushString(quality).Action(ActionCode::SetVariable);
            Set(a, "a", "filters", [=](ActionAssembler& v) {
                New(v, "filters", "BlurFilter", {8, 8, static_cast<double>(passes)});
                v.PushNumber(1).Action(ActionCode::InitArray);
            });
        });
    };
    const raster::Surface onePass = Drawn(blurred(1, nullptr));
    EXPECT_EQ(test::DifferentPixels(Drawn(blurred(3, "LOW")), onePass), 0);
    EXPECT_GT(test::DifferentPixels(Drawn(blurred(3, nullptr)), onePass), 100);
}

}  // namespace
}  // namespace swf
