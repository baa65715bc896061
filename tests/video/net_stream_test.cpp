// FLV files played by a movie's script through NetConnection, NetStream and
// a Video on the stage, in the player: the status sequence and metadata,
// pictures against ffmpeg's decoding at each tick, seeks landing on the key
// frames ffprobe lists, pause, sound into the mix with its clip's volume,
// and missing, refused and cut files.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/sound/mpg123_codec.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/script_expressions.h"
#include "tests/swf/swf_bytes.h"
#include "tests/video/ffprobe_output.h"
#include "tests/video/video_media.h"

namespace swf {
namespace {

using test::Bytes;
using writer::ActionAssembler;
using namespace writer::script;

constexpr std::uint16_t kVideoSymbol = 1;

// A DefineVideoStream with no frames, as authoring tools put a Video symbol on the stage.
Bytes VideoSymbol(std::uint16_t width, std::uint16_t height) {
    return {kVideoSymbol & 0xFF,
            0,
            0,
            0,
            static_cast<std::uint8_t>(width & 0xFF),
            static_cast<std::uint8_t>(width >> 8),
            static_cast<std::uint8_t>(height & 0xFF),
            static_cast<std::uint8_t>(height >> 8),
            0,
            0};
}

// ns plays `file` into the Video "screen"; every status and the metadata are traced.
ActionAssembler PlayScript(const std::string& file) {
    ActionAssembler a;
    Let(a, "nc", New("NetConnection"));
    Trace(a, CallM(V("nc"), "connect", {Null()}));
    Let(a, "ns", New("NetStream", {V("nc")}));
    ActionAssembler status;
    Trace(status, Add(Add(M(V("info"), "code"), S(" ")), M(V("info"), "level")));
    SetM(a, V("ns"), "onStatus", Fn({"info"}, status));
    ActionAssembler meta;
    Trace(meta, Add(Add(Add(Add(Add(S("meta "), M(V("info"), "duration")), S(" ")), M(V("info"), "width")), S("x")),
                    M(V("info"), "height")));
    SetM(a, V("ns"), "onMetaData", Fn({"info"}, meta));
    Do(a, CallM(V("screen"), "attachVideo", {V("ns")}));
    Do(a, CallM(V("ns"), "play", {S(file)}));
    return a;
}

// A movie at `fps` whose stage is the video's size, with the Video placed
// at its origin and `script` on frame 1; each of `later` is a frame of its
// own that a test goes to (each stops there).
Bytes VideoMovie(ActionAssembler script, int width, int height, double fps = 10,
                 std::vector<ActionAssembler> later = {}) {
    script.Action(writer::ActionCode::Stop);
    test::Place place;
    place.character = kVideoSymbol;
    place.name = "screen";
    std::vector<Bytes> tags = {
        test::Tag(60, VideoSymbol(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height))),
        test::PlaceObject2(place), test::DoAction(script.Finish()), test::ShowFrame()};
    for (ActionAssembler& frame : later) {
        frame.Action(writer::ActionCode::Stop);
        tags.push_back(test::DoAction(frame.Finish()));
        tags.push_back(test::ShowFrame());
    }
    return test::Movie(tags, width * 20, height * 20, fps, static_cast<std::uint16_t>(1 + later.size()));
}

struct MoviePlay {
    std::unique_ptr<sound::Mp3Codec> mp3 = sound::MakeMpg123Codec();
    Player player;
    NativeFileHost files;
    std::vector<std::string> traces;
    std::vector<std::string> warnings;

