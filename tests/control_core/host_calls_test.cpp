// What hosts ask of a movie through the control's scripting interface, on
// MoviePlayer with small movies: the main timeline, variables by path,
// timeline targets, ExternalInterface both ways (nested calls included),
// script access, and how the stage fills the view.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "control/movie_player.h"
#include "swf/actions/player_version.h"
#include "swf/writer/movie.h"
#include "swf/writer/script_expressions.h"
#include "swf/writer/shape.h"
#include "swf/writer/tag_stream.h"

namespace control {
namespace {

using swf::writer::ActionAssembler;
using swf::writer::TagCode;
using swf::writer::TagStream;
namespace s = swf::writer::script;

constexpr std::uint32_t kRed = 0xFFFF0000;  // premultiplied B, G, R, A bytes, read as one number
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

// A red square, `size` twips across, with its top left corner at (x, y).
std::vector<std::uint8_t> Square(std::uint16_t id, std::int32_t x, std::int32_t y, std::int32_t size) {
    swf::writer::ShapeBuilder shape;
    const std::uint16_t fill = shape.AddFill(swf::writer::FillStyle::Solid({255, 0, 0}));
    shape.Rectangle({x, x + size, y, y + size}, fill);
    return shape.DefineShapeBody(id, 3);
}

void Place(TagStream& tags, std::uint16_t depth, std::uint16_t id, const std::string& name, std::int32_t x = 0,
           std::int32_t y = 0) {
    swf::writer::PlaceObject place;
    place.depth = depth;
    place.characterId = id;
    place.name = name;
    place.hasMatrix = true;
    place.matrix = swf::writer::Matrix::Translate(x, y);
    tags.PlaceObject2(place);
}

void Action(TagStream& tags, const ActionAssembler& a) {
    const std::vector<std::uint8_t> code = a.Finish();
    tags.DoAction(code);
}

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

s::Expr External() { return s::V("flash.external.ExternalInterface"); }

// 200 x 100 pixels, three frames ("first", -, "last"). A clip "clip" at
// (50, 25) holds "inner", a four-frame clip labelled "start" (0) and "end"
// (2), stopped on its first frame; its frame "end" notes where it ran.
// The first frame's script reads FlashVars and registers callbacks.
std::vector<std::uint8_t> ScriptedMovie() {
    TagStream tags;
    tags.SetBackgroundColor({255, 255, 255});
    tags.Add(TagCode::DefineShape3, Square(1, 0, 0, 400));

    TagStream inner;
    inner.FrameLabel("start");
    Action(inner, Body([](ActionAssembler& a) { a.Action(swf::writer::ActionCode::Stop); }));
    inner.ShowFrame();
    inner.ShowFrame();
    inner.FrameLabel("end");
    Action(inner, Body([](ActionAssembler& a) {
               s::SetM(a, s::V("_root"), "called", s::Add(s::S("end at "), s::V("_currentframe")));
           }));
    inner.ShowFrame();
    inner.ShowFrame();
    tags.DefineSprite(2, inner);

    TagStream clip;
    Place(clip, 1, 2, "inner");
    Place(clip, 2, 1, "");
    Action(clip, Body([](ActionAssembler& a) { s::Let(a, "v", s::S("clip var")); }));
    clip.ShowFrame();
    tags.DefineSprite(3, clip);

    Place(tags, 1, 3, "clip", 1000, 500);
    tags.FrameLabel("first");
    Action(
        tags, Body([](ActionAssembler& a) {
            s::Let(a, "seen", s::Add(s::Add(s::V("fv"), s::S("|")), s::V("other")));
            s::Let(a, "greeting", s::S("hello"));
            s::Let(a, "half", s::Op(0x0D, s::N(1), s::N(2)));  // 1 / 2
            s::Let(a, "avail", s::M(External(), "available"));
            s::Let(a, "early", s::CallM(External(), "call", {s::S("hello"), s::N(1)}));
            s::Let(a, "owner", s::Obj({{"name", s::S("owner")}}));
            s::Let(a, "addedEcho",
                   s::CallM(External(), "addCallback",
                            {s::S("echo"), s::Null(),
                             s::Fn({"v"}, Body([](ActionAssembler& b) { s::Return(b, s::V("v")); }))}));
            s::Do(a, s::CallM(External(), "addCallback",
                              {s::S("who"), s::V("owner"),
                               s::Fn({}, Body([](ActionAssembler& b) { s::Return(b, s::M(s::V("this"), "name")); }))}));
            // fetch(kind): got = ExternalInterface.call("give", kind); return got;
            s::Do(a, s::CallM(External(), "addCallback",
                              {s::S("fetch"), s::Null(),
                               s::Fn({"kind"}, Body([](ActionAssembler& b) {
                                         s::Let(b, "got", s::CallM(External(), "call", {s::S("give"), s::V("kind")}));
                                         s::Return(b, s::V("got"));
                                     }))}));
        }));
    tags.ShowFrame();
    tags.ShowFrame();
    tags.FrameLabel("last");
    tags.ShowFrame();
    swf::writer::MovieHeader header;
    header.frameSize = {0, 4000, 0, 2000};
    header.frameRate = 12;
    return swf::writer::BuildMovie(header, tags);
}

std::string Invoke(const std::string& name, const std::string& args) {
    return "<invoke name=\"" + name + "\" returntype=\"xml\"><arguments>" + args + "</arguments></invoke>";
}

TEST(HostCalls, MainTimelineStepsStopsAndLoopsAsAsked) {
    MoviePlayer player;
    EXPECT_EQ(player.TotalFrames(), 0);
    EXPECT_EQ(player.PercentLoaded(), 0);
    player.GotoFrame(1);  // no movie: nothing happens
    ASSERT_TRUE(player.Load(ScriptedMovie(), "file:///movie.swf"));
    EXPECT_EQ(player.TotalFrames(), 3);
    EXPECT_EQ(player.PercentLoaded(), 100);
    EXPECT_TRUE(player.IsPlaying());
    player.GotoFrame(99);
    EXPECT_EQ(player.CurrentFrame(), 2);
    EXPECT_FALSE(player.IsPlaying());
    player.Back();
    EXPECT_EQ(player.CurrentFrame(), 1);
    player.Forward();
    player.Forward();
    EXPECT_EQ(player.CurrentFrame(), 2);
    player.Rewind();
    EXPECT_EQ(player.CurrentFrame(), 0);
    player.Back();
    EXPECT_EQ(player.CurrentFrame(), 0);
    EXPECT_FALSE(player.IsPlaying());

    // Looping off: the timeline stops on its last frame instead of starting over.
    player.Play();
    EXPECT_TRUE(player.IsPlaying());
    player.SetLoop(false);
    for (int i = 0; i < 6; ++i) player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 2);
    EXPECT_FALSE(player.IsPlaying());
    player.SetLoop(true);
    player.Play();
    player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 0);

