// The sound path's cost and its sync:
// - eight 10-second MP3 files (44.1 kHz stereo, 128 kbit/s, made by ffmpeg
//   when the benchmark starts) decoded and mixed together to 44.1 kHz
//   stereo, against ffmpeg decoding and mixing the same files (its amix
//   filter, one thread) in the same run;
// - a 60-second stream-sound movie whose frames are drawn at half the
//   speed they are due: the largest distance between the frame shown and
//   the frame the sound has reached, in frames.
//   swf_sound_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/sound/decode_sound.h"
#include "swf/sound/mixer.h"
#include "swf/sound/mp3_frames.h"
#include "swf/sound/mpg123_codec.h"
#include "swf/writer/movie.h"
#include "swf/writer/sound.h"

namespace {

namespace fs = std::filesystem;
constexpr int kVoices = 8;

fs::path MediaFolder() {
    static const fs::path folder = [] {
        fs::path dir = fs::temp_directory_path() / "swf_sound_bench";
        fs::create_directories(dir);
        for (int i = 0; i < kVoices; ++i) {
            const fs::path file = dir / ("voice" + std::to_string(i) + ".mp3");
            if (fs::exists(file)) continue;
            const std::string command =
                "/usr/bin/ffmpeg -v error -y -f lavfi -i sine=frequency=" + std::to_string(220 + 110 * i) +
                ":sample_rate=44100:duration=10 -ac 2 -c:a libmp3lame -b:a 128k "
                "-write_xing 0 -id3v2_version 0 '" +
                file.string() + "'";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "swf_sound_bench: ffmpeg could not make %s\n", file.string().c_str());
                std::exit(1);
            }
        }
        return dir;
    }();
    return folder;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void BM_EightMp3VoicesDecodedAndMixed(benchmark::State& state) {
    std::vector<std::vector<std::uint8_t>> files;
    for (int i = 0; i < kVoices; ++i) files.push_back(ReadAll(MediaFolder() / ("voice" + std::to_string(i) + ".mp3")));
    const auto codec = swf::sound::MakeMpg123Codec();
    swf::sound::SoundFormat mp3;
    mp3.codec = swf::sound::SoundCodec::Mp3;
    std::vector<std::int16_t> block(2 * 4096);
    double seconds = 0;
    for (auto _ : state) {
        swf::sound::Mixer mixer;
        for (const auto& file : files) {
            const auto frames = swf::sound::ScanMp3Frames(file);
            auto decoded =
                swf::sound::DecodeSound(mp3, file, static_cast<std::uint32_t>(frames.samples), 0, codec.get());
            if (!decoded.problem.empty()) state.SkipWithError(decoded.problem.c_str());
            mixer.Start(std::make_shared<const swf::sound::Samples>(std::move(decoded.samples)), {});
        }
        std::size_t mixed = 0;
        while (mixer.VoiceCount() > 0) {
            mixer.Mix(block);
            mixed += block.size() / 2;
        }
        seconds += static_cast<double>(mixed) / swf::sound::kMixRate;
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["audio_s_per_cpu_s"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EightMp3VoicesDecodedAndMixed)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FfmpegEightMp3DecodedAndMixed(benchmark::State& state) {
    std::string command = "/usr/bin/ffmpeg -v error -threads 1 -filter_threads 1";
    for (int i = 0; i < kVoices; ++i)
        command += " -i '" + (MediaFolder() / ("voice" + std::to_string(i) + ".mp3")).string() + "'";
    command += " -filter_complex amix=inputs=8:normalize=0 -ar 44100 -ac 2 -f s16le -y /dev/null";
    double seconds = 0;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
        seconds += 10;
    }
    state.counters["audio_s_per_cpu_s"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FfmpegEightMp3DecodedAndMixed)->Unit(benchmark::kMillisecond)->UseRealTime();

// 60 seconds at 12 frames a second: each frame a block of 22 kHz 16-bit mono PCM.
std::vector<std::uint8_t> StreamMovie() {
    namespace w = swf::writer;
    constexpr int kRate = 22050, kFps = 12, kFrames = 60 * kFps;
    w::TagStream stream;
    // Stream format: uncompressed little-endian (3), 22 kHz (2), 16-bit, mono.
    const std::uint8_t format = 3 << 4 | 2 << 2 | 1 << 1;
    stream.Add(w::TagCode::SoundStreamHead2, w::SoundStreamHeadBody(format, format, kRate / kFps));
    std::vector<std::uint8_t> block(2 * (kRate / kFps), 0x10);
    for (int f = 0; f < kFrames; ++f) {
        stream.Add(w::TagCode::SoundStreamBlock, block);
        stream.ShowFrame();
    }
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    header.frameRate = kFps;
    return w::BuildMovie(header, stream);
}

// The output takes one frame's sound every tick of the clock; drawing is so
// slow that the player gets a tick only every other one.
void BM_StreamSyncWithHalfSpeedDrawing(benchmark::State& state) {
    const std::vector<std::uint8_t> movie = StreamMovie();
    std::vector<std::int16_t> tick(2 * 44100 / 12);
    double worst = 0;
    for (auto _ : state) {
        swf::Player player;
        player.SetAudioClock(true);
        player.Load(movie);
        std::uint32_t ticks = 0, shown = 0;
        while (ticks < 60 * 12 - 2) {
            player.MixAudio(tick);
            ++ticks;
            if (ticks % 2 != 0) continue;
            player.AdvanceFrame();
            shown = player.CurrentFrame();
            // The sound has played `ticks` frames' worth.
            worst = std::max(worst, std::abs(static_cast<double>(ticks) - shown));
        }
        benchmark::DoNotOptimize(shown);
    }
    state.counters["max_drift_frames"] = worst;
}
BENCHMARK(BM_StreamSyncWithHalfSpeedDrawing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
