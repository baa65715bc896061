// Malformed and hostile code ends its block cleanly: no crash, no hang, no
// unbounded memory.

#include <gtest/gtest.h>

#include "swf/actions/action_codes.h"
#include "tests/actions/fakes.h"

using namespace actions_test;
using swf::actions::RunStatus;
using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

namespace {

// A block using most record kinds: pool, pushes of every type, a function
// with a body, DefineFunction2, branches, GetURL, goto.
std::vector<std::uint8_t> RichProgram() {
    ActionAssembler body;
    body.PushString("a")
        .Action(ActionCode::GetVariable)
        .PushRegister(1)
        .Action(ActionCode::Add2)
        .Action(ActionCode::Return);
    ActionAssembler a;
    a.ConstantPool({"x", "y", "hello"});
    a.PushConstant(0).PushConstant(2).Action(ActionCode::SetVariable);
    a.PushFloat(1.5f).PushNumber(2.25).PushNumber(7).PushBool(true).PushNull().PushUndefined().PushRegister(0);
    a.DefineFunction("f", {"a"}, body);
    a.DefineFunction2("g", 3, 0x0001, {{2, "p"}}, body);
    a.Label("loop");
    a.PushString("y").Action(ActionCode::GetVariable).PushNumber(3).Action(ActionCode::Less2).If("out");
    a.GetURL("FSCommand:quit", "now").GotoFrame(2).GotoLabel("intro").SetTarget("");
    a.PushNumber(1).PushNumber(1).PushString("f").Action(ActionCode::CallFunction);
    a.Label("out");
    a.ExternalInterfaceCall("close", {"bye"});
    return a.Finish();
}

}  // namespace

TEST(ActionRobustness, TruncatedAtEveryLength) {
    std::vector<std::uint8_t> program = RichProgram();
    for (std::size_t n = 0; n <= program.size(); ++n) {
        Machine m;
        std::vector<std::uint8_t> cut(program.begin(), program.begin() + static_cast<std::ptrdiff_t>(n));
        RunStatus status = m.RunBytes(cut);
        EXPECT_NE(status, RunStatus::ActionLimit) << "length " << n;
    }
    Machine whole;
    EXPECT_EQ(whole.RunBytes(program), RunStatus::Completed);
    EXPECT_EQ(whole.host.requests.size(), 1u);
    // A record whose length runs past the end is malformed, not read out of bounds.
    Machine m;
    EXPECT_EQ(m.RunBytes({0x96, 0x10, 0x00, 0x00, 'a'}), RunStatus::Malformed);
    EXPECT_EQ(m.RunBytes({0x96, 0x05, 0x00, 0x00, 'a', 'b', 'c', 'd'}), RunStatus::Malformed);  // no terminator
    EXPECT_EQ(m.RunBytes({0x96, 0x02, 0x00, 0x06, 0x00}), RunStatus::Malformed);                // short double
    EXPECT_EQ(m.RunBytes({0x96, 0x01, 0x00, 0x42}), RunStatus::Malformed);                      // unknown type
}

TEST(ActionRobustness, BadJumpsAndUnknownActions) {
    Machine m;
    EXPECT_EQ(m.Run(ActionAssembler().JumpBy(1000)), RunStatus::Malformed);
    EXPECT_EQ(m.Run(ActionAssembler().JumpBy(-1000)), RunStatus::Malformed);
    EXPECT_EQ(m.Run(ActionAssembler().PushBool(true).Action(0x9D, {0x00, 0x7F})), RunStatus::Malformed);
    // Effects before the fault stay.
    ActionAssembler before;
    before.PushString("done").PushNumber(1).Action(ActionCode::SetVariable).JumpBy(-200);
    EXPECT_EQ(m.Run(before), RunStatus::Malformed);
    EXPECT_EQ(m.Var("done"), "number:1");

    // Unknown codes are skipped by their length, short ones by one byte.
    ActionAssembler unknown;
    unknown.Action(0x77).Action(0xC0, {1, 2, 3, 4}).Action(0x24);
    unknown.PushString("after").PushNumber(2).Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(unknown), RunStatus::Completed);
    EXPECT_EQ(m.Var("after"), "number:2");
    // Each unknown code is told once, however often it runs.
    EXPECT_EQ(m.Run(unknown), RunStatus::Completed);
    EXPECT_EQ(m.vm.TakeUnsupported(),
              (std::vector<std::string>{"action 0x77 is not known to this player and is skipped",
                                        "action 0xC0 is not known to this player and is skipped"}));

    // Every action of the op list reaches a handler of its own.
    const std::uint8_t known[] = {
#define KNOWN_CODE(name, code) code,
        SWF_ACTION_OPS(KNOWN_CODE)
#undef KNOWN_CODE
    };
    for (std::uint8_t code : known) {
        Machine each;
        each.RunBytes(code >= 0x80 ? std::vector<std::uint8_t>{code, 0, 0} : std::vector<std::uint8_t>{code});
        for (const std::string& note : each.vm.TakeUnsupported())
            EXPECT_EQ(note.find("is not known"), std::string::npos) << note;
    }

    // A function body claiming more bytes than the block holds.
    EXPECT_EQ(m.RunBytes({0x9B, 0x05, 0x00, 'f', 0, 0, 0, 0x40, 0x00}), RunStatus::Malformed);
}

