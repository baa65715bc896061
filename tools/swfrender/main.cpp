// swfrender [--warnings] [--trace] [--audio out.wav] movie.swf frame width height out.png
//
// Plays the movie from its start for `frame` ticks (0: the first frame as
// loaded, with its actions run) and writes what the player shows at that
// point, scaled to width x height (ShowAll), as a PNG image. With --warnings
// it also lists, on standard error, what the player had to repair or leave
// out while reading and playing the movie. With --trace it prints the
// scripts' trace() lines on standard output as they come. Text in system fonts is drawn with
// the DejaVu faces. Files the movie loads (pages, pictures, variables) come
// from the movie's folder; loads complete on the tick after they are asked
// for, so pages show from frame 1. With --audio it also writes the movie's
// sound over the frames it played (each tick is one frame's time at the
// movie's rate) as a 44.1 kHz stereo WAV file; MP3 comes through libmpg123.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/sound/mixer.h"
#include "swf/sound/mpg123_codec.h"
#include "tools/frame_png/frame_png.h"
#include "tools/swfrender/wav_file.h"

namespace {

constexpr int kMaxSide = 16384;
constexpr long kMaxFrames = 1'000'000;

bool ParseNumber(const char* text, long min, long max, long* out) {
    try {
        std::size_t used = 0;
        const long v = std::stol(text, &used);
        if (used != std::string(text).size() || v < min || v > max) return false;
        *out = v;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool showWarnings = false, showTrace = false;
    std::string audioPath;
    while (argc > 1 && std::string(argv[1]).starts_with("--")) {
        const std::string option = argv[1];
        int taken = 1;
        if (option == "--warnings") {
            showWarnings = true;
        } else if (option == "--trace") {
            showTrace = true;
        } else if (option == "--audio" && argc > 2) {
            audioPath = argv[2];
            taken = 2;
        } else {
            break;
        }
        argv[taken] = argv[0];
        argv += taken;
        argc -= taken;
    }
    long frame = 0, width = 0, height = 0;
    if (argc != 6 || !ParseNumber(argv[2], 0, kMaxFrames, &frame) || !ParseNumber(argv[3], 1, kMaxSide, &width) ||
        !ParseNumber(argv[4], 1, kMaxSide, &height)) {
        std::cerr << "usage: swfrender [--warnings] [--trace] [--audio out.wav] movie.swf frame width height out.png\n"
                     "  --warnings: list what was repaired or left out while reading and playing\n"
                     "  --trace: print the scripts' trace() lines\n"
                     "  --audio: write the sound of the frames played as a WAV file\n"
                     "  frame: ticks played from the start (0 = first frame)\n"
                     "  width, height: 1.."
                  << kMaxSide << " pixels\n";
        return 2;
    }
    swf::Player player;
    swf::NativeFileHost files(std::filesystem::absolute(argv[1]).parent_path());
    player.SetFileHost(&files);
    swf::fonts::FreeTypeFontProvider fonts;
    player.SetFontProvider(&fonts);
    const auto mp3 = swf::sound::MakeMpg123Codec();
    player.SetMp3Codec(mp3.get());
    if (showTrace) {
        player.SetLogHandler([](swf::Player::LogKind kind, const std::string& text) {
            if (kind == swf::Player::LogKind::Trace) std::cout << text << "\n";
        });
    }
    if (!player.LoadFile(argv[1])) {
        std::cerr << "swfrender: " << player.LoadError() << "\n";
        return 1;
    }
    // Each tick's share of the sound, at the movie's rate; the first frame's
    // time comes after the first tick or at the end.
    std::vector<std::int16_t> audio;
    const double rate = player.FrameRate() > 0 ? player.FrameRate() : 12;
    const auto mixUntil = [&](long ticks) {
        const auto frames = static_cast<std::size_t>(std::llround(ticks * swf::sound::kMixRate / rate));
        if (audioPath.empty() || frames * 2 <= audio.size()) return;
        const std::size_t from = audio.size();
        audio.resize(frames * 2);
        player.MixAudio(std::span(audio).subspan(from));
    };
    for (long i = 0; i < frame; ++i) {
        mixUntil(i + 1);
        player.AdvanceFrame();
    }
    mixUntil(frame + 1);
    if (!audioPath.empty() && !swfrender::WriteWav(audioPath, swf::sound::kMixRate, 2, audio)) {
        std::cerr << "swfrender: cannot write " << audioPath << "\n";
        return 1;
    }
    if (showWarnings) {
        for (const std::string& warning : player.Warnings()) std::cerr << "swfrender: warning: " << warning << "\n";
    }

    swf::raster::Surface surface(static_cast<int>(width), static_cast<int>(height));
    player.Render(surface);
    const std::vector<std::uint8_t> png = frame_png::EncodeSurface(surface);

    // Write beside the target first so a failed write leaves no half file.
    const std::string out = argv[5];
    const std::string temp = out + ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!file.flush()) {
            file.close();
            std::remove(temp.c_str());
            std::cerr << "swfrender: cannot write " << out << "\n";
            return 1;
        }
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) {
        std::remove(temp.c_str());
        std::cerr << "swfrender: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}
