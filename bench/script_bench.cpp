// Script speed: loops, property access, method calls, string building and
// array sorting, run through the action VM. Each benchmark reports, as
// "units", the VM's budget units per second: one per action run plus one per
// 256 bytes of text a conversion or concatenation copied. Strings are pushed
// from a constant pool, as compilers emit them.
//
// Afterwards the loop, property and method programs run beside their
// JavaScript twins in Duktape's `duk` and in `mujs` (Debian's duktape and
// mujs packages), all with global variables, and the ratios are printed.
//
//   build/native-release/bench/swf_script_bench

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/actions/vm.h"
#include "swf/writer/script_expressions.h"

using swf::writer::ActionAssembler;
using swf::writer::ActionCode;
using namespace swf::writer::script;

namespace {

// A one-frame timeline with named child clips whose display properties are
// plain stored numbers, and a host that ignores what scripts send it.
class StillTimeline final : public swf::ActionTarget {
public:
    explicit StillTimeline(std::string name = "main") : name_(std::move(name)) {}
    void Play() override {}
    void Stop() override {}
    void NextFrame() override {}
    void PrevFrame() override {}
    void GotoFrame(std::uint32_t) override {}
    bool GotoLabel(const std::string&) override { return false; }
    std::uint32_t CurrentFrame() const override { return 0; }
    std::uint32_t FrameCount() const override { return 1; }
    swf::ActionTarget* FindTarget(const std::string& path) override {
        auto it = children.find(path);
        return it == children.end() ? nullptr : it->second;
    }
    swf::DisplayTarget* FindChildObject(const std::string& name) override { return FindTarget(name); }
    double GetDisplayNumber(swf::DisplayProperty property) override {
        auto it = numbers.find(property);
        return it == numbers.end() ? 0 : it->second;
    }
    void SetDisplayNumber(swf::DisplayProperty property, double value) override { numbers[property] = value; }
    std::string InstanceName() const override { return name_; }

    std::map<std::string, StillTimeline*> children;
    std::map<swf::DisplayProperty, double> numbers;

private:
    std::string name_;
};

class QuietHost final : public swf::ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

constexpr int kIterations = 10000;

// Every string the programs push is an entry of one constant pool, as
// compilers emit them; each run's code declares the pool first.
const auto g_pool = std::make_shared<std::vector<std::string>>();

ActionAssembler Assembler() {
    ActionAssembler a;
    a.PoolStrings(g_pool);
    return a;
}

std::vector<std::uint8_t> Program(const ActionAssembler& code) {
    ActionAssembler program;
    program.ConstantPool(*g_pool).Raw(code.Bytes());
    return program.Finish();
}

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a = Assembler();
    build(a);
    return a;
}

// for (i = 0; i < kIterations; i++) { body }
ActionAssembler Loop(const std::function<void(ActionAssembler&)>& body) {
    ActionAssembler a = Assembler();
    Let(a, "i", N(0));
    a.Label("top");
    Op(0x48, V("i"), N(kIterations))(a);
    a.Action(ActionCode::Not).If("done");
    body(a);
    Let(a, "i", Unary(0x50, V("i")));
    a.Jump("top");
    a.Label("done");
    return a;
}

void RunScript(benchmark::State& state, const ActionAssembler& setup, const ActionAssembler& program) {
    swf::actions::VmLimits limits;
    limits.maxActions = 100'000'000;
    swf::actions::Vm vm(8, limits);
    StillTimeline timeline;
    QuietHost host;
    vm.Run(Program(setup), timeline, host);
    std::vector<std::uint8_t> bytes = Program(program);
    std::uint64_t before = vm.StepsUsed();
    for (auto _ : state) {
        auto status = vm.Run(bytes, timeline, host);
        if (status != swf::actions::RunStatus::Completed) state.SkipWithError("script did not complete");
    }
    state.counters["units"] =
        benchmark::Counter(static_cast<double>(vm.StepsUsed() - before), benchmark::Counter::kIsRate);
}

void BM_Loop(benchmark::State& state) {
    ActionAssembler setup = Assembler();
    Let(setup, "sum", N(0));
    RunScript(state, setup, Loop([](ActionAssembler& a) { Let(a, "sum", Add(V("sum"), V("i"))); }));
}

void BM_PropertyAccess(benchmark::State& state) {
    ActionAssembler setup = Assembler();
    Let(setup, "o", Obj({{"a", N(0)}, {"b", N(1)}, {"x", N(0)}}));
    RunScript(state, setup,
              Loop([](ActionAssembler& a) { SetM(a, V("o"), "x", Add(M(V("o"), "x"), M(V("o"), "b"))); }));
}