    explicit MoviePlay(const Bytes& movie, std::filesystem::path folder = VIDEO_TEST_MEDIA) : files(std::move(folder)) {
        player.SetFileHost(&files);
        player.SetMp3Codec(mp3.get());
        player.SetLogHandler([this](Player::LogKind kind, const std::string& text) {
            (kind == Player::LogKind::Trace ? traces : warnings).push_back(text);
        });
        EXPECT_TRUE(player.Load(movie)) << player.LoadError();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) player.AdvanceFrame();
    }
    // What the test's own frames traced, without the statuses and metadata.
    std::vector<std::string> Reports() const {
        std::vector<std::string> out;
        for (const std::string& t : traces)
            if (!t.starts_with("NetStream.") && !t.starts_with("meta ")) out.push_back(t);
        return out;
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> out;
        for (const std::string& t : traces)
            if (t.starts_with("NetStream.")) out.push_back(t);
        return out;
    }
    raster::Image Picture(int width, int height) {
        raster::Surface surface(width, height);
        player.Render(surface);
        raster::Image image;
        image.width = width;
        image.height = height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image.pixels.push_back(surface.pixel(x, y));
        return image;
    }
};

}  // namespace

TEST(NetStream, StatusesAndMetadataComeInThePlayersOrder) {
    const video_test::Probe probe("flv_adpcm");
    MoviePlay run(VideoMovie(PlayScript("flv_adpcm.flv"), 160, 120));
    ASSERT_FALSE(run.traces.empty());
    EXPECT_EQ(run.traces[0], "true") << "connect(null) makes the local connection";
    // Nothing is told inside the script that asked.
    EXPECT_EQ(run.traces.size(), 1u);
    run.Ticks(1);
    ASSERT_GE(run.traces.size(), 4u);
    EXPECT_EQ(run.traces[1], "NetStream.Play.Start status");
    // ffmpeg's metadata: its duration, and the video's size as ffprobe sees it.
    const std::string video = probe.Stream("video");
    const std::string meta = run.traces[2];
    ASSERT_TRUE(meta.starts_with("meta ")) << meta;
    const std::size_t space = meta.find(' ', 5);
    EXPECT_NEAR(std::stod(meta.substr(5, space - 5)), std::stod(probe.Get("format.duration")), 0.1) << meta;
    EXPECT_EQ(meta.substr(space + 1), probe.Get(video + "width") + "x" + probe.Get(video + "height"));
    EXPECT_EQ(run.traces[3], "NetStream.Buffer.Full status");
    // Three seconds at ten ticks a second, and a little over.
    run.Ticks(40);
    const std::vector<std::string> statuses = run.Statuses();
    const std::vector<std::string> expected = {"NetStream.Play.Start status", "NetStream.Buffer.Full status",
                                               "NetStream.Buffer.Flush status", "NetStream.Play.Stop status",
                                               "NetStream.Buffer.Empty status"};
    EXPECT_EQ(statuses, expected);
    EXPECT_TRUE(run.warnings.empty()) << run.warnings.front();
}

TEST(NetStream, EachTickShowsTheFrameFfmpegDecodesForThatTime) {
    // Screen Video at 10 fps in a movie at 10 fps: tick k shows frame k - 1.
    for (const char* name : {"sv1_320x240", "sv2_320x240"}) {
        SCOPED_TRACE(name);
        const Bytes rgb = video_test::ReadMedia(std::string(name) + ".rgb");
        MoviePlay run(VideoMovie(PlayScript(std::string(name) + ".flv"), 320, 240, 10));
        const double rate = std::string(name) == "sv1_320x240" ? 10 : 30;
        for (int tick = 1; tick <= 25; ++tick) {
            run.Ticks(1);
            const auto frame = static_cast<std::size_t>(std::floor((tick - 1) * rate / 10 + 1e-9));
            const raster::Image picture = run.Picture(320, 240);
            ASSERT_GE(video_test::Psnr(picture, rgb, frame), 40.0) << "tick " << tick << ", frame " << frame;
        }
    }
}

