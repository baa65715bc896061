// AsBroadcaster, Color, System.setClipboard and updateAfterEvent, checked
// against what the language reference defines for them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;

namespace {

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

Lines TraceLines(Machine& m, const ActionAssembler& a) {
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    return t.lines;
}

// a + "," + b + ...
Expr Join(std::vector<Expr> parts) {
    Expr out = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) out = Add(Add(out, S(",")), parts[i]);
    return out;
}

// log = log + text
void Log(ActionAssembler& a, Expr text) { Let(a, "log", Add(V("log"), text)); }

}  // namespace

TEST(AsBroadcasterClass, ListenersHearMessagesWithArgumentsAndMayRemoveThemselves) {
    Machine m;
    ActionAssembler a;
    Let(a, "log", S(""));
    Let(a, "b", Obj({}));
    Do(a, CallM(V("AsBroadcaster"), "initialize", {V("b")}));
    Trace(a, M(M(V("b"), "_listeners"), "length"));
    Trace(a, CallM(V("b"), "isPropertyEnumerable", {S("_listeners")}));
    Trace(a, CallM(V("b"), "isPropertyEnumerable", {S("addListener")}));
    // The first listener removes itself while the message is going out; the
    // second must still hear it.
    Let(a, "one", Obj({}));
    SetM(a, V("one"), "onPing", Fn({"x"}, Body([](ActionAssembler& b) {
                                       Log(b, Add(Add(S("1:"), V("x")), S(";")));
                                       Do(b, CallM(V("b"), "removeListener", {V("this")}));
                                   })));
    Let(a, "two", Obj({}));
    SetM(a, V("two"), "onPing",
         Fn({"x", "y"}, Body([](ActionAssembler& b) { Log(b, Add(Add(Add(S("2:"), V("x")), V("y")), S(";"))); })));
    Trace(a, CallM(V("b"), "addListener", {V("one")}));
    Do(a, CallM(V("b"), "addListener", {V("two")}));
    Do(a, CallM(V("b"), "addListener", {V("one")}));  // already there: not added again
    Trace(a, M(M(V("b"), "_listeners"), "length"));
    Do(a, CallM(V("b"), "broadcastMessage", {S("onPing"), S("a"), S("b")}));
    Trace(a, V("log"));
    Trace(a, M(M(V("b"), "_listeners"), "length"));
    Let(a, "log", S(""));
    Do(a, CallM(V("b"), "broadcastMessage", {S("onPing"), S("c"), S("d")}));
    Trace(a, V("log"));
    Trace(a, CallM(V("b"), "removeListener", {V("one")}));
    Trace(a, CallM(V("b"), "removeListener", {V("two")}));
    // A message nobody has a method for is no error.
    Do(a, CallM(V("b"), "addListener", {Obj({})}));
    Do(a, CallM(V("b"), "broadcastMessage", {S("onNothing")}));
    // AsBroadcaster's own methods work on AsBroadcaster itself.
    Let(a, "log", S(""));
    Do(a, CallM(V("AsBroadcaster"), "addListener", {V("two")}));
    Do(a, CallM(V("AsBroadcaster"), "broadcastMessage", {S("onPing"), S("e"), S("f")}));
    Trace(a, V("log"));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"0", "false", "false", "true", "2", "1:a;2:ab;", "1", "2:cd;", "false", "true", "2:ef;"}));
}

TEST(AsBroadcasterClass, AListenerBroadcastingToItselfStopsAtTheCallDepthLimit) {
    Machine m;
    ActionAssembler a;
    Let(a, "b", Obj({}));
    Do(a, CallM(V("AsBroadcaster"), "initialize", {V("b")}));
    Let(a, "echo", Obj({}));
    SetM(a, V("echo"), "onEcho",
         Fn({}, Body([](ActionAssembler& b) { Do(b, CallM(V("b"), "broadcastMessage", {S("onEcho")})); })));
    Do(a, CallM(V("b"), "addListener", {V("echo")}));
    Do(a, CallM(V("b"), "broadcastMessage", {S("onEcho")}));
    EXPECT_EQ(m.Run(a), RunStatus::CallDepthLimit);
}