    // Kept for the next movie: it waits on its first frame, and stops at its end.
    player.SetAutoPlay(false);
    player.SetLoop(false);
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    EXPECT_FALSE(player.IsPlaying());
    player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 0);
    player.Play();
    for (int i = 0; i < 6; ++i) player.Advance();
    EXPECT_EQ(player.CurrentFrame(), 2);
    EXPECT_FALSE(player.IsPlaying());
}

TEST(HostCalls, VariablesByPathFlashVarsAndVersion) {
    MoviePlayer player;
    player.SetFlashVars("fv=a%20b&other=c+d%26e");
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    // FlashVars were there when the first frame's script read them.
    EXPECT_EQ(player.GetVariable("seen"), "a b|c d&e");
    for (const char* path : {"greeting", "/:greeting", "_root.greeting", "_level0.greeting", "_level0:greeting"}) {
        EXPECT_EQ(player.GetVariable(path), "hello") << path;
    }
    EXPECT_EQ(player.GetVariable("half"), "0.5");
    EXPECT_EQ(player.GetVariable("$version"), swf::actions::kPlayerVersion);
    EXPECT_EQ(player.GetVariable("/clip:v"), "clip var");
    EXPECT_EQ(player.GetVariable("_root.clip.v"), "clip var");
    EXPECT_EQ(player.GetVariable("clip"), "_level0.clip");  // a clip reads as its path
    EXPECT_EQ(player.GetVariable("nothing"), std::nullopt);
    EXPECT_EQ(player.GetVariable("/ghost:v"), std::nullopt);
    EXPECT_EQ(player.GetVariable(""), std::nullopt);

    EXPECT_TRUE(player.SetVariable("/clip/inner:deep", "42"));
    EXPECT_EQ(player.GetVariable("_root.clip.inner.deep"), "42");
    EXPECT_TRUE(player.SetVariable("_level0.clip.other", "dotted"));
    EXPECT_EQ(player.GetVariable("/clip:other"), "dotted");
    EXPECT_TRUE(player.SetVariable("fresh", "new"));
    EXPECT_EQ(player.GetVariable("/:fresh"), "new");
    EXPECT_TRUE(player.SetVariable("_global.shared", "everywhere"));
    EXPECT_EQ(player.GetVariable("shared"), "everywhere");
    EXPECT_FALSE(player.SetVariable("/ghost:v", "1"));
    EXPECT_FALSE(player.SetVariable("ghost.v", "1"));

    // FlashVars are set again at each load, after the movie's own variables are gone.
    player.SetFlashVars("fv=second");
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    EXPECT_EQ(player.GetVariable("seen"), "second|undefined");  // version 8 text of undefined
    EXPECT_EQ(player.GetVariable("fresh"), std::nullopt);
}

