// Many script-driven clips: frame 1 attaches kMovingClips copies of an
// exported sprite and gives each an onEnterFrame that moves it, as a
// compiler writes `this._x += this.vx` with `this` in a register.

#include "tools/moviegen/movies.h"

#include <string>

#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;
constexpr std::uint16_t kDotShape = 1;
constexpr std::uint16_t kDotSprite = 2;
constexpr int kDotSize = 16;  // pixels

// The dot's edges are where its position may go before it turns back.
constexpr double kRight = kClipsWidth - kDotSize;
constexpr double kBottom = kClipsHeight - kDotSize;

// One axis of the move, `this` in register 1:
// this.<pos> += this.<speed>; if (this.<pos> < 0 || this.<pos> > limit) this.<speed> = -this.<speed>;
void MoveAxis(ActionAssembler& a, const std::string& pos, const std::string& speed, double limit) {
    a.PushRegister(1).PushString(pos);
    a.PushRegister(1).PushString(pos).Action(ActionCode::GetMember);
    a.PushRegister(1).PushString(speed).Action(ActionCode::GetMember);
    a.Action(ActionCode::Add2).Action(ActionCode::SetMember);
    const std::string turn = "turn_" + pos, keep = "keep_" + pos;
    a.PushRegister(1).PushString(pos).Action(ActionCode::GetMember).PushNumber(0).Action(ActionCode::Less2);
    a.If(turn);
    a.PushRegister(1).PushString(pos).Action(ActionCode::GetMember).PushNumber(limit).Action(ActionCode::Greater);
    a.If(turn).Jump(keep);
    a.Label(turn);
    a.PushRegister(1).PushString(speed).PushNumber(0);
    a.PushRegister(1).PushString(speed).Action(ActionCode::GetMember).Action(ActionCode::Subtract);
    a.Action(ActionCode::SetMember);
    a.Label(keep);
}

ActionAssembler MoveBody() {
    ActionAssembler b;
    MoveAxis(b, "_x", "vx", kRight);
    MoveAxis(b, "_y", "vy", kBottom);
    return b;
}

// c.<member> = (i * factor) % modulus + offset
void SetFromIndex(ActionAssembler& a, const std::string& member, double factor, double modulus, double offset) {
    a.PushString("c").Action(ActionCode::GetVariable).PushString(member);
    a.PushString("i").Action(ActionCode::GetVariable).PushNumber(factor).Action(ActionCode::Multiply);
    a.PushNumber(modulus).Action(ActionCode::Modulo).PushNumber(offset).Action(ActionCode::Add2);
    a.Action(ActionCode::SetMember);
}

// move = function () {...};
// for (i = 0; i < kMovingClips; i++) {
//     c = attachMovie("dot", "dot" + i, i + 1);
//     c._x = ...; c._y = ...; c.vx = ...; c.vy = ...; c.onEnterFrame = move;
// }
// frames = 0;
// this.onEnterFrame = function () { if (++frames == framesBeforeClose) ExternalInterface.call("close"); };
// stop();
ActionAssembler StartUp(int framesBeforeClose) {
    ActionAssembler a;
    constexpr std::uint16_t kPreloadThis = 0x0001, kSuppressArguments = 0x0008, kSuppressSuper = 0x0020;
    a.PushString("move").DefineFunction2("", 2, kPreloadThis | kSuppressArguments | kSuppressSuper, {}, MoveBody());
    a.Action(ActionCode::SetVariable);

    a.PushString("i").PushNumber(0).Action(ActionCode::SetVariable);
    a.Label("loop");
    a.PushString("i").Action(ActionCode::GetVariable).PushNumber(kMovingClips).Action(ActionCode::Less2);
    a.Action(ActionCode::Not).If("placed");
    a.PushString("c");
    a.PushString("i").Action(ActionCode::GetVariable).PushNumber(1).Action(ActionCode::Add2);
    a.PushString("dot").PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Add2);
    a.PushString("dot").PushNumber(3).PushString("this").Action(ActionCode::GetVariable);
    a.PushString("attachMovie").Action(ActionCode::CallMethod).Action(ActionCode::SetVariable);
    SetFromIndex(a, "_x", 37, kRight, 0);
    SetFromIndex(a, "_y", 53, kBottom, 0);
    SetFromIndex(a, "vx", 1, 7, -3.5);  // -3.5 .. 2.5 pixels a frame, never 0
    SetFromIndex(a, "vy", 1, 5, -2.5);
    a.PushString("c").Action(ActionCode::GetVariable).PushString("onEnterFrame");
    a.PushString("move").Action(ActionCode::GetVariable).Action(ActionCode::SetMember);
    a.PushString("i").PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Increment);
    a.Action(ActionCode::SetVariable);
    a.Jump("loop");
    a.Label("placed");

    a.PushString("frames").PushNumber(0).Action(ActionCode::SetVariable);  // undefined + 1 is NaN from version 7 on
    ActionAssembler count;
    count.PushString("frames").PushString("frames").Action(ActionCode::GetVariable).Action(ActionCode::ToNumber);
    count.Action(ActionCode::Increment).Action(ActionCode::SetVariable);
    count.PushString("frames")
        .Action(ActionCode::GetVariable)
        .PushNumber(framesBeforeClose)
        .Action(ActionCode::Equals2);
    count.Action(ActionCode::Not).If("later").ExternalInterfaceCall("close").Label("later");
    a.PushString("this").Action(ActionCode::GetVariable).PushString("onEnterFrame");
    a.DefineFunction("", {}, count).Action(ActionCode::SetMember);
    a.Action(ActionCode::Stop);
    return a;
}

}  // namespace

std::vector<std::uint8_t> BuildClipsMovie(int framesBeforeClose) {
    ShapeBuilder dot;
    LineStyle outline;
    outline.color = Rgba{20, 40, 90};
    const std::uint16_t line = dot.AddLine(outline);
    const std::uint16_t fill = dot.AddFill(FillStyle::Solid(Rgba{60, 140, 230}));
    constexpr std::int32_t r = kDotSize / 2 * kTwips;
    dot.Ellipse(r, r, r, r, fill, line);

    TagStream dotTimeline;
    PlaceObject shape;
    shape.depth = 1;
    shape.characterId = kDotShape;
    dotTimeline.PlaceObject2(shape);
    dotTimeline.ShowFrame();

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.Add(TagCode::DefineShape, dot.DefineShapeBody(kDotShape, 1));
    tags.DefineSprite(kDotSprite, dotTimeline);
    tags.ExportAssets({{kDotSprite, "dot"}});
    tags.DoAction(StartUp(framesBeforeClose).Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, kClipsWidth * kTwips, 0, kClipsHeight * kTwips};
    header.frameRate = 30;
    return BuildMovie(header, tags);
}

}  // namespace moviegen
