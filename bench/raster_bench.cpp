// Renders standard scenes with our rasterizer and, when available, with Cairo,
// then prints our time divided by Cairo's for each scene. Bitmap scenes are
// compared with Cairo's bilinear and "good" filters.
//
//   swf_raster_bench [google benchmark flags]   (--benchmark_repetitions=N: medians compared)
//   RASTER_BENCH_PNG=dir swf_raster_bench   also writes each scene as PNG (needs Cairo)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bitmap_scenes.h"
#include "bench/cairo_bitmap_renderer.h"
#include "bench/cairo_renderer.h"
#include "bench/raster_scenes.h"

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
            }
        }
    }
    std::map<std::string, double> times;
};

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

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

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