TEST(HostCalls, TimelineTargetsGoToCallAndReadProperties) {
    MoviePlayer player;
    ASSERT_TRUE(player.Load(ScriptedMovie(), "file:///movie.swf"));
    EXPECT_EQ(player.TargetCurrentFrame("/clip/inner"), 0);
    EXPECT_EQ(player.TargetCurrentLabel("/clip/inner"), "start");
    EXPECT_TRUE(player.TargetGotoLabel("/clip/inner", "end"));
    EXPECT_EQ(player.TargetCurrentFrame("_level0.clip.inner"), 2);
    EXPECT_EQ(player.TargetCurrentLabel("_level0.clip.inner"), "end");
    EXPECT_EQ(player.GetVariable("called"), "end at 3");  // the frame's actions ran ("_currentframe" counts from 1)
    // A frame without a label reads the last label before it.
    EXPECT_TRUE(player.TargetGotoFrame("_root.clip.inner", 3));
    EXPECT_EQ(player.TargetCurrentLabel("/clip/inner"), "end");
    EXPECT_TRUE(player.TargetGotoFrame("/clip/inner", 1));
    EXPECT_EQ(player.TargetCurrentLabel("/clip/inner"), "start");

    // call(): the frame's actions run where the clip stands, which does not move.
    EXPECT_TRUE(player.TargetCallLabel("/clip/inner", "end"));
    EXPECT_EQ(player.GetVariable("called"), "end at 2");
    EXPECT_EQ(player.TargetCurrentFrame("/clip/inner"), 1);
    EXPECT_TRUE(player.SetVariable("called", "-"));
    EXPECT_TRUE(player.TargetCallFrame("/clip/inner", 2));
    EXPECT_EQ(player.GetVariable("called"), "end at 2");

    // What names no clip, label or frame.
    EXPECT_FALSE(player.TargetGotoLabel("/clip/inner", "missing"));
    EXPECT_FALSE(player.TargetCallFrame("/clip/inner", 9));
    EXPECT_FALSE(player.TargetCallLabel("/clip/inner", "missing"));
    EXPECT_FALSE(player.TargetGotoFrame("/ghost", 0));
    EXPECT_FALSE(player.TargetPlay("/ghost"));
    EXPECT_EQ(player.TargetCurrentFrame("/ghost"), std::nullopt);
    EXPECT_EQ(player.TargetCurrentLabel("/ghost"), std::nullopt);
    EXPECT_EQ(player.TargetGetProperty("/ghost", 0), std::nullopt);

    // "" and "/" are the main timeline.
    EXPECT_TRUE(player.TargetStop("/"));
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(player.TargetPlay(""));
    EXPECT_TRUE(player.IsPlaying());

    // Properties by the actions' numbers: 0 _x, 1 _y, 4 _currentframe, 11 _target, 13 _name, 15 _url.
    EXPECT_EQ(player.TargetGetPropertyNumber("/clip", 0), 50);
    EXPECT_EQ(player.TargetGetProperty("/clip", 0), "50");
    EXPECT_EQ(player.TargetGetProperty("/clip", 1), "25");
    EXPECT_EQ(player.TargetGetProperty("/clip/inner", 4), "2");
    EXPECT_EQ(player.TargetGetProperty("/clip/inner", 11), "/clip/inner");
    EXPECT_EQ(player.TargetGetProperty("/clip/inner", 13), "inner");
    EXPECT_EQ(player.TargetGetProperty("/clip", 15), "file:///movie.swf");
    EXPECT_EQ(player.TargetGetProperty("/clip", 22), std::nullopt);
    EXPECT_EQ(player.TargetGetProperty("/clip", -1), std::nullopt);
    EXPECT_TRUE(player.TargetSetPropertyNumber("/clip", 0, 75));
    EXPECT_EQ(player.GetVariable("clip._x"), "75");
    EXPECT_TRUE(player.TargetSetProperty("/clip", 1, "12.5"));
    EXPECT_EQ(player.TargetGetPropertyNumber("/clip", 1), 12.5);
    EXPECT_TRUE(player.TargetSetProperty("/clip", 13, "renamed"));
    EXPECT_EQ(player.TargetGetProperty("/renamed", 13), "renamed");
    EXPECT_FALSE(player.TargetSetPropertyNumber("/clip", 0, 1));  // renamed: nothing there now
    EXPECT_FALSE(player.TargetSetPropertyNumber("/renamed", 30, 1));
}