void BM_MethodCalls(benchmark::State& state) {
    ActionAssembler setup = Assembler();
    Let(setup, "C", Fn({}, Body([](ActionAssembler& b) { SetM(b, V("this"), "n", N(1)); })));
    SetM(setup, M(V("C"), "prototype"), "f",
         Fn2(3, 0x0001, {{2, "k"}}, Body([](ActionAssembler& b) { Return(b, Add(M(Reg(1), "n"), Reg(2))); })));
    Let(setup, "o", New("C"));
    RunScript(state, setup, Loop([](ActionAssembler& a) { Let(a, "r", CallM(V("o"), "f", {V("i")})); }));
}

void BM_StringBuilding(benchmark::State& state) {
    ActionAssembler program = Assembler();
    Let(program, "s", S(""));
    ActionAssembler loop = Loop([](ActionAssembler& a) { Let(a, "s", Add(V("s"), S("ab"))); });
    program.Raw(loop.Bytes());
    Trace(program, M(V("s"), "length"));
    RunScript(state, ActionAssembler(), program);
}

void BM_ArraySort(benchmark::State& state) {
    // 2000 pseudo-random numbers, sorted numerically and with a comparator.
    ActionAssembler setup = Assembler();
    Let(setup, "a", New("Array"));
    ActionAssembler fill = Assembler();
    Let(fill, "i", N(0));
    fill.Label("top");
    Op(0x48, V("i"), N(2000))(fill);
    fill.Action(ActionCode::Not).If("done");
    Do(fill, CallM(V("a"), "push", {CallM(V("Math"), "random")}));
    Let(fill, "i", Unary(0x50, V("i")));
    fill.Jump("top");
    fill.Label("done");
    setup.Raw(fill.Bytes());
    ActionAssembler program = Assembler();
    Do(program, CallM(CallM(V("a"), "slice"), "sort", {N(16)}));
    Do(program, CallM(CallM(V("a"), "slice"), "sort",
                      {Fn({"x", "y"}, Body([](ActionAssembler& b) { Return(b, Op(0x0B, V("x"), V("y"))); }))}));
    RunScript(state, setup, program);
}

// A clip's display properties read and written as members (mc._x += mc._y).
void BM_ClipProperties(benchmark::State& state) {
    swf::actions::VmLimits limits;
    limits.maxActions = 100'000'000;
    swf::actions::Vm vm(8, limits);
    StillTimeline root, clip("mc");
    QuietHost host;
    clip.numbers[swf::DisplayProperty::X] = 0;
    clip.numbers[swf::DisplayProperty::Y] = 1;
    root.children["mc"] = &clip;
    std::vector<std::uint8_t> bytes =
        Program(Loop([](ActionAssembler& a) { SetM(a, V("mc"), "_x", Add(M(V("mc"), "_x"), M(V("mc"), "_y"))); }));
    std::uint64_t before = vm.StepsUsed();
    for (auto _ : state) {
        if (vm.Run(bytes, root, host) != swf::actions::RunStatus::Completed)
            state.SkipWithError("script did not complete");
    }
    state.counters["units"] =
        benchmark::Counter(static_cast<double>(vm.StepsUsed() - before), benchmark::Counter::kIsRate);
}

// Built-in MovieClip methods called on a clip (mc.getDepth()).
void BM_ClipMethodCalls(benchmark::State& state) {
    swf::actions::VmLimits limits;
    limits.maxActions = 100'000'000;
    swf::actions::Vm vm(8, limits);
    StillTimeline root, clip("mc");
    QuietHost host;
    root.children["mc"] = &clip;
    std::vector<std::uint8_t> bytes =
        Program(Loop([](ActionAssembler& a) { Let(a, "d", CallM(V("mc"), "getDepth")); }));
    std::uint64_t before = vm.StepsUsed();
    for (auto _ : state) {
        if (vm.Run(bytes, root, host) != swf::actions::RunStatus::Completed)
            state.SkipWithError("script did not complete");
    }
    state.counters["units"] =
        benchmark::Counter(static_cast<double>(vm.StepsUsed() - before), benchmark::Counter::kIsRate);
}

}  // namespace