TEST(NetStream, SeeksLandOnTheKeyFramesFfprobeLists) {
    // With the key frame index in the metadata, and without one (gathered
    // from the tags, looking ahead of what was read when a seek goes further).
    for (const char* name : {"flv_adpcm", "flv_mp3"}) {
        SCOPED_TRACE(name);
        std::vector<double> keys;
        for (const video_test::Packet& p : video_test::Packets(video_test::Probe(name)))
            if (p.type == "video" && p.key) keys.push_back(p.pts / 1000.0);
        ASSERT_GE(keys.size(), 3u);
        // Each target, and the key frame a seek to it lands on.
        const std::vector<std::pair<double, double>> seeks = {{keys.back() + 0.01, keys.back()},
                                                              {keys[1] + 0.01, keys[1]},
                                                              {keys[2] - 0.01, keys[1]},
                                                              {-5, 0},
                                                              {keys[2], keys[2]}};
        std::vector<ActionAssembler> frames;
        for (const auto& [target, key] : seeks) {
            ActionAssembler seek;
            Do(seek, CallM(V("ns"), "seek", {N(target)}));
            Trace(seek, Add(S("time "), M(V("ns"), "time")));
            frames.push_back(std::move(seek));
        }
        MoviePlay run(VideoMovie(PlayScript(std::string(name) + ".flv"), 160, 120, 10, std::move(frames)));
        run.Ticks(2);
        for (std::size_t i = 0; i < seeks.size(); ++i) {
            run.traces.clear();
            // As a button would: a script between ticks seeks.
            run.player.GotoFrame(static_cast<std::uint32_t>(i + 1));
            ASSERT_FALSE(run.traces.empty());
            EXPECT_NEAR(std::stod(run.traces[0].substr(5)), seeks[i].second, 1e-9) << "seek to " << seeks[i].first;
            run.Ticks(1);
            ASSERT_GE(run.traces.size(), 2u);
            EXPECT_EQ(run.traces[1], "NetStream.Seek.Notify status");
            // Playing goes on from there.
            run.Ticks(3);
        }
        EXPECT_TRUE(run.warnings.empty()) << run.warnings.front();
    }
}