// Answers ExternalInterface.call from a table by the request's second
// argument, and may call back into the player while it answers.
struct Host {
    MoviePlayer* player = nullptr;
    std::vector<std::string> requests;
    std::map<std::string, std::string> answers;
    std::function<std::string()> reenter;

    MoviePlayer::FlashCallHandler Handler() {
        return [this](const std::string& request) -> std::string {
            requests.push_back(request);
            if (reenter) return reenter();
            for (const auto& [kind, answer] : answers) {
                if (request.find("<string>" + kind + "</string>") != std::string::npos) return answer;
            }
            return {};
        };
    }
};

TEST(HostCalls, CallFunctionCarriesEveryValueKindBothWays) {
    MoviePlayer player;
    Host host;
    player.SetFlashCallHandler(host.Handler());
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    // The first frame's call reached the handler, not the event queue.
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0], Invoke("hello", "<number>1</number>"));
    for (const PlayerEvent& e : player.TakeEvents()) EXPECT_NE(e.kind, PlayerEvent::Kind::FlashCall);
    EXPECT_EQ(player.GetVariable("avail"), "true");
    EXPECT_EQ(player.GetVariable("addedEcho"), "true");

    const std::vector<std::string> values = {
        "<string>a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos;</string>",
        "<string></string>",
        "<number>-1.25</number>",
        "<true/>",
        "<false/>",
        "<null/>",
        "<undefined/>",
        "<array><property id=\"0\"><number>1</number></property><property id=\"1\"><array><property id=\"0\">"
        "<string>x</string></property></array></property></array>",
        "<object><property id=\"a\"><object><property id=\"b&amp;\"><true/></property></object></property>"
        "<property id=\"list\"><array></array></property></object>",
    };
    std::string error;
    for (const std::string& v : values) {
        EXPECT_EQ(player.CallFunction(Invoke("echo", v), error), v) << error;
    }
    // Entities written as numbers come back as the characters.
    EXPECT_EQ(player.CallFunction(Invoke("echo", "<string>&#72;&#x69;</string>"), error), "<string>Hi</string>");
    // `this` is the instance given to addCallback.
    EXPECT_EQ(player.CallFunction(Invoke("who", ""), error), "<string>owner</string>");
    EXPECT_EQ(player.CallFunction(Invoke("nobody", ""), error), std::nullopt);
    EXPECT_NE(error.find("nobody"), std::string::npos) << error;
    EXPECT_EQ(player.CallFunction("<invoke name=\"echo\"><arguments><string>x</arguments></invoke>", error),
              std::nullopt);
    EXPECT_NE(error.find("malformed"), std::string::npos) << error;
    EXPECT_EQ(player.CallFunction("not xml at all", error), std::nullopt);
    EXPECT_FALSE(error.empty());

    // ExternalInterface.call's answers become script values, arrays and objects included.
    for (const std::string& v : values) host.answers["k" + std::to_string(host.answers.size())] = v;
    for (const auto& [kind, answer] : host.answers) {
        EXPECT_EQ(player.CallFunction(Invoke("fetch", "<string>" + kind + "</string>"), error), answer) << error;
    }
    host.answers = {{"list",
                     "<array><property id=\"0\"><number>3</number></property><property id=\"1\"><object>"
                     "<property id=\"b\"><string>deep</string></property></object></property></array>"}};
    ASSERT_TRUE(player.CallFunction(Invoke("fetch", "<string>list</string>"), error)) << error;
    EXPECT_EQ(player.GetVariable("got.length"), "2");
    EXPECT_EQ(player.GetVariable("_root.got.1.b"), "deep");
    // An answer the movie cannot read is undefined.
    host.answers = {{"broken", "<array><property id=\"0\">"}};
    EXPECT_EQ(player.CallFunction(Invoke("fetch", "<string>broken</string>"), error), "<undefined/>");

    MoviePlayer empty;
    EXPECT_EQ(empty.CallFunction(Invoke("echo", ""), error), std::nullopt);
    EXPECT_FALSE(error.empty());
}

