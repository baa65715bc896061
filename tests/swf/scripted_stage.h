#pragma once
// Small movies whose scripts trace what they find, run on a stage with the
// action VM: a clip "menu" (a 100 x 50 pixel rectangle and an empty
// three-frame clip "next") at (10, 20) on the main timeline.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/actions/vm.h"
#include "swf/io/movie_parser.h"
#include "swf/player/stage.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/writer/action_assembler.h"
#include "tests/swf/swf_bytes.h"

namespace swf::scripted {

using test::Bytes;
using test::Place;
using writer::ActionAssembler;
using writer::ActionCode;
using Lines = std::vector<std::string>;

inline constexpr std::uint8_t kGetProperty = 0x22, kSetProperty = 0x23, kTargetPath = 0x45;

// trace(<dotted name>)
inline void TraceName(ActionAssembler& a, const std::string& name) {
    a.PushString(name).Action(ActionCode::GetVariable).Action(ActionCode::Trace);
}

// <object name>.<member> = value
inline void SetMember(ActionAssembler& a, const std::string& object, const std::string& member, double value) {
    a.PushString(object).Action(ActionCode::GetVariable).PushString(member).PushNumber(value);
    a.Action(ActionCode::SetMember);
}

inline Place Named(std::uint16_t depth, int character, const std::string& name, std::int32_t tx, std::int32_t ty) {
    Place p;
    p.depth = depth;
    p.character = character;
    p.name = name;
    p.hasMatrix = true;
    p.tx = tx;
    p.ty = ty;
    return p;
}

inline Place MovedTo(std::uint16_t depth, std::int32_t tx, std::int32_t ty) {
    Place p;
    p.depth = depth;
    p.move = true;
    p.hasMatrix = true;
    p.tx = tx;
    p.ty = ty;
    return p;
}

// object.method(args): `pushArgs` pushes the `count` arguments last first;
// the result stays on the stack.
inline void CallMethod(ActionAssembler& a, const std::string& object, const std::string& method, int count,
                       const std::function<void(ActionAssembler&)>& pushArgs) {
    pushArgs(a);
    a.PushNumber(count).PushString(object).Action(ActionCode::GetVariable).PushString(method);
    a.Action(ActionCode::CallMethod);
}

// Any movie on a stage with the action VM; its first frame's actions have
// run and every trace() line is kept in `lines`.
struct StageWithScripts {
    explicit StageWithScripts(const Bytes& movieBytes) {
        movie = ParseMovie(movieBytes);
        stage = std::make_unique<Stage>(movie);
        runner = std::make_unique<VmActionRunner>(8, stage->Root());
        stage->SetActionRunner(runner.get());
        runner->Vm().SetTraceHandler([this](const std::string& line) { lines.push_back(line); });
        stage->RunQueuedActions();
    }
    // The stage reports its clips gone to the runner: it goes first.
    ~StageWithScripts() { stage.reset(); }
    // Runs `script` on the root, after forgetting the lines traced so far.
    void Run(const ActionAssembler& script) {
        lines.clear();
        runner->Run(script.Finish(), stage->Root());
    }
    std::shared_ptr<const MovieDefinition> movie;
    std::unique_ptr<Stage> stage;
    std::unique_ptr<VmActionRunner> runner;
    Lines lines;
};

// A 100 x 50 pixel rectangle inside clip "menu" at (10, 20), which holds an
// empty clip "next" (3 frames); the root's frames carry `frames` (DoAction
// and other tags per frame).
inline Bytes MenuMovie(const std::vector<std::vector<Bytes>>& frames, const std::vector<Bytes>& extraDefinitions) {
    std::vector<Bytes> tags = extraDefinitions;
    std::vector<Bytes> common = {
        test::Tag(32, test::RectangleShape(1, 0, 0, 2000, 1000, 255, 0, 0)),
        test::DefineSprite(3, 3, {test::ShowFrame(), test::ShowFrame(), test::ShowFrame()}),
        test::DefineSprite(2, 1,
                           {test::PlaceObject2(Named(1, 1, "", 0, 0)), test::PlaceObject2(Named(2, 3, "next", 0, 0)),
                            test::ShowFrame()}),
        test::PlaceObject2(Named(1, 2, "menu", 200, 400)),
    };
    tags.insert(tags.end(), common.begin(), common.end());
    for (const std::vector<Bytes>& frame : frames) {
        tags.insert(tags.end(), frame.begin(), frame.end());
        tags.push_back(test::ShowFrame());
    }
    return test::Movie(tags);
}

// The menu movie on a stage with the action VM.
struct ScriptedStage : StageWithScripts {
    explicit ScriptedStage(const std::vector<std::vector<Bytes>>& frames,
                           const std::vector<Bytes>& extraDefinitions = {})
        : StageWithScripts(MenuMovie(frames, extraDefinitions)) {}
};

inline Bytes Script(const ActionAssembler& a) { return test::DoAction(a.Finish()); }

}  // namespace swf::scripted
