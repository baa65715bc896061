// A movie laid out as ActionScript 2 compilers lay out classes: an exported
// sprite whose init actions define the classes on _global, and a first frame
// that uses them and reports to the host.

#include "tools/moviegen/movies.h"
#include "tools/moviegen/script_pieces.h"

#include <string>
#include <utility>

#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;
constexpr std::uint16_t kCounterSprite = 1;

ActionAssembler CounterConstructor() {
    // function (start) { this._count = start; Counter.made = Counter.made + 1; }
    ActionAssembler b;
    Get(b, "this").PushString("_count");
    Get(b, "start").Action(ActionCode::SetMember);
    Class(b, "Counter").PushString("made");
    Member(Class(b, "Counter"), "made").PushNumber(1).Action(ActionCode::Add2).Action(ActionCode::SetMember);
    return b;
}

ActionAssembler StepConstructor() {
    // function (start, step) { super(start); this.step = step; } with
    // `this` in register 1, `super` in 2, start in 3 and step in 4.
    ActionAssembler b;
    b.PushRegister(3).PushNumber(1).PushRegister(2).PushUndefined().Action(ActionCode::CallMethod);
    b.Action(ActionCode::Pop);
    b.PushRegister(1).PushString("step").PushRegister(4).Action(ActionCode::SetMember);
    return b;
}

// The classes, as the init actions of the exported Counter sprite.
ActionAssembler ClassDefinitions() {
    ActionAssembler a;
    // _global.Counter = function (start) {...}; Counter.made = 0;
    Get(a, "_global").PushString("Counter").DefineFunction("", {"start"}, CounterConstructor());
    a.Action(ActionCode::SetMember);
    Class(a, "Counter").PushString("made").PushNumber(0).Action(ActionCode::SetMember);
    // var p = Counter.prototype;
    a.PushString("p");
    Member(Class(a, "Counter"), "prototype").Action(ActionCode::DefineLocal);
    // p.increment = function () { this._count = this._count + 1; return this._count; }
    ActionAssembler increment;
    Get(increment, "this").PushString("_count");
    This(increment, "_count").PushNumber(1).Action(ActionCode::Add2).Action(ActionCode::SetMember);
    This(increment, "_count").Action(ActionCode::Return);
    Get(a, "p").PushString("increment").DefineFunction("", {}, increment).Action(ActionCode::SetMember);
    // p.addProperty("count", function () { return this._count; }, function (v) { this._count = v; })
    ActionAssembler getter;
    This(getter, "_count").Action(ActionCode::Return);
    ActionAssembler setter;
    Get(setter, "this").PushString("_count");
    Get(setter, "v").Action(ActionCode::SetMember);
    a.DefineFunction("", {"v"}, setter).DefineFunction("", {}, getter).PushString("count").PushNumber(3);
    Get(a, "p").PushString("addProperty").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    // ASSetPropFlags(p, null, 1): the methods stay out of for..in.
    a.PushNumber(1).PushNull();
    Get(a, "p").PushNumber(3).PushString("ASSetPropFlags").Action(ActionCode::CallFunction).Action(ActionCode::Pop);

    // _global.StepCounter = function (start, step) {...}; StepCounter extends Counter.
    Get(a, "_global").PushString("StepCounter");
    a.DefineFunction2("", 5, 0x0001 | 0x0010, {{3, "start"}, {4, "step"}}, StepConstructor());
    a.Action(ActionCode::SetMember);
    Class(a, "StepCounter");
    Class(a, "Counter").Action(kExtendsAction);
    // StepCounter.prototype.increment = function () { this.count = this.count + this.step; return this.count; }
    ActionAssembler step;
    Get(step, "this").PushString("count");
    This(step, "count");
    This(step, "step").Action(ActionCode::Add2).Action(ActionCode::SetMember);
    This(step, "count").Action(ActionCode::Return);
    Member(Class(a, "StepCounter"), "prototype").PushString("increment").DefineFunction("", {}, step);
    a.Action(ActionCode::SetMember);
    // Object.registerClass("CounterSymbol", Counter)
    RegisterClass(a, "CounterSymbol", "Counter");
    return a;
}

// Frame 1: var c = new StepCounter(10, 5); c.increment(); c.count = c.count + 1;
// var m = attachMovie("CounterSymbol", "m", 5, {step: 3});
ActionAssembler StartUp() {
    ActionAssembler a;
    a.PushString("c").PushNumber(5).PushNumber(10).PushNumber(2).PushString("StepCounter");
    a.Action(ActionCode::NewObject).Action(ActionCode::DefineLocal);
    a.PushNumber(0);
    Get(a, "c").PushString("increment").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    Get(a, "c").PushString("count");
    Member(Get(a, "c"), "count").PushNumber(1).Action(ActionCode::Add2).Action(ActionCode::SetMember);
    a.PushString("m");
    a.PushString("step").PushNumber(3).PushNumber(1).Action(ActionCode::InitObject);
    a.PushNumber(5).PushString("m").PushString("CounterSymbol").PushNumber(4);
    Get(a, "this").PushString("attachMovie").Action(ActionCode::CallMethod).Action(ActionCode::SetVariable);
    return a;
}

// Frame 2, once the clip placed on frame 1 was constructed:
// ExternalInterface.call("classReady", c.count, Counter.made, c instanceof Counter,
//                        m.step, m instanceof Counter, placed instanceof Counter);
ActionAssembler Report() {
    ActionAssembler a;
    // Arguments last first, then the name and the count.
    Get(a, "placed");
    Get(a, "Counter").Action(kInstanceOfAction);
    Get(a, "m");
    Get(a, "Counter").Action(kInstanceOfAction);
    Member(Get(a, "m"), "step");
    Get(a, "c");
    Get(a, "Counter").Action(kInstanceOfAction);
    Member(Get(a, "Counter"), "made");
    Member(Get(a, "c"), "count");
    a.PushString("classReady").PushNumber(7);
    Member(Member(Get(a, "flash"), "external"), "ExternalInterface").PushString("call");
    a.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    a.Action(ActionCode::Stop);
    return a;
}

}  // namespace

std::vector<std::uint8_t> BuildClassMovie() {
    TagStream counterTimeline;
    counterTimeline.ShowFrame();
    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.DefineSprite(kCounterSprite, counterTimeline);
    tags.ExportAssets({{kCounterSprite, "CounterSymbol"}});
    tags.DoInitAction(kCounterSprite, ClassDefinitions().Finish());
    tags.DoAction(StartUp().Finish());
    PlaceObject placed;
    placed.depth = 1;
    placed.characterId = kCounterSprite;
    placed.name = "placed";
    tags.PlaceObject2(placed);
    tags.ShowFrame();
    tags.DoAction(Report().Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 200 * kTwips, 0, 100 * kTwips};
    header.frameRate = 12;
    return BuildMovie(header, tags);
}

}  // namespace moviegen