TEST(HostCalls, AHandlerCallsBackIntoThePlayerWhileTheMovieWaits) {
    MoviePlayer player;
    Host host;
    player.SetFlashCallHandler(host.Handler());
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    std::vector<std::string> seen;
    bool busy = false;
    host.reenter = [&]() -> std::string {
        busy = player.Busy();
        seen.push_back(player.GetVariable("greeting").value_or("?"));
        EXPECT_TRUE(player.SetVariable("fromHost", "set inside"));
        std::string error;
        const std::string inner = player.CallFunction(Invoke("echo", "<number>5</number>"), error).value_or(error);
        EXPECT_TRUE(player.TargetGotoFrame("/", 2));
        EXPECT_TRUE(player.TargetGotoLabel("/clip/inner", "end"));
        return "<array><property id=\"0\">" + inner + "</property></array>";
    };
    EXPECT_FALSE(player.Busy());
    std::string error;
    EXPECT_EQ(player.CallFunction(Invoke("fetch", "<string>any</string>"), error),
              "<array><property id=\"0\"><number>5</number></property></array>")
        << error;
    EXPECT_TRUE(busy);
    EXPECT_FALSE(player.Busy());
    EXPECT_EQ(seen, std::vector<std::string>{"hello"});
    EXPECT_EQ(player.GetVariable("fromHost"), "set inside");
    EXPECT_EQ(player.CurrentFrame(), 2);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.TargetCurrentFrame("/clip/inner"), 2);
    EXPECT_EQ(player.GetVariable("called"), "end at 3");  // the frame's actions ran once the outer call let them
    EXPECT_TRUE(player.HasMovie());

    // A handler that keeps calling back ends on the nesting limit, not the stack's.
    int depth = 0;
    host.reenter = [&]() -> std::string {
        ++depth;
        std::string inner;
        return player.CallFunction(Invoke("fetch", "<string>again</string>"), inner).value_or("");
    };
    EXPECT_EQ(player.CallFunction(Invoke("fetch", "<string>again</string>"), error), "<undefined/>");
    EXPECT_GT(depth, 1);
    EXPECT_LT(depth, 64);
    EXPECT_TRUE(player.HasMovie());
}

