// Movies from a third-party writer (ffmpeg's SWF muxer), drawn by the player
// and compared with ffmpeg's own decoding of the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/raster/surface.h"

namespace swf {
namespace {

std::vector<std::uint8_t> ReadMedia(const std::string& name) {
    std::ifstream in("media/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing (made by the build with ffmpeg)";
    return {std::istreambuf_iterator<char>(in), {}};
}

// PSNR in dB of the surface's colours against frame `index` of an rgb24 file.
double Psnr(const raster::Surface& surface, const std::vector<std::uint8_t>& rgb, std::size_t index) {
    const std::size_t count = static_cast<std::size_t>(surface.width()) * surface.height();
    if (rgb.size() < (index + 1) * count * 3) return 0;
    const std::uint8_t* frame = rgb.data() + index * count * 3;
    double squares = 0;
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            const std::uint8_t* theirs = frame + (static_cast<std::size_t>(y) * surface.width() + x) * 3;
            for (int c = 0; c < 3; ++c) {
                const double d = static_cast<int>(p >> (16 - 8 * c) & 0xFF) - theirs[c];
                squares += d * d;
            }
        }
    }
    return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * static_cast<double>(count * 3) / squares);
}

raster::Surface DrawFrame(Player& player) {
    raster::Surface surface(160, 120);
    player.Render(surface);
    return surface;
}

TEST(FfmpegMovies, JpegFramesThatRedefineOneBitmapPlayAsFfmpegDecodesThem) {
    const auto bytes = ReadMedia("mjpeg_frames.swf");
    const auto frames = ReadMedia("mjpeg_frames.rgb");
    ASSERT_EQ(frames.size(), 10u * 160 * 120 * 3) << "two seconds at 5 fps";
    Player player;
    ASSERT_TRUE(player.Load(bytes)) << player.LoadError();
    player.SetViewportSize(160, 120);
    // The header says 0 frames; the ShowFrame tags decide.
    EXPECT_EQ(player.FrameCount(), 10u);
    for (std::uint32_t i = 0; i < 10; ++i) {
        ASSERT_EQ(player.CurrentFrame(), i);
        const raster::Surface shown = DrawFrame(player);
        // JPEG decoders differ in where they site the halved chroma: libjpeg's
        // decoding of these frames (ImageMagick's) is 25.3 dB from ffmpeg's.
        const double own = Psnr(shown, frames, i);
        EXPECT_GT(own, 24.0) << "frame " << i;
        if (i > 0) EXPECT_LT(Psnr(shown, frames, i - 1), own - 3) << "frame " << i << " shows the one before";
        if (i + 1 < 10) EXPECT_LT(Psnr(shown, frames, i + 1), own - 3) << "frame " << i << " shows the next";
        player.AdvanceFrame();
    }
    // Going back shows what that frame placed, not the last definition of the id.
    for (const std::uint32_t frame : {3u, 0u, 7u}) {
        player.GotoFrame(frame);
        const raster::Surface shown = DrawFrame(player);
        EXPECT_GT(Psnr(shown, frames, frame), 24.0) << "frame " << frame;
        EXPECT_LT(Psnr(shown, frames, 9), Psnr(shown, frames, frame) - 3) << "frame " << frame << " shows the last";
    }
    for (const std::string& warning : player.Warnings()) ADD_FAILURE() << warning;
}

}  // namespace
}  // namespace swf
