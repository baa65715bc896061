// Screen Video 2 decoding at 1280 x 720: every frame of a stream that ffmpeg
// makes when the benchmark starts, against ffmpeg decoding the same file on
// one thread in the same run. The stream (palette-coded, diff and primed
// blocks, a key frame a second):
//   ffmpeg -f lavfi -i testsrc2=size=1280x720:rate=30 -t 4 -c:v flashsv2 -g 30 testsrc2_720p.flv
// ffmpeg's time is its user time over the frames:
//   ffmpeg -threads 1 -benchmark -i testsrc2_720p.flv -f null -
//   swf_screen_video_bench [google benchmark flags]

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

fs::path Stream() {
    static const fs::path file = [] {
        const fs::path dir = fs::temp_directory_path() / "swf_screen_video_bench";
        fs::create_directories(dir);
        const fs::path path = dir / "testsrc2_720p.flv";
        const std::string command =
            "/usr/bin/ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=30 -t 4 -c:v flashsv2 -g 30 '" +
            path.string() + "'";
        if (!fs::exists(path) && std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "swf_screen_video_bench: ffmpeg could not make %s\n", path.string().c_str());
            std::exit(1);
        }
        return path;
    }();
    return file;
}

// The codec data of every video tag (after the tag's first byte).
std::vector<Bytes> VideoFrames(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes flv(std::istreambuf_iterator<char>(in), {});
    std::vector<Bytes> frames;
    if (flv.size() < 13) return frames;
    std::size_t at = (std::size_t{flv[5]} << 24 | std::size_t{flv[6]} << 16 | std::size_t{flv[7]} << 8 | flv[8]) + 4;
    while (at + 11 <= flv.size()) {
        const std::size_t size = std::size_t{flv[at + 1]} << 16 | std::size_t{flv[at + 2]} << 8 | flv[at + 3];
        if (at + 11 + size > flv.size()) break;
        if (flv[at] == 9 && size > 1) frames.emplace_back(flv.begin() + at + 12, flv.begin() + at + 11 + size);
        at += 11 + size + 4;
    }
    return frames;
}

// ffmpeg's user time for decoding the whole file, in seconds (-1 if unknown).
double FfmpegSeconds(const fs::path& path) {
    const std::string command =
        "/usr/bin/ffmpeg -nostdin -hide_banner -threads 1 -benchmark -i '" + path.string() + "' -f null - 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    double seconds = -1;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        if (const char* utime = std::strstr(line, "utime=")) seconds = std::atof(utime + 6);
    }
    pclose(pipe);
    return seconds;
}

void BM_ScreenVideo2At720p(benchmark::State& state) {
    const std::vector<Bytes> frames = VideoFrames(Stream());
    if (frames.empty()) {
        state.SkipWithError("no video frames in the stream");
        return;
    }
    auto decoder = swf::video::MakeVideoDecoder(swf::video::VideoCodecId::ScreenVideo2);
    for (auto _ : state) {
        for (const Bytes& frame : frames) {
            const auto result = decoder->Decode(frame);
            if (!result.ok) state.SkipWithError(result.problem.c_str());
            benchmark::DoNotOptimize(decoder->Picture().pixels.data());
        }
    }
    const double count = static_cast<double>(frames.size());
    state.counters["frame"] =
        benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    static const double ffmpegSeconds = FfmpegSeconds(Stream());
    state.counters["ffmpeg_frame"] = ffmpegSeconds / count;
    state.counters["frames"] = count;
}
BENCHMARK(BM_ScreenVideo2At720p)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