TEST(ActionRobustness, EndlessLoopsAndRecursionAreBounded) {
    Machine m;
    ActionAssembler loop;
    loop.Label("top").PushString("n").PushNumber(1).Action(ActionCode::SetVariable).Jump("top");
    EXPECT_EQ(m.Run(loop), RunStatus::ActionLimit);
    EXPECT_EQ(m.Var("n"), "number:1");

    // The limit counts actions inside function bodies too.
    Machine small(8, {.maxActions = 1000});
    ActionAssembler spin;
    spin.Label("top").Jump("top");
    ActionAssembler callsSpin;
    callsSpin.DefineFunction("spin", {}, spin).PushNumber(0).PushString("spin").Action(ActionCode::CallFunction);
    EXPECT_EQ(small.Run(callsSpin), RunStatus::ActionLimit);

    // function f() { return f(); }
    ActionAssembler recurse;
    recurse.PushNumber(0).PushString("f").Action(ActionCode::CallFunction).Action(ActionCode::Return);
    ActionAssembler a;
    a.DefineFunction("f", {}, recurse).PushNumber(0).PushString("f").Action(ActionCode::CallFunction);
    EXPECT_EQ(m.Run(a), RunStatus::CallDepthLimit);

    // The machine is still usable after a cut-short block.
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { x.PushNumber(2).PushNumber(3).Action(ActionCode::Multiply); }),
              "number:6");
}

TEST(ActionRobustness, StackUnderflowAndResourceLimits) {
    Machine m;
    ActionAssembler empty;
    empty.Action(ActionCode::Add2).Action(ActionCode::Pop).Action(ActionCode::Pop).Action(ActionCode::SetVariable);
    empty.Action(ActionCode::CallMethod).Action(ActionCode::GetMember).Action(ActionCode::InitArray);
    empty.Action(ActionCode::InitObject).Action(ActionCode::NewObject).Action(ActionCode::Return);
    EXPECT_EQ(m.Run(empty), RunStatus::Completed);

    // Counts larger than the stack take what is there.
    ActionAssembler huge;
    huge.PushNumber(1).PushNumber(1e9).Action(ActionCode::InitArray).StoreRegister(0).Action(ActionCode::Pop);
    huge.PushString("r").PushRegister(0).Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(huge), RunStatus::Completed);
    EXPECT_EQ(m.Var("r"), "object:1");

    // s = s + s, forever: the string limit stops it, not the allocator.
    ActionAssembler grow;
    grow.PushString("s").PushString("0123456789abcdef").Action(ActionCode::SetVariable);
    grow.Label("top");
    grow.PushString("s")
        .PushString("s")
        .Action(ActionCode::GetVariable)
        .PushString("s")
        .Action(ActionCode::GetVariable);
    grow.Action(ActionCode::Add2).Action(ActionCode::SetVariable).Jump("top");
    EXPECT_EQ(m.Run(grow), RunStatus::ResourceLimit);

    // Pushing without end hits the stack limit.
    ActionAssembler pushes;
    pushes.Label("top").PushNumber(1).Jump("top");
    EXPECT_EQ(m.Run(pushes), RunStatus::ResourceLimit);

    // An array holding itself still converts to text.
    EXPECT_EQ(m.Eval([](ActionAssembler& x) {
                   x.PushString("a").PushNumber(0).Action(ActionCode::InitArray).Action(ActionCode::SetVariable);
                   x.PushString("a")
                       .Action(ActionCode::GetVariable)
                       .PushString("0")
                       .PushString("a")
                       .Action(ActionCode::GetVariable);
                   x.Action(ActionCode::SetMember);
                   x.PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::ToString);
               }).substr(0, 7),
              "string:");
}

TEST(ActionRobustness, RandomBytesNeverCrash) {
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    Machine m(8, {.maxActions = 20000});
    const std::vector<std::uint8_t> program = RichProgram();
    for (int round = 0; round < 1500; ++round) {
        std::vector<std::uint8_t> code;
        if (round % 2) {
            // Mutations of a valid program reach deeper into the decoder.
            code = program;
            for (int k = 0; k < 4; ++k) code[next() % code.size()] = static_cast<std::uint8_t>(next());
        } else {
            code.resize(next() % 64);
            for (auto& b : code) b = static_cast<std::uint8_t>(next());
        }
        m.RunBytes(code);
    }
    SUCCEED();
}

