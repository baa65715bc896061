// Movies from a third-party writer (ffmpeg's SWF muxer), drawn by the player
// and compared with ffmpeg's own decoding of the same file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/io/movie_file.h"
#include "swf/io/tag_reader.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "tests/swf/swf_bytes.h"

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
        if (i > 0) {
            EXPECT_LT(Psnr(shown, frames, i - 1), own - 3) << "frame " << i << " shows the one before";
        }
        if (i + 1 < 10) {
            EXPECT_LT(Psnr(shown, frames, i + 1), own - 3) << "frame " << i << " shows the next";
        }
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

// Plays the movie's 20 frames in order and then jumps about; every frame
// shown is ffmpeg's decoding of it, within `decibels`.
void ExpectFramesAsFfmpegDecodes(const std::string& name, double decibels) {
    const auto bytes = ReadMedia(name + ".swf");
    const auto frames = ReadMedia(name + ".rgb");
    ASSERT_EQ(frames.size(), 20u * 160 * 120 * 3) << "two seconds at 10 fps";
    Player player;
    ASSERT_TRUE(player.Load(bytes)) << player.LoadError();
    for (const std::string& warning : player.Warnings()) ADD_FAILURE() << warning;
    player.SetViewportSize(160, 120);
    ASSERT_EQ(player.FrameCount(), 20u);
    for (std::uint32_t i = 0; i < 20; ++i) {
        EXPECT_GT(Psnr(DrawFrame(player), frames, i), decibels) << name << " frame " << i;
        player.AdvanceFrame();
    }
    // Back to a frame between key frames, forward past one, and to the start.
    for (const std::uint32_t frame : {5u, 13u, 14u, 0u, 19u, 11u}) {
        player.GotoFrame(frame);
        EXPECT_GT(Psnr(DrawFrame(player), frames, frame), decibels) << name << " after going to frame " << frame;
    }
}

TEST(FfmpegMovies, EmbeddedVideoShowsEachFrameAsFfmpegDecodesIt) {
    ExpectFramesAsFfmpegDecodes("screen_frames", 40.0);
    ExpectFramesAsFfmpegDecodes("sorenson_frames", 35.0);
}

TEST(FfmpegMovies, AJumpFarFromAnyKnownKeyFrameCatchesUpOverAFewDrawings) {
    // 150 frames of Screen Video with a key frame only at the start: going to
    // the last frame decodes 60 frames a drawing, showing the way there.
    const auto frames = ReadMedia("screen_long.rgb");
    ASSERT_EQ(frames.size(), 150u * 160 * 120 * 3);
    Player player;
    ASSERT_TRUE(player.Load(ReadMedia("screen_long.swf"))) << player.LoadError();
    player.SetViewportSize(160, 120);
    player.GotoFrame(149);
    EXPECT_GT(Psnr(DrawFrame(player), frames, 59), 40.0);
    EXPECT_GT(Psnr(DrawFrame(player), frames, 119), 40.0);
    EXPECT_GT(Psnr(DrawFrame(player), frames, 149), 40.0);
    EXPECT_GT(Psnr(DrawFrame(player), frames, 149), 40.0) << "and stays there";
}

// The VideoFrame tags of an ffmpeg-made movie, in order.
std::vector<test::Bytes> VideoFrameTags(const std::vector<std::uint8_t>& movie) {
    std::vector<test::Bytes> frames;
    const MovieFile file = ReadMovieFile(movie);
    TagReader tags(file.tags);
    while (auto tag = tags.Next()) {
        if (tag->code == tag::VideoFrame) frames.emplace_back(tag->body.begin(), tag->body.end());
    }
    return frames;
}

TEST(FfmpegMovies, VideoFramesInASpriteFillTheStreamsBoxAndVp6SaysItIsNotShown) {
    // ffmpeg's Screen Video frames moved into a sprite's timeline, for a
    // stream whose box is twice the pictures' size, not smoothed: each
    // picture pixel covers two by two pixels of the stage.
    const auto frames = ReadMedia("screen_frames.rgb");
    auto frameTags = VideoFrameTags(ReadMedia("screen_frames.swf"));
    ASSERT_EQ(frameTags.size(), 20u);
    for (auto& frame : frameTags) frame[0] = 1;  // ffmpeg's stream is id 0, ours 1
    test::BitWriter stream;
    stream.U16(1);    // id
    stream.U16(20);   // frames
    stream.U16(320);  // box
    stream.U16(240);
    stream.U8(0x02);  // deblocking off, no smoothing
    stream.U8(3);     // Screen Video
    std::vector<test::Bytes> spriteTags;
    for (std::size_t i = 0; i < 3; ++i) {
        test::Place place;
        place.move = i > 0;
        place.character = i == 0 ? 1 : -1;
        place.ratio = static_cast<int>(i);
        spriteTags.push_back(test::PlaceObject2(place));
        spriteTags.push_back(test::Tag(tag::VideoFrame, frameTags[i]));
        spriteTags.push_back(test::ShowFrame());
    }
    test::Place sprite;
    sprite.character = 2;
    const auto movie =
        test::Movie({test::Tag(tag::DefineVideoStream, stream.bytes()), test::DefineSprite(2, 3, spriteTags),
                     test::PlaceObject2(sprite), test::ShowFrame()},
                    6400, 4800);
    Player player;
    ASSERT_TRUE(player.Load(movie)) << player.LoadError();
    EXPECT_TRUE(player.Warnings().empty());
    player.SetViewportSize(320, 240);
    for (std::size_t i = 0; i < 3; ++i) {
        raster::Surface shown(320, 240);
        player.Render(shown);
        int wrong = 0;
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                const std::uint8_t* rgb = frames.data() + ((i * 120 + y) * 160 + x) * 3;
                const std::uint32_t want = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
                for (int corner = 0; corner < 4; ++corner)
                    wrong += shown.pixel(2 * x + (corner & 1), 2 * y + (corner >> 1)) != want ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "sprite frame " << i;
        player.AdvanceFrame();
    }

    // VP6 is not decoded: the movie says so once and plays on without it.
    auto bytes = stream.bytes();
    bytes.back() = 4;
    test::Place video;
    video.character = 1;
    video.ratio = 0;
    Player other;
    ASSERT_TRUE(other.Load(test::Movie({test::Tag(tag::DefineVideoStream, bytes), test::PlaceObject2(video),
                                        test::Tag(tag::VideoFrame, frameTags[0]), test::ShowFrame()})));
    EXPECT_EQ(other.Warnings(),
              std::vector<std::string>{"video 1 is in VP6, which this player does not decode; it shows nothing"});
    raster::Surface blank(200, 150);
    other.Render(blank);
}

}  // namespace
}  // namespace swf
