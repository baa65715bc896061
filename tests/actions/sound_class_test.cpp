// The Sound class against a sound host that records what it is asked:
// linkage lookups, starts with their offset and loops, stops, volume, pan
// and transforms, duration and position, onSoundComplete, stopAllSounds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swf/actions/sound_host.h"
#include "tests/actions/script.h"

using namespace actions_test;
using swf::actions::RunStatus;
using swf::actions::SoundTransform;

namespace {

class RecordingSoundHost final : public swf::actions::SoundHost {
public:
    std::uint32_t FindSound(swf::ActionTarget* owner, const std::string& linkage) override {
        calls.push_back("find " + linkage + (owner ? " clip" : ""));
        return linkage == "beep" ? 7 : 0;
    }
    std::uint32_t StartSound(swf::ActionTarget* owner, std::uint32_t sound, double offset, int loops) override {
        calls.push_back("start " + std::to_string(sound) + " at " + Number(offset) + " x" + std::to_string(loops) +
                        (owner ? " clip" : ""));
        return ++lastVoice;
    }
    void StopSounds(swf::ActionTarget* owner, std::uint32_t sound) override {
        calls.push_back("stop " + std::to_string(sound) + (owner ? " clip" : ""));
    }
    void SetTransform(swf::ActionTarget* owner, const SoundTransform& t) override {
        calls.push_back("transform " + Number(t.ll) + " " + Number(t.lr) + " " + Number(t.rl) + " " + Number(t.rr) +
                        (owner ? " clip" : ""));
    }
    double DurationMs(std::uint32_t sound) override { return sound == 7 ? 1234.4 : 0; }
    bool Playing(std::uint32_t voice) override { return voice != stopped; }
    double PositionMs(std::uint32_t voice) override { return voice * 100.0; }

    static std::string Number(double n) {
        std::string s = std::to_string(n);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        return s;
    }

    std::vector<std::string> calls;
    std::uint32_t lastVoice = 0;
    std::uint32_t stopped = 0;
};

Lines TraceLines(Machine& m, const ActionAssembler& a) {
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    return t.lines;
}

}  // namespace

TEST(SoundClass, AttachStartStopAndPlace) {
    Machine m;
    RecordingSoundHost host;
    m.vm.SetSoundHost(&host);
    ActionAssembler a;
    Let(a, "s", New("Sound"));
    Do(a, CallM(V("s"), "attachSound", {S("beep")}));
    Trace(a, M(V("s"), "duration"));
    Trace(a, M(V("s"), "position"));  // nothing started yet
    Do(a, CallM(V("s"), "start", {N(1.5), N(3)}));
    Do(a, CallM(V("s"), "start"));
    Trace(a, M(V("s"), "position"));  // the last start's voice
    Do(a, CallM(V("s"), "stop", {S("nothing")}));
    Do(a, CallM(V("s"), "stop", {S("beep")}));
    Do(a, CallM(V("s"), "stop"));
    // Volume and pan make one transform; panning right lowers the left.
    Do(a, CallM(V("s"), "setVolume", {N(50)}));
    Do(a, CallM(V("s"), "setPan", {N(40)}));
    Trace(a, CallM(V("s"), "getVolume"));
    Trace(a, CallM(V("s"), "getPan"));
    // setTransform keeps what it is not given.
    Do(a, CallM(V("s"), "setTransform", {Obj({{"lr", N(25)}})}));
    Let(a, "t", CallM(V("s"), "getTransform"));
    Trace(a, M(V("t"), "ll"));
    Trace(a, M(V("t"), "lr"));
    Trace(a, M(V("t"), "rr"));
    // A Sound for a clip names it to the host; a missing sound starts nothing.
    Let(a, "c", New("Sound", {V("_root")}));
    Do(a, CallM(V("c"), "attachSound", {S("missing")}));
    Do(a, CallM(V("c"), "start"));
    Do(a, CallM(V("c"), "setVolume", {N(10)}));
    Trace(a, TypeOf(CallM(V("c"), "loadSound", {S("x.mp3")})));
    EXPECT_EQ(TraceLines(m, a), (Lines{"1234", "0", "200", "50", "40", "30", "25", "50", "undefined"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "find beep",
                              "start 7 at 1.5 x3",
                              "start 7 at 0 x1",
                              "find nothing",
                              "find beep",
                              "stop 7",
                              "stop 0",
                              "transform 50 0 0 50",
                              "transform 30 0 0 50",
                              "transform 30 25 0 50",
                              "find missing clip",
                              "transform 10 0 0 10 clip",
                          }));
}

TEST(SoundClass, CompletionStopAllSoundsAndNoHost) {
    Machine m;
    RecordingSoundHost host;
    m.vm.SetSoundHost(&host);
    ActionAssembler a;
    Let(a, "s", New("Sound"));
    Do(a, CallM(V("s"), "attachSound", {S("beep")}));
    ActionAssembler done;
    Trace(done, S("complete"));
    SetM(a, V("s"), "onSoundComplete", Fn({}, done));
    Do(a, CallM(V("s"), "start"));  // voice 1
    Do(a, CallM(V("s"), "start"));  // voice 2
    Do(a, CallM(V("s"), "start"));  // voice 3
    ASSERT_EQ(m.Run(a), RunStatus::Completed);

    std::vector<std::string> lines;
    m.vm.SetTraceHandler([&](const std::string& line) { lines.push_back(line); });
    // Voice 2 was stopped: it ends without a word, and so would it later.
    host.stopped = 2;
    m.vm.SoundsFinished({1}, m.host);
    m.vm.SoundsFinished({2, 9}, m.host);
    m.vm.SoundsFinished({3, 3}, m.host);
    EXPECT_EQ(lines, (Lines{"complete", "complete"}));

    // stopAllSounds stops everything, through the host.
    host.calls.clear();
    ActionAssembler stop;
    stop.Action(0x09);
    ASSERT_EQ(m.Run(stop), RunStatus::Completed);
    EXPECT_EQ(host.calls, std::vector<std::string>{"stop 0"});

    // Without a host, Sound objects are silent and nothing fails.
    Machine quiet;
    ActionAssembler b;
    Let(b, "s", New("Sound"));
    Do(b, CallM(V("s"), "attachSound", {S("beep")}));
    Do(b, CallM(V("s"), "start"));
    Do(b, CallM(V("s"), "setVolume", {N(20)}));
    Trace(b, CallM(V("s"), "getVolume"));
    Trace(b, M(V("s"), "duration"));
    b.Action(0x09);
    EXPECT_EQ(TraceLines(quiet, b), (Lines{"20", "0"}));
}
