// Frame costs as the control pays them: one tick of script and timeline, then
// only what changed redrawn. The user-guide movie in a 1900 x 1050 window
// (everything but the header's small animation stands still, so this is
// mostly the cost of finding out that nothing else changed), without device
// fonts and (where FreeType is built) with them, and a movie that changes
// every pixel.
//   swf_frame_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "swf/files/native_file_host.h"
#ifdef FRAME_BENCH_HAVE_FREETYPE
#include "swf/fonts/freetype/freetype_fonts.h"
#endif
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "tools/moviegen/movies.h"

namespace {

// Without a font provider the device-font fields are laid out but not drawn.
// `advance` false: the same frame again, so nothing changed and the cost is
// all in finding that out.
void DemoFrames(benchmark::State& state, swf::fonts::DeviceFontProvider* fonts, bool advance = true) {
    const std::vector<std::uint8_t> movie = moviegen::BuildDemoMovie();
    // No page pictures: the guide shows its frame and buttons around an empty page.
    swf::NativeFileHost files(std::filesystem::temp_directory_path());
    swf::Player player;
    player.SetFileHost(&files);
    player.SetFontProvider(fonts);
    if (!player.Load(movie)) {
        state.SkipWithError("the demo movie did not load");
        return;
    }
    swf::raster::Surface surface(1900, 1050);
    player.RenderChanges(surface);
    long long pixels = 0;
    for (auto _ : state) {
        if (advance) player.AdvanceFrame();
        for (const swf::raster::PixelRect& area : player.RenderChanges(surface)) pixels += area.Area();
    }
    state.counters["redrawn px/frame"] =
        benchmark::Counter(static_cast<double>(pixels) / static_cast<double>(state.iterations()));
}

void BM_DemoFrameWithChanges(benchmark::State& state) { DemoFrames(state, nullptr); }
BENCHMARK(BM_DemoFrameWithChanges)->Unit(benchmark::kMicrosecond);

void BM_DemoUnchangedFrame(benchmark::State& state) { DemoFrames(state, nullptr, false); }
BENCHMARK(BM_DemoUnchangedFrame)->Unit(benchmark::kMicrosecond);

#ifdef FRAME_BENCH_HAVE_FREETYPE
void BM_DemoFrameWithDeviceFonts(benchmark::State& state) {
    swf::fonts::FreeTypeFontProvider fonts;
    DemoFrames(state, &fonts);
}
BENCHMARK(BM_DemoFrameWithDeviceFonts)->Unit(benchmark::kMicrosecond);

void BM_DemoUnchangedFrameWithDeviceFonts(benchmark::State& state) {
    swf::fonts::FreeTypeFontProvider fonts;
    DemoFrames(state, &fonts, false);
}
BENCHMARK(BM_DemoUnchangedFrameWithDeviceFonts)->Unit(benchmark::kMicrosecond);
#endif

// The frame-pacing movie: every pixel of a 1920 x 1080 picture changes each
// frame, so each frame is drawn whole; at 30 fps a frame has 33 ms. The
// argument is the number of drawing threads (two: the frame in two bands);
// wall-clock time, and the CPU time of the whole process (both threads).
void BM_FullChangeFrame(benchmark::State& state) {
    swf::Player player;
    player.SetDrawThreads(static_cast<int>(state.range(0)));
    if (!player.Load(moviegen::BuildFullChangeMovie())) {
        state.SkipWithError("the full-change movie did not load");
        return;
    }
    swf::raster::Surface surface(1920, 1080);
    player.RenderChanges(surface);
    for (auto _ : state) {
        player.AdvanceFrame();
        benchmark::DoNotOptimize(player.RenderChanges(surface));
    }
}
BENCHMARK(BM_FullChangeFrame)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