TEST(ActionRobustness, UnreachableObjectsAreFreed) {
    Machine m;
    std::size_t baseline = m.vm.ObjectCount();
    ActionAssembler churn;
    churn.PushString("i").PushNumber(0).Action(ActionCode::SetVariable);
    churn.Label("top");
    churn.PushNumber(0).Action(ActionCode::InitObject).Action(ActionCode::Pop);
    churn.PushString("i").PushString("i").Action(ActionCode::GetVariable).Action(ActionCode::Increment);
    churn.Action(ActionCode::SetVariable);
    churn.PushString("i").Action(ActionCode::GetVariable).PushNumber(500).Action(ActionCode::Less2).If("top");
    churn.PushString("kept").PushString("v").PushNumber(1).PushNumber(1).Action(ActionCode::InitObject);
    churn.Action(ActionCode::SetVariable);
    for (int run = 0; run < 20; ++run) ASSERT_EQ(m.Run(churn), RunStatus::Completed);
    EXPECT_LT(m.vm.ObjectCount(), baseline + 3000);
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { x.PushString("kept.v").Action(ActionCode::GetVariable); }), "number:1");
}

// Conversions that walk arrays, and text that is copied again and again, draw
// on the same budget as the steps: no script outlasts it, however it nests.
TEST(ActionRobustness, ConversionWorkIsChargedAndCyclesAreCut) {
    // a = []; a[0..7] = a
    auto selfReferencing = [](ActionAssembler& a) {
        a.PushString("a").PushNumber(0).Action(ActionCode::InitArray).Action(ActionCode::SetVariable);
        for (int i = 0; i < 8; ++i) {
            a.PushString("a").Action(ActionCode::GetVariable).PushNumber(i);
            a.PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::SetMember);
        }
    };
    Machine text;
    ActionAssembler build;
    selfReferencing(build);
    build.PushString("r").PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::ToString);
    build.Action(ActionCode::SetVariable);
    ASSERT_EQ(text.Run(build), RunStatus::Completed);
    EXPECT_EQ(text.Var("r"), "string:,,,,,,,");  // each element is the array itself: empty there

    // Number(a) in an endless loop: stopped by the step budget, not by time.
    Machine loop;
    ActionAssembler spin;
    selfReferencing(spin);
    spin.Label("again");
    spin.PushString("n").PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::ToNumber);
    spin.Action(ActionCode::SetVariable).Jump("again");
    EXPECT_EQ(loop.Run(spin), RunStatus::ActionLimit);

    // No cycle, but 8^18 paths through shared arrays: the work is charged.
    Machine wide;
    ActionAssembler nest;
    nest.PushString("b").PushNumber(1).PushNumber(1).Action(ActionCode::InitArray).Action(ActionCode::SetVariable);
    for (int level = 0; level < 18; ++level) {
        nest.PushString("b");
        for (int i = 0; i < 8; ++i) nest.PushString("b").Action(ActionCode::GetVariable);
        nest.PushNumber(8).Action(ActionCode::InitArray).Action(ActionCode::SetVariable);
    }
    nest.PushString("r").PushString("b").Action(ActionCode::GetVariable).Action(ActionCode::ToString);
    nest.Action(ActionCode::SetVariable);
    EXPECT_EQ(wide.Run(nest), RunStatus::ActionLimit);

    // A megabyte string copied in a loop: the copying is charged too.
    Machine copy;
    ActionAssembler grow;
    grow.PushString("s").PushString("x").Action(ActionCode::SetVariable);
    for (int i = 0; i < 20; ++i) {
        grow.PushString("s").PushString("s").Action(ActionCode::GetVariable).PushString("s");
        grow.Action(ActionCode::GetVariable).Action(ActionCode::StringAdd).Action(ActionCode::SetVariable);
    }
    grow.Label("again");
    grow.PushString("t").PushString("s").Action(ActionCode::GetVariable).PushString("y").Action(ActionCode::Add2);
    grow.Action(ActionCode::SetVariable).Jump("again");
    EXPECT_EQ(copy.Run(grow), RunStatus::ActionLimit);
    EXPECT_EQ(copy.vm.ToText(copy.vm.GetVariable(copy.target, "s")).size(), 1u << 20);

    // Outside a run, converting for the host is bounded the same way.
    EXPECT_EQ(text.vm.ToText(text.vm.GetVariable(text.target, "a")), ",,,,,,,");
}
