// One frame of the 500-clip movie: every clip's onEnterFrame moves it, then
// the whole 1280 x 720 stage is drawn. Reports milliseconds per frame and the
// frames per second that allows ("fps", from processor time, so that other
// work on a shared machine does not count); the movie must hold 30.
//   swf_clips_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "tools/moviegen/movies.h"

namespace {

// A player past frame 1, with every clip attached and moving.
struct RunningMovie {
    RunningMovie() : surface(moviegen::kClipsWidth, moviegen::kClipsHeight) {
        ok = player.Load(movie);
        player.AdvanceFrame();
    }
    std::vector<std::uint8_t> movie = moviegen::BuildClipsMovie();
    swf::Player player;
    swf::raster::Surface surface;
    bool ok = false;
};

void ReportFrames(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ClipsFrame(benchmark::State& state) {
    RunningMovie m;
    if (!m.ok) state.SkipWithError("the movie did not load");
    for (auto _ : state) {
        m.player.AdvanceFrame();
        m.player.Render(m.surface);
        benchmark::ClobberMemory();
    }
    ReportFrames(state);
}
BENCHMARK(BM_ClipsFrame)->Unit(benchmark::kMillisecond);

// The changed areas only, as the control draws a playing movie; the argument
// is the number of drawing threads. Wall-clock time, and the processor time of
// the whole process.
void BM_ClipsFrameChanges(benchmark::State& state) {
    RunningMovie m;
    if (!m.ok) state.SkipWithError("the movie did not load");
    m.player.SetDrawThreads(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        m.player.AdvanceFrame();
        benchmark::DoNotOptimize(m.player.RenderChanges(m.surface));
    }
    ReportFrames(state);
}
BENCHMARK(BM_ClipsFrameChanges)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// The two halves apart: scripts and display list, then drawing alone.
void BM_ClipsAdvanceOnly(benchmark::State& state) {
    RunningMovie m;
    if (!m.ok) state.SkipWithError("the movie did not load");
    for (auto _ : state) m.player.AdvanceFrame();
    ReportFrames(state);
}
BENCHMARK(BM_ClipsAdvanceOnly)->Unit(benchmark::kMillisecond);

void BM_ClipsRenderOnly(benchmark::State& state) {
    RunningMovie m;
    if (!m.ok) state.SkipWithError("the movie did not load");
    for (auto _ : state) {
        m.player.Render(m.surface);
        benchmark::ClobberMemory();
    }
    ReportFrames(state);
}
BENCHMARK(BM_ClipsRenderOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