TEST(NetStream, InRealTimeTheStreamKeepsToTheWallClockNotTheTicks) {
    // A movie at 1 fps: four ticks are three seconds of frame time, but a
    // host ticking in real time that ticked them within about 0.3 s sees the
    // stream about 0.3 s on.
    ActionAssembler report;
    Trace(report, M(V("ns"), "time"));
    std::vector<ActionAssembler> frames;
    frames.push_back(std::move(report));
    MoviePlay run(VideoMovie(PlayScript("sv2_320x240.flv"), 320, 240, 1, std::move(frames)));
    run.player.SetRealTime(true);
    run.Ticks(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.Ticks(1);
    run.traces.clear();
    run.player.GotoFrame(1);
    ASSERT_EQ(run.Reports().size(), 1u);
    const double time = std::stod(run.Reports()[0]);
    EXPECT_GE(time, 0.29);
    EXPECT_LT(time, 2.5) << "not one second a tick";
}

TEST(NetStream, TheVideosDeblockingReachesTheStreamsDecoder) {
    // ffmpeg's Sorenson frames drawn with the deblocking filter forced off
    // and forced on differ; the setting reads back as set.
    const auto picture = [](int deblocking) {
        ActionAssembler script = PlayScript("h263_176x144.flv");
        SetM(script, V("screen"), "deblocking", N(deblocking));
        Trace(script, Add(S("deblocking "), M(V("screen"), "deblocking")));
        MoviePlay run(VideoMovie(std::move(script), 176, 144, 25));
        EXPECT_EQ(run.Reports(), (std::vector<std::string>{"true", "deblocking " + std::to_string(deblocking)}));
        run.Ticks(12);
        return run.Picture(176, 144);
    };
    const raster::Image off = picture(1), on = picture(2);
    EXPECT_NE(off.pixels, on.pixels);
    // Off is the picture ffmpeg decodes (it does not filter): frame 11 at tick 12.
    EXPECT_GE(video_test::Psnr(off, video_test::ReadMedia("h263_176x144.rgb"), 11), 40.0);
}

TEST(NetStream, PauseHoldsThePictureAndTimeUntilResumed) {
    ActionAssembler pause;
    Do(pause, CallM(V("ns"), "pause"));
    Trace(pause, Add(Add(M(V("ns"), "time"), S(" ")), M(V("ns"), "currentFps")));
    ActionAssembler report;
    Trace(report, Add(Add(M(V("ns"), "time"), S(" ")), M(V("ns"), "currentFps")));
    std::vector<ActionAssembler> frames;
    frames.push_back(pause);
    frames.push_back(std::move(report));
    frames.push_back(std::move(pause));
    MoviePlay run(VideoMovie(PlayScript("sv2_320x240.flv"), 320, 240, 10, std::move(frames)));
    run.Ticks(12);
    run.traces.clear();
    run.player.GotoFrame(1);  // pause()
    const raster::Image held = run.Picture(320, 240);
    run.Ticks(8);
    run.player.GotoFrame(2);
    // Paused after eleven ticks of play: 1.1 s, and no frames shown since.
    EXPECT_EQ(run.Reports(), (std::vector<std::string>{"1.1 0", "1.1 0"}));
    EXPECT_EQ(run.Picture(320, 240).pixels, held.pixels);
    run.player.GotoFrame(3);  // pause() again resumes
    run.Ticks(5);
    run.traces.clear();
    run.player.GotoFrame(2);
    // Moving again: one frame shown a tick, ten over the last second of play.
    EXPECT_EQ(run.Reports(), std::vector<std::string>{"1.6 10"});
    EXPECT_NE(run.Picture(320, 240).pixels, held.pixels);
}

TEST(NetStream, SoundPlaysInTheMixAtTheVolumeOfTheClipItIsAttachedTo) {
    // The ADPCM file's 440 Hz tone, alone and after a Sound on the clip
    // the stream's audio is attached to set the volume to 0.
    const auto loudness = [](bool muted) {
        ActionAssembler script = PlayScript("flv_adpcm.flv");
        if (muted) {
            Do(script, CallM(V("_root"), "attachAudio", {V("ns")}));
            Let(script, "volume", New("Sound", {V("_root")}));
            Do(script, CallM(V("volume"), "setVolume", {N(0)}));
        }
        MoviePlay run(VideoMovie(std::move(script), 160, 120));
        run.Ticks(3);
        std::vector<std::int16_t> mix(2 * 4410);
        run.player.MixAudio(mix);
        double sum = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < mix.size(); i += 2) {
            sum += static_cast<double>(mix[i]) * mix[i];
            if (i >= 2 && (mix[i - 2] < 0) != (mix[i] < 0)) ++crossings;
        }
        return std::make_pair(std::sqrt(sum / (mix.size() / 2)), crossings);
    };
    const auto [level, crossings] = loudness(false);
    EXPECT_GT(level, 2000) << "ffmpeg's sine is at an eighth of full scale: about 2900 RMS";
    // 440 Hz over a tenth of a second crosses zero about 88 times.
    EXPECT_NEAR(crossings, 88, 4);
    EXPECT_EQ(loudness(true).first, 0);
}

TEST(NetStream, MissingRefusedAndForeignFilesAreNotFoundAndTheMovieGoesOn) {
    for (const char* file : {"missing.flv", "../video/media/flv_small.flv", "flv_adpcm.txt", "C:/flv_small.flv"}) {
        SCOPED_TRACE(file);
        ActionAssembler script = PlayScript(file);
        MoviePlay run(VideoMovie(std::move(script), 160, 120));
        run.Ticks(5);
        EXPECT_EQ(run.Statuses(), std::vector<std::string>{"NetStream.Play.StreamNotFound error"});
        ASSERT_FALSE(run.warnings.empty());
        EXPECT_NE(run.warnings[0].find(file), std::string::npos) << run.warnings[0];
    }
}

