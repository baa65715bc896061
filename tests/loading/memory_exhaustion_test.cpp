// Memory running out where the player's hosts allocate (files read, glyphs
// made): the work is left out with one warning, loads are refused, and the
// movie goes on. Nothing reaches the caller as an exception.

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>

#include "tests/loading/loading_fixture.h"
#include "swf/files/file_host.h"
#include "swf/fonts/device_fonts.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/font.h"
#include "swf/writer/text.h"

namespace loading_test {
namespace {

namespace w = swf::writer;

// Reads one file's text, or runs out of memory while `exhausted` is set.
class ExhaustibleFiles final : public swf::FileHost {
public:
    swf::FileReadResult ReadFile(const std::string&, std::size_t) override {
        if (exhausted) throw std::bad_alloc();
        swf::FileReadResult result;
        result.ok = true;
        result.bytes.assign(text.begin(), text.end());
        return result;
    }
    bool exhausted = false;
    std::string text = "v=read";
};

// Plain boxes for every character, or out of memory while `exhausted` is set.
class ExhaustibleFonts final : public swf::fonts::DeviceFontProvider {
public:
    std::shared_ptr<const swf::fonts::DeviceGlyph> Glyph(const std::string&, bool, bool, char32_t) override {
        if (exhausted) throw std::bad_alloc();
        auto glyph = std::make_shared<swf::fonts::DeviceGlyph>();
        glyph->edges = {{0, 0, 0, 0, 0, -700, false},
                        {0, -700, 0, 0, 600, -700, false},
                        {600, -700, 0, 0, 600, 0, false},
                        {600, 0, 0, 0, 0, 0, false}};
        glyph->advance = 680;
        return glyph;
    }
    swf::fonts::FaceMetrics Metrics(const std::string&, bool, bool) override {
        if (exhausted) throw std::bad_alloc();
        return {800, 224, 0};
    }
    bool exhausted = false;
};

struct Watched {
    swf::Player player;
    ReportHost host;
    std::vector<std::string> warnings;
    Watched() {
        player.SetHost(&host);
        player.SetLogHandler([this](swf::Player::LogKind kind, const std::string& text) {
            if (kind == swf::Player::LogKind::Warning) warnings.push_back(text);
        });
    }
    int Told(const std::string& part) const {
        int n = 0;
        for (const std::string& w : warnings) n += w.find(part) != std::string::npos;
        return n;
    }
};

TEST(MemoryExhaustion, ALoadWithoutMemoryIsRefusedAndTheNextOneWorks) {
    Watched t;
    ExhaustibleFiles files;
    t.player.SetFileHost(&files);
    ActionAssembler first, onLoad, again;
    Report(onLoad, "onLoad", Var("ok"));
    Report(onLoad, "v", Member("this", "v"));
    New(first, "lv", "LoadVars");
    SetMethod(first, "lv", "onLoad", {"ok"}, onLoad);
    CallAndDrop(first, MethodCall("lv", "load", {Str("v.txt")}));
    CallAndDrop(again, MethodCall("lv", "load", {Str("v.txt")}));
    again.Action(swf::writer::ActionCode::Stop);
    ASSERT_TRUE(t.player.Load(ScriptMovie({}, {first, again})));

    files.exhausted = true;
    EXPECT_NO_THROW(t.player.AdvanceFrame());
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"onLoad=false", "v=undefined"}));
    EXPECT_EQ(t.Told("not loaded: \"v.txt\": not enough memory"), 1);

    files.exhausted = false;
    t.host.reports.clear();
    t.player.AdvanceFrame();  // frame 2 asks again; the load completes on the next tick
    t.player.AdvanceFrame();
    EXPECT_EQ(t.host.reports, (std::vector<std::string>{"onLoad=true", "v=read"}));
}

// Text in a system font, drawn through the host's glyphs: 200 x 100 px.
Bytes DeviceTextMovie() {
    return ScriptMovie(
        [](w::TagStream& tags) {
            w::FontBuilder device("_sans", 1024, 800, 224);
            for (char c : std::string("MEMORY")) device.AddGlyph({static_cast<std::uint16_t>(c), {}, 680});
            tags.Add(w::TagCode::DefineFont2, device.DefineFontBody(1));
            tags.Add(w::TagCode::DefineText, w::DefineTextBody(2, device, 1, {{"MEMORY", 200, 1000, 600, {0, 0, 0}}}));
            w::PlaceObject place;
            place.depth = 1;
            place.characterId = 2;
            tags.PlaceObject2(place);
        },
        {ActionAssembler{}, ActionAssembler{}});
}

TEST(MemoryExhaustion, AFrameDrawnWithoutMemoryIsLeftOutAndDrawnWholeLater) {
    Watched t;
    ExhaustibleFonts fonts;
    t.player.SetFontProvider(&fonts);
    ASSERT_TRUE(t.player.Load(DeviceTextMovie()));
    std::vector<std::uint32_t> pixels(200 * 100, 0);
    swf::raster::Surface surface(pixels.data(), 200, 100, 200 * 4);
    ASSERT_EQ(t.player.RenderChanges(surface).size(), 1u);

    fonts.exhausted = true;
    t.player.ForgetRenderedFrame();
    std::vector<swf::raster::PixelRect> drawn;
    EXPECT_NO_THROW(drawn = t.player.RenderChanges(surface));
    EXPECT_TRUE(drawn.empty());
    EXPECT_NO_THROW(t.player.Render(surface));
    EXPECT_NO_THROW(t.player.AdvanceFrame());
    EXPECT_EQ(t.Told("not enough memory to draw a frame: it was left out and the movie goes on"), 1);
    EXPECT_EQ(t.warnings.size(), 1u);  // told once, however often it happens

    // With memory again, the frame left half drawn is drawn whole, text and all.
    fonts.exhausted = false;
    drawn = t.player.RenderChanges(surface);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].right - drawn[0].left, 200);
    EXPECT_EQ(drawn[0].bottom - drawn[0].top, 100);
    int dark = 0;
    for (std::uint32_t p : pixels) dark += (p & 0xFFFFFF) == 0;
    EXPECT_GT(dark, 100);
    EXPECT_EQ(t.player.Warnings().size(), 1u);
}

}  // namespace
}  // namespace loading_test
