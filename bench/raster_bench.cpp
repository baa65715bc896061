// Renders standard scenes with our rasterizer and, when available, with Cairo,
// then prints our time divided by Cairo's for each scene. Bitmap scenes are
// compared with Cairo's bilinear and "good" filters.
//
//   swf_raster_bench [google benchmark flags]   (--benchmark_repetitions=N: medians compared)
//   RASTER_BENCH_PNG=dir swf_raster_bench   also writes each scene as PNG (needs Cairo)
//
// The filter cases blur a 1920 x 1080 layer (blur 16, 3 passes) beside a copy
// of the same layer once per pass, and on two threads each taking one half of
// the area (each thread works on its own copy of the layer: two bands of one
// shared surface filtered at once would race on the rows around the cut).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/bitmap_scenes.h"
#include "bench/cairo_bitmap_renderer.h"
#include "bench/cairo_renderer.h"
#include "bench/raster_scenes.h"
#include "swf/raster/filters.h"

namespace {

using namespace swf::raster;
using bench::Scene;

class OurRenderer {
public:
    explicit OurRenderer(const Scene& scene) : scene_(scene), surface_(scene.width, scene.height) {
        for (const bench::SceneShape& shape : scene.shapes) {
            paints_.push_back(shape.gradient ? Paint::GradientFill(shape.gradientStyle) : Paint::Solid(shape.color));
        }
    }

    void render() {
        surface_.Clear({255, 255, 255, 255});
        for (std::size_t i = 0; i < scene_.shapes.size(); ++i) {
            const bench::SceneShape& shape = scene_.shapes[i];
            if (shape.stroked) {
                rasterizer_.StrokePath(surface_, shape.path, shape.stroke, paints_[i]);
            } else {
                rasterizer_.FillPath(surface_, shape.path, shape.rule, paints_[i]);
            }
        }
    }

    const Surface& surface() const { return surface_; }

private:
    const Scene& scene_;
    Surface surface_;
    Rasterizer rasterizer_;
    std::vector<Paint> paints_;
};

// Fills the whole surface with the picture, building its paint each frame as a
// player does for every draw.
class OurBitmapRenderer {
public:
    explicit OurBitmapRenderer(const bench::BitmapScene& scene) : scene_(scene), surface_(scene.width, scene.height) {
        all_.AddRect(0, 0, scene.width, scene.height);
    }

    void render() {
        surface_.Clear({255, 255, 255, 255});
        BitmapStyle style;
        style.image = scene_.picture;
        style.matrix = scene_.matrix;
        style.repeat = scene_.repeat;
        rasterizer_.FillPath(surface_, all_, FillRule::NonZero, Paint::BitmapFill(style));
    }