namespace {

// ---- the same programs in two JavaScript interpreters ---------------------------------

struct Twin {
    const char* name;
    std::function<void(ActionAssembler&)> setup;
    std::function<void(ActionAssembler&)> body;
    // The same program in JavaScript: setup, then the loop's body.
    const char* jsSetup;
    const char* jsBody;
};

std::vector<Twin> Twins() {
    return {
        {"loop: sum = sum + i", [](ActionAssembler& a) { Let(a, "sum", N(0)); },
         [](ActionAssembler& a) { Let(a, "sum", Add(V("sum"), V("i"))); }, "sum = 0;", "sum = sum + i;"},
        {"property: o.x = o.x + o.b",
         [](ActionAssembler& a) {
             Let(a, "o", Obj({{"a", N(0)}, {"b", N(1)}, {"x", N(0)}}));
         },
         [](ActionAssembler& a) { SetM(a, V("o"), "x", Add(M(V("o"), "x"), M(V("o"), "b"))); },
         "o = {a: 0, b: 1, x: 0};", "o.x = o.x + o.b;"},
        {"method call: r = o.f(i)",
         [](ActionAssembler& a) {
             Let(a, "C", Fn({}, Body([](ActionAssembler& b) { SetM(b, V("this"), "n", N(1)); })));
             SetM(a, M(V("C"), "prototype"), "f",
                  Fn2(3, 0x0001, {{2, "k"}}, Body([](ActionAssembler& b) { Return(b, Add(M(Reg(1), "n"), Reg(2))); })));
             Let(a, "o", New("C"));
         },
         [](ActionAssembler& a) { Let(a, "r", CallM(V("o"), "f", {V("i")})); },
         "C = function () { this.n = 1; }; C.prototype.f = function (k) { return this.n + k; }; o = new C();",
         "r = o.f(i);"},
    };
}

// Each program runs in kBatches batches of kRounds runs after one to warm up;
// the figure is the fastest batch's time per run, which leaves out most of
// what other work on the machine adds.
constexpr int kBatches = 5;
constexpr int kRounds = 8;

double OurMilliseconds(const Twin& twin) {
    swf::actions::VmLimits limits;
    limits.maxActions = 100'000'000;
    swf::actions::Vm vm(8, limits);
    StillTimeline timeline;
    QuietHost host;
    ActionAssembler setup = Assembler();
    twin.setup(setup);
    vm.Run(Program(setup), timeline, host);
    const std::vector<std::uint8_t> bytes = Program(Loop(twin.body));
    vm.Run(bytes, timeline, host);
    double best = 1e300;
    for (int batch = 0; batch < kBatches; ++batch) {
        const auto start = std::chrono::steady_clock::now();
        for (int round = 0; round < kRounds; ++round) vm.Run(bytes, timeline, host);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / kRounds);
    }
    return best;
}

// The same measure inside the JavaScript interpreter `program`, timed by the
// script itself so that the interpreter's start-up is left out; nothing when
// the program is missing or fails.
std::optional<double> TheirMilliseconds(const std::string& program, const Twin& twin) {
    const std::filesystem::path script = std::filesystem::temp_directory_path() / "swf_script_bench_twin.js";
    {
        std::ofstream js(script);
        js << twin.jsSetup << "\n"
           << "function run() { for (i = 0; i < " << kIterations << "; i++) { " << twin.jsBody << " } }\n"
           << "run();\n"
           << "var best = 1e300;\n"
           << "for (var batch = 0; batch < " << kBatches << "; batch++) {\n"
           << "  var start = Date.now();\n"
           << "  for (var round = 0; round < " << kRounds << "; round++) run();\n"
           << "  var took = (Date.now() - start) / " << kRounds << "; if (took < best) best = took;\n"
           << "}\n"
           << "print(best);\n";
    }
    const std::string command = program + " '" + script.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    const int status = pclose(pipe);
    std::filesystem::remove(script);
    if (!read || status != 0) return std::nullopt;
    return std::strtod(line, nullptr);
}

std::string Ratio(double ours, const std::optional<double>& theirs) {
    if (!theirs) return "not installed";
    char text[48];
    std::snprintf(text, sizeof text, "%6.2f ms  ours/theirs %.2f", *theirs, ours / *theirs);
    return text;
}

void CompareWithJavaScriptInterpreters() {
    std::printf("\nThe same programs, %d iterations a run; fastest of %d batches of %d runs:\n", kIterations, kBatches,
                kRounds);
    for (const Twin& twin : Twins()) {
        const double ours = OurMilliseconds(twin);
        std::printf("%-28s ours %6.2f ms | duk %s | mujs %s\n", twin.name, ours,
                    Ratio(ours, TheirMilliseconds("duk", twin)).c_str(),
                    Ratio(ours, TheirMilliseconds("mujs", twin)).c_str());
    }
}

}  // namespace

BENCHMARK(BM_Loop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PropertyAccess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MethodCalls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringBuilding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArraySort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipProperties)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipMethodCalls)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CompareWithJavaScriptInterpreters();
    return 0;
}