// AMF0 as the format defines it: a string, a number, and an object's members.
void PutString(Bytes& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(text.size() >> 8));
    out.push_back(static_cast<std::uint8_t>(text.size() & 0xFF));
    out.insert(out.end(), text.begin(), text.end());
}
void PutNumber(Bytes& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    out.push_back(0x00);
    for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

TEST(NetStream, CuePointsComeWhenThePlayheadReachesThem) {
    // flv_small with an onCuePoint script data tag put in where its time
    // belongs among ffmpeg's tags: {name: "half", time: 0.4, type: "event"}.
    const Bytes small = video_test::ReadMedia("flv_small.flv");
    std::uint64_t at = 0;
    for (const video_test::Packet& p : video_test::Packets(video_test::Probe("flv_small"))) {
        if (p.pts > 400) {
            at = p.pos;
            break;
        }
    }
    ASSERT_GT(at, 13u);
    Bytes body = {0x02};
    PutString(body, "onCuePoint");
    body.push_back(0x03);
    PutString(body, "name");
    body.push_back(0x02);
    PutString(body, "half");
    PutString(body, "time");
    PutNumber(body, 0.4);
    PutString(body, "type");
    body.push_back(0x02);
    PutString(body, "event");
    body.insert(body.end(), {0x00, 0x00, 0x09});
    Bytes tag = {18,
                 0,
                 static_cast<std::uint8_t>(body.size() >> 8),
                 static_cast<std::uint8_t>(body.size() & 0xFF),
                 0,
                 0x01,
                 0x90,
                 0,
                 0,
                 0,
                 0};  // 400 ms
    tag.insert(tag.end(), body.begin(), body.end());
    const std::size_t tagSize = tag.size();
    for (int shift = 24; shift >= 0; shift -= 8) tag.push_back(static_cast<std::uint8_t>(tagSize >> shift));
    Bytes file(small.begin(), small.begin() + static_cast<std::ptrdiff_t>(at));
    file.insert(file.end(), tag.begin(), tag.end());
    file.insert(file.end(), small.begin() + static_cast<std::ptrdiff_t>(at), small.end());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("net_stream_cue_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream out(folder / "cued.flv", std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    ActionAssembler script = PlayScript("cued.flv");
    ActionAssembler cue;
    Trace(cue, Add(Add(Add(Add(Add(S("cue "), M(V("info"), "name")), S(" ")), M(V("info"), "time")), S(" ")),
                   M(V("info"), "type")));
    SetM(script, V("ns"), "onCuePoint", Fn({"info"}, cue));
    MoviePlay run(VideoMovie(std::move(script), 32, 24), folder);
    run.Ticks(4);
    EXPECT_EQ(run.Reports(), std::vector<std::string>{"true"}) << "not before 0.4 s";
    run.Ticks(1);
    EXPECT_EQ(run.Reports(), (std::vector<std::string>{"true", "cue half 0.4 event"}));
    run.Ticks(20);
    EXPECT_EQ(run.Reports().size(), 2u) << "once";
    EXPECT_EQ(run.Statuses().back(), "NetStream.Buffer.Empty status");
    std::filesystem::remove_all(folder);
}

TEST(NetStream, EveryCutOfASmallFilePlaysWhatItHoldsAndEnds) {
    const Bytes whole = video_test::ReadMedia("flv_small.flv");
    ASSERT_GT(whole.size(), 100u);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("net_stream_cuts_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        {
            std::ofstream out(folder / "cut.flv", std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(whole.data()), static_cast<std::streamsize>(cut));
        }
        Player player;
        NativeFileHost files(folder);
        player.SetFileHost(&files);
        std::vector<std::string> statuses;
        player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
            if (kind == Player::LogKind::Trace && text.starts_with("NetStream.")) statuses.push_back(text);
        });
        ASSERT_TRUE(player.Load(VideoMovie(PlayScript("cut.flv"), 32, 24)));
        for (int i = 0; i < 20; ++i) player.AdvanceFrame();
        raster::Surface surface(32, 24);
        player.Render(surface);
        ASSERT_FALSE(statuses.empty()) << cut;
        if (cut < 3) {
            EXPECT_EQ(statuses.back(), "NetStream.Play.StreamNotFound error") << cut;
        } else {
            EXPECT_EQ(statuses.back(), "NetStream.Buffer.Empty status") << cut;
            EXPECT_EQ(statuses[statuses.size() - 2], "NetStream.Play.Stop status") << cut;
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace swf