    const Surface& surface() const { return surface_; }

private:
    const bench::BitmapScene& scene_;
    Surface surface_;
    Path all_;
    Rasterizer rasterizer_;
};

// Keeps the console output and remembers each benchmark's CPU time (steadier
// than wall time on a shared machine; both draw on one thread).
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median, reported after the repetitions,
        // stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Iteration ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) {
                times[run.run_name.str()] = run.GetAdjustedCPUTime();
                realTimes[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> times;
    std::map<std::string, double> realTimes;
};

// A 1920 x 1080 premultiplied layer: soft discs over a transparent ground.
void FillFilterLayer(Surface& layer) {
    for (int y = 0; y < layer.height(); ++y) {
        std::uint32_t* row = layer.row(y);
        for (int x = 0; x < layer.width(); ++x) {
            const int cx = x % 240 - 120, cy = y % 216 - 108;
            const int d = cx * cx + cy * cy;
            const std::uint32_t a = d < 90 * 90 ? 255u : (d < 100 * 100 ? 128u : 0u);
            row[x] = PackPixel(a, (a * (x & 255)) / 255, (a * (y & 255)) / 255, a / 2);
        }
    }
}

constexpr BlurSettings kBenchBlur{16, 16, 3};
constexpr int kFilterWidth = 1920, kFilterHeight = 1080;

void RegisterFilterBenchmarks() {
    benchmark::RegisterBenchmark("filters/blur16x3/1920x1080/one-thread",
                                 [](benchmark::State& state) {
                                     Surface layer(kFilterWidth, kFilterHeight);
                                     FillFilterLayer(layer);
                                     FilterScratch scratch;
                                     for (auto _ : state) {
                                         BlurPixels(layer, {0, 0, kFilterWidth, kFilterHeight}, kBenchBlur, scratch);
                                         benchmark::DoNotOptimize(layer.pixel(0, 0));
                                     }
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        "filters/copy-per-pass-x3/1920x1080",
        [](benchmark::State& state) {
            Surface layer(kFilterWidth, kFilterHeight), copy(kFilterWidth, kFilterHeight);
            FillFilterLayer(layer);
            const std::size_t bytes = static_cast<std::size_t>(kFilterWidth) * kFilterHeight * 4;
            for (auto _ : state) {
                for (int pass = 0; pass < kBenchBlur.passes; ++pass) {
                    std::memcpy(pass % 2 ? layer.row(0) : copy.row(0), pass % 2 ? copy.row(0) : layer.row(0), bytes);
                    benchmark::ClobberMemory();
                }
                benchmark::DoNotOptimize(copy.pixel(0, 0));
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        "filters/blur16x3/1920x1080/two-bands",
        [](benchmark::State& state) {
            Surface top(kFilterWidth, kFilterHeight), bottom(kFilterWidth, kFilterHeight);
            FillFilterLayer(top);
            FillFilterLayer(bottom);
            FilterScratch topScratch, bottomScratch;
            const int half = kFilterHeight / 2;
            for (auto _ : state) {
                std::thread worker([&] {
                    BlurPixels(bottom, {0, half, kFilterWidth, kFilterHeight}, kBenchBlur, bottomScratch);
                });
                BlurPixels(top, {0, 0, kFilterWidth, half}, kBenchBlur, topScratch);
                worker.join();
                benchmark::DoNotOptimize(top.pixel(0, 0));
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void PrintFilterSummary(const RecordingReporter& reporter) {
    auto time = [&](const std::string& name) {  // the run is named name + "/real_time"
        auto it = reporter.realTimes.lower_bound(name);
        return it == reporter.realTimes.end() || it->first.compare(0, name.size(), name) != 0 ? 0.0 : it->second;
    };
    const double blur = time("filters/blur16x3/1920x1080/one-thread");
    const double copy = time("filters/copy-per-pass-x3/1920x1080");
    const double bands = time("filters/blur16x3/1920x1080/two-bands");
    if (blur <= 0 || copy <= 0 || bands <= 0) return;
    std::printf("\nBlur 16, 3 passes, 1920 x 1080 (wall time)\n");
    std::printf("  one thread %8.3f ms, copy x3 %8.3f ms: blur / copy = %.1f\n", blur, copy, blur / copy);
    std::printf("  two bands  %8.3f ms: one thread / two bands = %.2f\n", bands, blur / bands);
}

std::string SceneKey(const Scene& scene) {
    return scene.name + "/" + std::to_string(scene.width) + "x" + std::to_string(scene.height);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::unique_ptr<Scene>> scenes;
    for (auto [w, h] : {std::pair{1280, 720}, {1920, 1080}}) {
        scenes.push_back(std::make_unique<Scene>(bench::GradientShapesScene(w, h)));
        scenes.push_back(std::make_unique<Scene>(bench::StrokedPathsScene(w, h)));
        scenes.push_back(std::make_unique<Scene>(bench::GlyphsScene(w, h)));
    }
    std::vector<std::unique_ptr<bench::BitmapScene>> BitmapScenes;
    for (auto [w, h] : {std::pair{1280, 720}, {1920, 1080}}) {
        for (bench::BitmapScene& scene : bench::BitmapScenes(w, h)) {
            BitmapScenes.push_back(std::make_unique<bench::BitmapScene>(std::move(scene)));
        }
    }
    const bool haveCairo = bench::CairoRenderer::available();
    const char* pngDir = std::getenv("RASTER_BENCH_PNG");

    for (const auto& scene : scenes) {
        const Scene* s = scene.get();
        benchmark::RegisterBenchmark((SceneKey(*s) + "/ours").c_str(), [s](benchmark::State& state) {
            OurRenderer renderer(*s);
            for (auto _ : state) {
                renderer.render();
                benchmark::DoNotOptimize(renderer.surface().pixel(0, 0));
            }
        })->Unit(benchmark::kMillisecond);
        if (haveCairo) {
            benchmark::RegisterBenchmark((SceneKey(*s) + "/cairo").c_str(), [s](benchmark::State& state) {
                bench::CairoRenderer renderer(*s);
                for (auto _ : state) renderer.render();
            })->Unit(benchmark::kMillisecond);
        }
        if (pngDir && haveCairo) {
            std::string base = std::string(pngDir) + "/" + s->name + "_" + std::to_string(s->width);
            OurRenderer ours(*s);
            ours.render();
            bench::CairoRenderer::WriteSurfacePng(ours.surface(), base + "_ours.png");
            bench::CairoRenderer cairo(*s);
            cairo.render();
            cairo.WritePng(base + "_cairo.png");
        }
    }

    auto bitmapKey = [](const bench::BitmapScene& scene) {
        return scene.name + "/" + std::to_string(scene.width) + "x" + std::to_string(scene.height);
    };
    for (const auto& scene : BitmapScenes) {
        const bench::BitmapScene* s = scene.get();
        benchmark::RegisterBenchmark((bitmapKey(*s) + "/ours").c_str(), [s](benchmark::State& state) {
            OurBitmapRenderer renderer(*s);
            for (auto _ : state) {
                renderer.render();
                benchmark::DoNotOptimize(renderer.surface().pixel(0, 0));
            }
        })->Unit(benchmark::kMillisecond);
        if (!haveCairo) continue;
        for (auto [filter, label] : {std::pair{bench::CairoFilter::Bilinear, "cairo-bilinear"},
                                     std::pair{bench::CairoFilter::Good, "cairo-good"}}) {
            benchmark::RegisterBenchmark((bitmapKey(*s) + "/" + label).c_str(), [s,
                                                                                 f = filter](benchmark::State& state) {
                bench::CairoBitmapRenderer renderer(*s, f);
                for (auto _ : state) renderer.render();
            })->Unit(benchmark::kMillisecond);
        }
        if (pngDir) {
            std::string base = std::string(pngDir) + "/" + s->name + "_" + std::to_string(s->width);
            OurBitmapRenderer ours(*s);
            ours.render();
            bench::CairoRenderer::WriteSurfacePng(ours.surface(), base + "_ours.png");
            bench::CairoBitmapRenderer good(*s, bench::CairoFilter::Good);
            good.render();
            good.WritePng(base + "_cairo_good.png");
            bench::CairoBitmapRenderer bilinear(*s, bench::CairoFilter::Bilinear);
            bilinear.render();
            bilinear.WritePng(base + "_cairo_bilinear.png");
        }
    }

    RegisterFilterBenchmarks();

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintFilterSummary(reporter);

    if (!haveCairo) {
        std::printf("\nCairo is not available: no comparison.\n");
        return 0;
    }
    std::printf("\nCPU time per frame\n%-22s %10s %10s %8s\n", "scene", "ours ms", "cairo ms", "ratio");
    for (const auto& scene : scenes) {
        std::string key = SceneKey(*scene);
        auto ours = reporter.times.find(key + "/ours"), cairo = reporter.times.find(key + "/cairo");
        if (ours == reporter.times.end() || cairo == reporter.times.end()) continue;
        std::printf("%-22s %10.3f %10.3f %8.2f\n", key.c_str(), ours->second, cairo->second,
                    ours->second / cairo->second);
    }
    std::printf("\nBitmap scenes, CPU time per frame\n%-28s %9s %9s %9s %9s %9s\n", "scene", "ours ms", "bilinear",
                "ratio", "good", "ratio");
    for (const auto& scene : BitmapScenes) {
        std::string key = bitmapKey(*scene);
        auto ours = reporter.times.find(key + "/ours");
        auto bilinear = reporter.times.find(key + "/cairo-bilinear"), good = reporter.times.find(key + "/cairo-good");
        if (ours == reporter.times.end() || bilinear == reporter.times.end() || good == reporter.times.end()) continue;
        std::printf("%-28s %9.3f %9.3f %9.2f %9.3f %9.2f\n", key.c_str(), ours->second, bilinear->second,
                    ours->second / bilinear->second, good->second, ours->second / good->second);
    }
    return 0;
}