TEST(AsBroadcasterClass, KeyListenersStillHearThePlayersEvents) {
    Machine m;
    ActionAssembler a;
    Let(a, "log", S(""));
    Let(a, "l", Obj({}));
    SetM(a, V("l"), "onKeyDown", Fn({}, Body([](ActionAssembler& b) { Log(b, S("down;")); })));
    Do(a, CallM(V("Key"), "addListener", {V("l")}));
    Do(a, CallM(V("Key"), "addListener", {V("l")}));
    ASSERT_EQ(m.Run(a), RunStatus::Completed);
    m.vm.Broadcast("Key", "onKeyDown", m.host);
    EXPECT_EQ(m.Var("log"), "string:down;");
}

TEST(ColorClass, SetRgbReplacesTheColourAndSetTransformChangesOnlyWhatIsGiven) {
    Machine m;
    FakeTarget clip("mc");
    m.target.children["mc"] = &clip;
    m.vm.SetRoot(&m.target);
    clip.colors.alphaMult = 0.5;
    ActionAssembler a;
    Let(a, "c", New("Color", {V("mc")}));
    Do(a, CallM(V("c"), "setRGB", {N(0x336699)}));
    Let(a, "t", CallM(V("c"), "getTransform"));
    Trace(a, Join({M(V("t"), "ra"), M(V("t"), "rb"), M(V("t"), "ga"), M(V("t"), "gb"), M(V("t"), "ba"), M(V("t"), "bb"),
                   M(V("t"), "aa"), M(V("t"), "ab")}));
    Trace(a, CallM(V("c"), "getRGB"));
    Do(a, CallM(V("c"), "setTransform", {Obj({{"ra", N(50)}, {"bb", N(-20)}})}));
    // By path, from the main timeline.
    Do(a, CallM(New("Color", {S("mc")}), "setTransform", {Obj({{"ab", N(-10)}})}));
    // Not a clip: nothing to act on.
    Trace(a, CallM(New("Color", {Obj({})}), "getRGB"));
    Do(a, CallM(New("Color"), "setRGB", {N(1)}));
    // setRGB: red 0x33 = 51, green 0x66 = 102, blue 0x99 = 153 as offsets,
    // the colour multipliers 0; alpha keeps its 50%.
    EXPECT_EQ(TraceLines(m, a), (Lines{"0,51,0,102,0,153,50,0", std::to_string(0x336699), "undefined"}));
    EXPECT_DOUBLE_EQ(clip.colors.redMult, 0.5);  // ra 50%
    EXPECT_DOUBLE_EQ(clip.colors.redAdd, 51);
    EXPECT_DOUBLE_EQ(clip.colors.greenMult, 0);
    EXPECT_DOUBLE_EQ(clip.colors.blueAdd, -20);
    EXPECT_DOUBLE_EQ(clip.colors.alphaMult, 0.5);
    EXPECT_DOUBLE_EQ(clip.colors.alphaAdd, -10);
}

TEST(SystemFunctions, SetClipboardKeepsTheTextForThePlayerAndUpdateAfterEventIsAFunction) {
    Machine m;
    ActionAssembler a;
    Do(a, CallM(V("System"), "setClipboard", {S("copied")}));
    Trace(a, TypeOf(V("updateAfterEvent")));
    Trace(a, TypeOf(CallF("updateAfterEvent")));
    EXPECT_EQ(TraceLines(m, a), (Lines{"function", "undefined"}));
    EXPECT_EQ(m.vm.TakeClipboardText(), std::optional<std::string>("copied"));
    EXPECT_EQ(m.vm.TakeClipboardText(), std::nullopt);
}

TEST(ColorClass, AGetterCallingSetTransformAgainStopsAtTheCallDepthLimit) {
    Machine m;
    FakeTarget clip("mc");
    m.target.children["mc"] = &clip;
    ActionAssembler a;
    Let(a, "c", New("Color", {V("mc")}));
    Let(a, "change", Obj({}));
    Do(a, CallM(V("change"), "addProperty",
                {S("ra"),
                 Fn({}, Body([](ActionAssembler& b) { Return(b, CallM(V("c"), "setTransform", {V("change")})); })),
                 Null()}));
    Do(a, CallM(V("c"), "setTransform", {V("change")}));
    EXPECT_EQ(m.Run(a), RunStatus::CallDepthLimit);
}
