// Movies written to freeze or exhaust a player: endless handlers on a
// thousand clips, endless callbacks of every kind, a variables load that
// reloads itself forever, and a movie that loads itself into a new level
// every frame. The player must keep its window working with each.

#include "tools/moviegen/movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;

// A 400 x 300 stage of a light colour that the tests look for.
std::vector<std::uint8_t> Finish(TagStream& tags) {
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 400 * kTwips, 0, 300 * kTwips};
    header.frameRate = 12;
    return BuildMovie(header, tags);
}

TagStream Start() {
    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{kHostileRed, kHostileGreen, kHostileBlue});
    return tags;
}

ActionAssembler Endless() {
    ActionAssembler body;
    body.Label("top").Jump("top");
    return body;
}

// object.member = function () { <body> }.
void SetFunction(ActionAssembler& a, const std::string& object, const std::string& member,
                 const ActionAssembler& body) {
    a.PushString(object).Action(ActionCode::GetVariable).PushString(member);
    a.DefineFunction("", {}, body);
    a.Action(ActionCode::SetMember);
}

// name = new Object().
void NewObject(ActionAssembler& a, const std::string& name) {
    a.PushString(name).PushNumber(0).PushString("Object").Action(ActionCode::NewObject).Action(ActionCode::SetVariable);
}

}  // namespace

std::vector<std::uint8_t> BuildEndlessHandlersMovie() {
    TagStream tags = Start();
    tags.DefineSprite(10, TagStream{});
    ClipEventHandler enterFrame;
    enterFrame.events = 2;  // enterFrame
    enterFrame.actions = Endless().Finish();
    for (std::uint16_t depth = 1; depth <= 1000; ++depth) {
        PlaceObject place;
        place.depth = depth;
        place.characterId = 10;
        place.clipActions = {enterFrame};
        tags.PlaceObject2(place);
    }
    tags.ShowFrame();
    tags.ShowFrame();
    return Finish(tags);
}

std::vector<std::uint8_t> BuildEndlessCallbacksMovie() {
    ActionAssembler script;
    script.Action(ActionCode::Stop);
    // setInterval(endless, 10)
    script.PushNumber(10);
    script.DefineFunction("", {}, Endless());
    script.PushNumber(2).PushString("setInterval").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    // Mouse and Key listeners that never return.
    NewObject(script, "listener");
    SetFunction(script, "listener", "onMouseMove", Endless());
    SetFunction(script, "listener", "onKeyDown", Endless());
    for (const char* source : {"Mouse", "Key"}) {
        script.PushString("listener").Action(ActionCode::GetVariable).PushNumber(1).PushString(source);
        script.Action(ActionCode::GetVariable).PushString("addListener").Action(ActionCode::CallMethod);
        script.Action(ActionCode::Pop);
    }
    // trap.addProperty("value", endless, null), read by _root.onEnterFrame.
    NewObject(script, "trap");
    script.PushNull();
    script.DefineFunction("", {}, Endless());
    script.PushString("value").PushNumber(3).PushString("trap").Action(ActionCode::GetVariable);
    script.PushString("addProperty").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    ActionAssembler read;
    read.PushString("got").PushString("trap").Action(ActionCode::GetVariable).PushString("value");
    read.Action(ActionCode::GetMember).Action(ActionCode::SetVariable);
    SetFunction(script, "_root", "onEnterFrame", read);
    TagStream tags = Start();
    tags.DoAction(script.Finish());
    tags.ShowFrame();
    return Finish(tags);
}

std::vector<std::uint8_t> BuildReloadingDataMovie() {
    // vars.onData = function (src) { var copy = src; this.load("big.txt"); };
    ActionAssembler reload;
    reload.PushString("copy").PushString("src").Action(ActionCode::GetVariable).Action(ActionCode::DefineLocal);
    reload.PushString("big.txt").PushNumber(1).PushString("this").Action(ActionCode::GetVariable);
    reload.PushString("load").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    ActionAssembler script;
    script.Action(ActionCode::Stop);
    script.PushString("vars").PushNumber(0).PushString("LoadVars").Action(ActionCode::NewObject);
    script.Action(ActionCode::SetVariable);
    script.PushString("vars").Action(ActionCode::GetVariable).PushString("onData");
    script.DefineFunction("", {"src"}, reload);
    script.Action(ActionCode::SetMember);
    script.PushString("big.txt").PushNumber(1).PushString("vars").Action(ActionCode::GetVariable);
    script.PushString("load").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    TagStream tags = Start();
    tags.DoAction(script.Finish());
    tags.ShowFrame();
    return Finish(tags);
}

std::vector<std::uint8_t> BuildLevelLoaderMovie() {
    // if (_level0 == this) { n = n + 1; loadMovieNum("UserGuide.swf", n); }:
    // only the main movie loads (its own file, as the guide names it), one
    // level more each frame.
    ActionAssembler script;
    script.PushString("_level0").Action(ActionCode::GetVariable).PushString("this").Action(ActionCode::GetVariable);
    script.Action(ActionCode::Equals2).Action(ActionCode::Not).If("done");
    script.PushString("n").PushString("n").Action(ActionCode::GetVariable).Action(ActionCode::Increment);
    script.Action(ActionCode::SetVariable);
    script.PushString("UserGuide.swf");
    script.PushString("_level").PushString("n").Action(ActionCode::GetVariable).Action(ActionCode::Add2);
    script.GetURL2(0x40);
    script.Label("done");
    TagStream tags = Start();
    tags.DoAction(script.Finish());
    tags.ShowFrame();
    return Finish(tags);
}

}  // namespace moviegen