TEST(HostCalls, ScriptAccessNeverRefusesExternalInterfaceBothWays) {
    MoviePlayer player;
    Host host;
    player.SetFlashCallHandler(host.Handler());
    player.SetScriptAccess(false);
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    EXPECT_TRUE(host.requests.empty());
    EXPECT_TRUE(player.TakeEvents().empty());
    EXPECT_EQ(player.GetVariable("early"), std::nullopt);  // undefined
    EXPECT_EQ(player.GetVariable("avail"), "false");
    EXPECT_EQ(player.GetVariable("addedEcho"), "false");
    std::string error;
    EXPECT_EQ(player.CallFunction(Invoke("echo", "<true/>"), error), std::nullopt);
    EXPECT_FALSE(error.empty());

    // Allowed again, without a handler: calls queue as events and answer undefined.
    player.SetScriptAccess(true);
    player.SetFlashCallHandler(nullptr);
    ASSERT_TRUE(player.Load(ScriptedMovie()));
    EXPECT_EQ(player.GetVariable("avail"), "false");
    EXPECT_EQ(player.GetVariable("early"), std::nullopt);
    const std::vector<PlayerEvent> events = player.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, PlayerEvent::Kind::FlashCall);
    EXPECT_EQ(events[0].first, Invoke("hello", "<number>1</number>"));
    EXPECT_EQ(player.CallFunction(Invoke("echo", "<true/>"), error), "<true/>");
}

// 200 x 100 pixels with one red square of 20 pixels whose centre is at (60, 30).
std::vector<std::uint8_t> SquareMovie() {
    TagStream tags;
    tags.SetBackgroundColor({255, 255, 255});
    tags.Add(TagCode::DefineShape3, Square(1, 1000, 400, 400));
    Place(tags, 1, 1, "");
    tags.ShowFrame();
    swf::writer::MovieHeader header;
    header.frameSize = {0, 4000, 0, 2000};
    return swf::writer::BuildMovie(header, tags);
}

constexpr int kView = 400;

struct Frame {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kView * kView);
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * kView + x)]; }
};

Frame Draw(MoviePlayer& player) {
    Frame frame;
    player.Render(frame.pixels.data(), kView, kView, kView * 4);
    return frame;
}

