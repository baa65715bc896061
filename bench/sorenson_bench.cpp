// Sorenson H.263 decoding at 640 x 480, beside ffmpeg decoding the same file.
// The stream is made by ffmpeg when the benchmark starts:
//   ffmpeg -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 150 -c:v flv -g 30 -q:v 5 h263_640x480.flv
// (5 key frames, 145 inter frames). Our figure includes the conversion to
// RGB; ffmpeg's (its user time with -threads 1 -benchmark, output to the
// null muxer) stops at YUV.
//   swf_sorenson_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/video/video_decoder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path& StreamFile() {
    static const fs::path file = [] {
        const fs::path dir = fs::temp_directory_path() / "swf_sorenson_bench";
        fs::create_directories(dir);
        const fs::path path = dir / "h263_640x480.flv";
        if (!fs::exists(path)) {
            const std::string command =
                "/usr/bin/ffmpeg -v error -y -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 150 -c:v flv "
                "-g 30 -q:v 5 '" +
                path.string() + "'";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "swf_sorenson_bench: ffmpeg could not make %s\n", path.string().c_str());
                std::exit(1);
            }
        }
        return path;
    }();
    return file;
}

// The codec data of each video tag (after the tag's first byte).
std::vector<Bytes> VideoFrames() {
    std::ifstream in(StreamFile(), std::ios::binary);
    const Bytes flv{std::istreambuf_iterator<char>(in), {}};
    std::vector<Bytes> frames;
    for (std::size_t at = 13; at + 11 <= flv.size();) {
        const std::size_t size = static_cast<std::size_t>(flv[at + 1]) << 16 | flv[at + 2] << 8 | flv[at + 3];
        if (at + 11 + size > flv.size()) break;
        if (flv[at] == 9 && size > 1) frames.emplace_back(flv.begin() + at + 12, flv.begin() + at + 11 + size);
        at += 11 + size + 4;
    }
    return frames;
}

void BM_SorensonH263Decode640x480(benchmark::State& state) {
    const std::vector<Bytes> frames = VideoFrames();
    if (frames.empty()) state.SkipWithError("no video frames");
    auto decoder = swf::video::MakeVideoDecoder(swf::video::VideoCodecId::SorensonH263);
    decoder->SetDeblocking(swf::video::Deblocking::Off);
    for (auto _ : state) {
        for (const Bytes& frame : frames) {
            if (!decoder->Decode(frame).ok) state.SkipWithError("a frame did not decode");
        }
        benchmark::DoNotOptimize(decoder->Picture().pixels.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SorensonH263Decode640x480)->Unit(benchmark::kMillisecond);

// The same frames shown with deblocking on, which filters a copy of each.
void BM_SorensonH263Decode640x480Deblocked(benchmark::State& state) {
    const std::vector<Bytes> frames = VideoFrames();
    auto decoder = swf::video::MakeVideoDecoder(swf::video::VideoCodecId::SorensonH263);
    decoder->SetDeblocking(swf::video::Deblocking::On);
    for (auto _ : state) {
        for (const Bytes& frame : frames) decoder->Decode(frame);
        benchmark::DoNotOptimize(decoder->Picture().pixels.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(frames.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SorensonH263Decode640x480Deblocked)->Unit(benchmark::kMillisecond);

// ffmpeg's frames per second of user time, read from its -benchmark line;
// the time shown is the whole process's (start, probing, decoding).
void BM_FfmpegDecode640x480(benchmark::State& state) {
    const std::size_t frameCount = VideoFrames().size();
    const std::string command =
        "/usr/bin/ffmpeg -hide_banner -nostats -benchmark -threads 1 -i '" + StreamFile().string() + "' -f null - 2>&1";
    double userSeconds = 0;
    for (auto _ : state) {
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            state.SkipWithError("ffmpeg did not start");
            break;
        }
        char line[512];
        double utime = -1;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            if (const char* at = std::strstr(line, "utime=")) utime = std::atof(at + 6);
        }
        pclose(pipe);
        if (utime < 0) state.SkipWithError("no utime in ffmpeg's output");
        userSeconds += utime;
    }
    state.counters["frames_per_s"] =
        static_cast<double>(frameCount) * static_cast<double>(state.iterations()) / userSeconds;
}
BENCHMARK(BM_FfmpegDecode640x480)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
