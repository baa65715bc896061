// swfrender [--warnings] [--trace] movie.swf frame width height out.png
//
// Plays the movie from its start for `frame` ticks (0: the first frame as
// loaded, with its actions run) and writes what the player shows at that
// point, scaled to width x height (ShowAll), as a PNG image. With --warnings
// it also lists, on standard error, what the player had to repair or leave
// out while reading and playing the movie. With --trace it prints the
// scripts' trace() lines on standard output as they come. Text in system fonts is drawn with
// the DejaVu faces. Files the movie loads (pages, pictures, variables) come
// from the movie's folder; loads complete on the tick after they are asked
// for, so pages show from frame 1.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/image/png_encoder.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/fonts/freetype/freetype_fonts.h"

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

// Straight RGBA bytes from the surface's premultiplied pixels.
std::vector<std::uint8_t> ToRgba(const swf::raster::Surface& surface) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(surface.width()) * surface.height() * 4);
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            const std::uint32_t a = p >> 24;
            auto channel = [a](std::uint32_t c) {
                return static_cast<std::uint8_t>(a == 0 ? 0 : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
            };
            rgba.push_back(channel((p >> 16) & 0xff));
            rgba.push_back(channel((p >> 8) & 0xff));
            rgba.push_back(channel(p & 0xff));
            rgba.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return rgba;
}

}  // namespace

int main(int argc, char** argv) {
    bool showWarnings = false, showTrace = false;
    while (argc > 1 && (std::string(argv[1]) == "--warnings" || std::string(argv[1]) == "--trace")) {
        (std::string(argv[1]) == "--warnings" ? showWarnings : showTrace) = true;
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    long frame = 0, width = 0, height = 0;
    if (argc != 6 || !ParseNumber(argv[2], 0, kMaxFrames, &frame) || !ParseNumber(argv[3], 1, kMaxSide, &width) ||
        !ParseNumber(argv[4], 1, kMaxSide, &height)) {
        std::cerr << "usage: swfrender [--warnings] [--trace] movie.swf frame width height out.png\n"
                     "  --warnings: list what was repaired or left out while reading and playing\n"
                     "  --trace: print the scripts' trace() lines\n"
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
    if (showTrace) {
        player.SetLogHandler([](swf::Player::LogKind kind, const std::string& text) {
            if (kind == swf::Player::LogKind::Trace) std::cout << text << "\n";
        });
    }
    if (!player.LoadFile(argv[1])) {
        std::cerr << "swfrender: " << player.LoadError() << "\n";
        return 1;
    }
    for (long i = 0; i < frame; ++i) player.AdvanceFrame();
    if (showWarnings) {
        for (const std::string& warning : player.Warnings()) std::cerr << "swfrender: warning: " << warning << "\n";
    }

    swf::raster::Surface surface(static_cast<int>(width), static_cast<int>(height));
    player.Render(surface);
    const std::vector<std::uint8_t> png = swf::EncodePng(surface.width(), surface.height(), ToRgba(surface));

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