// The square's centre drawn at (cx, cy), `hw` x `hh` pixels from there to its edges.
void ExpectSquare(MoviePlayer& player, double cx, double cy, double hw, double hh, const std::string& what) {
    const Frame f = Draw(player);
    const auto inside = [](double x, double y) { return x >= 0 && y >= 0 && x < kView && y < kView; };
    EXPECT_EQ(f.At(static_cast<int>(cx), static_cast<int>(cy)), kRed) << what;
    // Just inside and just outside each edge.
    for (const auto& [dx, dy] : std::vector<std::pair<double, double>>{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const double inX = cx + dx * (hw - 2), inY = cy + dy * (hh - 2);
        const double outX = cx + dx * (hw + 2), outY = cy + dy * (hh + 2);
        EXPECT_EQ(f.At(static_cast<int>(inX), static_cast<int>(inY)), kRed) << what << " inside " << dx << "," << dy;
        if (inside(outX, outY)) {
            EXPECT_NE(f.At(static_cast<int>(outX), static_cast<int>(outY)), kRed)
                << what << " outside " << dx << "," << dy;
        }
    }
}

TEST(HostCalls, ScaleModesAlignmentAndZoomMoveTheStageAndThePointerAlike) {
    MoviePlayer player;
    player.SetViewport(kView, kView);
    ASSERT_TRUE(player.Load(SquareMovie()));
    // The stage is 200 x 100 pixels, the view 400 x 400, the square's centre (60, 30).
    // showAll: scale min(400/200, 400/100) = 2; 400 x 200 centred, from y = 100.
    ExpectSquare(player, 120, 160, 20, 20, "showAll");
    EXPECT_EQ(Draw(player).At(200, 50), kWhite);  // a margin
    // noBorder: scale max(2, 4) = 4; 800 x 400 centred, from x = -200.
    player.SetScaleMode(MoviePlayer::ScaleMode::NoBorder);
    ExpectSquare(player, 60 * 4 - 200, 30 * 4, 40, 40, "noBorder");
    // exactFit: 2 across, 4 down, from the corner.
    player.SetScaleMode(MoviePlayer::ScaleMode::ExactFit);
    ExpectSquare(player, 120, 120, 20, 40, "exactFit");
    // noScale: one pixel per pixel, centred: from (100, 150).
    player.SetScaleMode(MoviePlayer::ScaleMode::NoScale);
    ExpectSquare(player, 160, 180, 10, 10, "noScale");
    player.SetAlignment(1 | 4);  // left, top
    ExpectSquare(player, 60, 30, 10, 10, "noScale TL");
    player.SetScaleMode(MoviePlayer::ScaleMode::ShowAll);
    ExpectSquare(player, 120, 60, 20, 20, "showAll TL");
    player.SetAlignment(2 | 8);  // right, bottom: from y = 400 - 200
    ExpectSquare(player, 120, 260, 20, 20, "showAll BR");
    player.SetAlignment(0);

    // Zoom 50: half the stage around its centre (100, 50), twice as large
    // again (4 per pixel), drawn where the stage's centre is (200, 200).
    player.Zoom(50);
    ExpectSquare(player, (60 - 100) * 4 + 200, (30 - 50) * 4 + 200, 40, 40, "zoom 50");
    // Pan by -10% of the 100 pixels shown: their centre moves to x = 90.
    player.Pan(-10, 0, 1);
    ExpectSquare(player, (60 - 90) * 4 + 200, (30 - 50) * 4 + 200, 40, 40, "pan");
    // Pan by pixels of the view: 40 view pixels are 10 stage pixels; far
    // beyond, the shown part stops at the stage's left edge (centre x = 50).
    player.Pan(-40, 0, 0);
    ExpectSquare(player, (60 - 80) * 4 + 200, 120, 40, 40, "pan pixels");
    player.Pan(-4000, 0, 0);
    ExpectSquare(player, (60 - 50) * 4 + 200, 120, 40, 40, "pan to the edge");
    player.Zoom(0);
    ExpectSquare(player, 120, 160, 20, 20, "zoom reset");
    // The top left quarter in twips: centre (50, 25), scale 4.
    player.SetZoomRect(0, 0, 2000, 1000);
    ExpectSquare(player, (60 - 50) * 4 + 200, (30 - 25) * 4 + 200, 40, 40, "zoom rect");
    // The pointer meets the stage where it is drawn.
    player.PointerMove((60 - 50) * 4 + 200, (30 - 25) * 4 + 200);
    EXPECT_EQ(player.TargetGetPropertyNumber("/", 20), 60);  // _xmouse
    EXPECT_EQ(player.TargetGetPropertyNumber("/", 21), 30);  // _ymouse
    player.SetZoomRect(0, 0, 0, 0);
    ExpectSquare(player, 120, 160, 20, 20, "zoom rect reset");

    // The host's background instead of the movie's, in the margins too.
    player.SetBackgroundOverride(0x0000FF);
    EXPECT_EQ(Draw(player).At(200, 50), 0xFF0000FFu);
    EXPECT_EQ(player.BackgroundColor(), 0x0000FFu);
    player.SetBackgroundOverride(-1);
    EXPECT_EQ(Draw(player).At(200, 50), kWhite);
}

}  // namespace
}  // namespace control
