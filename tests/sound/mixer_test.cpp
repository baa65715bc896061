// The mixer's arithmetic, with expected samples worked out from what each
// option means: rates, in and out points with loops, envelopes, channel
// transforms, fades at stops, the global volume and clipping.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "swf/sound/mixer.h"

using swf::sound::ChannelTransform;
using swf::sound::Mixer;
using swf::sound::PlayOptions;
using swf::sound::Samples;

namespace {

std::shared_ptr<const Samples> Sound(int rate, int channels, std::vector<std::int16_t> data) {
    auto sound = std::make_shared<Samples>();
    sound->rate = rate;
    sound->channels = channels;
    sound->data = std::move(data);
    return sound;
}

std::shared_ptr<const Samples> Constant(std::int16_t value, std::size_t frames) {
    return Sound(44100, 1, std::vector<std::int16_t>(frames, value));
}

// `frames` frames of the mix, interleaved.
std::vector<std::int16_t> Mixed(Mixer& mixer, std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    mixer.Mix(out);
    return out;
}

}  // namespace

TEST(Mixer, PlaysAtTheMixRateAsIsAndReportsTheEnd) {
    Mixer mixer;
    const auto id = mixer.Start(Sound(44100, 1, {100, -200, 300, -400}), {});
    EXPECT_TRUE(mixer.Playing(id));
    EXPECT_EQ(Mixed(mixer, 6), (std::vector<std::int16_t>{100, 100, -200, -200, 300, 300, -400, -400, 0, 0, 0, 0}));
    EXPECT_EQ(mixer.TakeFinished(), std::vector<swf::sound::VoiceId>{id});
    EXPECT_TRUE(mixer.TakeFinished().empty());
    EXPECT_FALSE(mixer.Playing(id));
    EXPECT_EQ(mixer.VoiceCount(), 0u);
}

TEST(Mixer, ResamplesToTheSameToneAndLength) {
    // 441 Hz sines at 11025 and at "5.5 kHz" (44100 / 8): at 44.1 kHz they
    // last four and eight times as many frames and follow the ideal sine.
    for (int rate : {11025, 5512}) {
        SCOPED_TRACE(rate);
        const double trueRate = rate == 5512 ? 5512.5 : rate;
        const std::size_t frames = 1000;
        std::vector<std::int16_t> tone(frames);
        for (std::size_t i = 0; i < frames; ++i)
            tone[i] =
                static_cast<std::int16_t>(std::lround(10000 * std::sin(2 * std::numbers::pi * 441 * i / trueRate)));
        Mixer mixer;
        mixer.Start(Sound(rate, 1, tone), {});
        const std::size_t scale = static_cast<std::size_t>(std::lround(44100 / trueRate));
        const std::vector<std::int16_t> out = Mixed(mixer, frames * scale + 10);
        double worst = 0;
        // Away from the ends, where the interpolation has its four samples.
        for (std::size_t k = scale; k < (frames - 2) * scale; ++k) {
            const double ideal = 10000 * std::sin(2 * std::numbers::pi * 441 * k / 44100.0);
            worst = std::max(worst, std::abs(out[2 * k] - ideal));
        }
        // Cubic interpolation of exact samples of a sine errs by at most 0.03 %
        // of its amplitude at 25 samples a period and 0.2 % at 12.5 (worked
        // out from the interpolation formula); the samples' rounding to 16
        // bits adds a little.
        EXPECT_LT(worst, rate == 11025 ? 10 : 40);
        EXPECT_EQ(out[2 * (frames * scale + 2)], 0);  // over after its length
        EXPECT_EQ(mixer.TakeFinished().size(), 1u);
    }
}

TEST(Mixer, InAndOutPointsLoopTheirPart) {
    std::vector<std::int16_t> ramp(1000);
    for (int i = 0; i < 1000; ++i) ramp[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    PlayOptions options;
    options.inPoint44 = 100;
    options.outPoint44 = 200;
    options.loops = 3;
    Mixer mixer;
    const auto id = mixer.Start(Sound(44100, 1, ramp), options);
    const std::vector<std::int16_t> out = Mixed(mixer, 310);
    for (std::size_t k = 0; k < 300; ++k) {
        // Starting inside the sound fades in over 220 frames (5 ms).
        const double expected = static_cast<double>(100 + k % 100) * std::min(1.0, k / 220.0);
        ASSERT_NEAR(out[2 * k], expected, 0.5) << k;
    }
    EXPECT_EQ(out[2 * 300], 0);
    EXPECT_EQ(mixer.TakeFinished(), std::vector<swf::sound::VoiceId>{id});

    // Points past the end, or an in point after the out point, play nothing.
    options.inPoint44 = 2000;
    options.outPoint44.reset();
    const auto past = mixer.Start(Sound(44100, 1, ramp), options);
    EXPECT_FALSE(mixer.Playing(past));
    EXPECT_EQ(mixer.TakeFinished(), std::vector<swf::sound::VoiceId>{past});
}

TEST(Mixer, EnvelopeMovesLevelsInStraightLines) {
    PlayOptions options;
    options.envelope = {{0, 32768, 0}, {1000, 0, 32768}};
    Mixer mixer;
    mixer.Start(Constant(10000, 2000), options);
    const std::vector<std::int16_t> out = Mixed(mixer, 1500);
    for (std::size_t k : {0u, 250u, 500u, 999u, 1000u, 1400u}) {
        const double t = std::min(1.0, k / 1000.0);
        EXPECT_NEAR(out[2 * k], 10000 * (1 - t), 0.5) << k;
        EXPECT_NEAR(out[2 * k + 1], 10000 * t, 0.5) << k;
    }

    // Points out of order (a bad file) never raise a level beyond full.
    options.envelope = {{1000, 32768, 32768}, {500, 0, 0}, {2000, 32768, 32768}};
    Mixer odd;
    odd.Start(Constant(10000, 3000), options);
    const std::vector<std::int16_t> bounded = Mixed(odd, 3000);
    EXPECT_LE(*std::max_element(bounded.begin(), bounded.end()), 10000);
    EXPECT_GE(*std::min_element(bounded.begin(), bounded.end()), 0);
}

TEST(Mixer, TransformsVolumeClippingAndStops) {
    // Each input channel's share in each output channel.
    Mixer mixer;
    ChannelTransform swap;
    swap.ll = 0.5;
    swap.lr = 0.25;
    swap.rl = 1;
    swap.rr = 0;
    mixer.Start(Sound(44100, 2, {1000, -2000}), {}, swap);
    EXPECT_EQ(Mixed(mixer, 1), (std::vector<std::int16_t>{-1500, 250}));

    // Volume and pan: full right at half volume leaves the left silent.
    const ChannelTransform right = ChannelTransform::VolumeAndPan(50, 100);
    EXPECT_DOUBLE_EQ(right.ll, 0);
    EXPECT_DOUBLE_EQ(right.rr, 0.5);
    const ChannelTransform left = ChannelTransform::VolumeAndPan(100, -40);
    EXPECT_DOUBLE_EQ(left.ll, 1);
    EXPECT_DOUBLE_EQ(left.rr, 0.6);

    // Two loud voices clip instead of wrapping round; the global volume
    // scales the sum.
    Mixer loud;
    loud.Start(Constant(30000, 10), {});
    loud.Start(Constant(30000, 10), {});
    EXPECT_EQ(Mixed(loud, 1)[0], 32767);
    loud.SetVolume(0.25);
    EXPECT_EQ(Mixed(loud, 1)[0], 15000);

    // A stop fades out over 220 frames and is not reported as finished.
    Mixer stopping;
    const auto id = stopping.Start(Constant(10000, 10000), {});
    Mixed(stopping, 100);
    stopping.Stop(id);
    EXPECT_FALSE(stopping.Playing(id));
    const std::vector<std::int16_t> out = Mixed(stopping, 300);
    for (std::size_t k = 0; k < 220; ++k) ASSERT_NEAR(out[2 * k], 10000 * (220 - k) / 220.0, 0.5) << k;
    EXPECT_EQ(out[2 * 220], 0);
    EXPECT_TRUE(stopping.TakeFinished().empty());
    EXPECT_EQ(stopping.VoiceCount(), 0u);

    // A movie that starts a long sound over and over keeps at most
    // kMaxVoices playing: the oldest fade out, and then they are gone.
    Mixer crowded;
    std::vector<swf::sound::VoiceId> ids;
    for (int i = 0; i < 200; ++i) ids.push_back(crowded.Start(Constant(100, 100000), {}));
    EXPECT_FALSE(crowded.Playing(ids.front()));
    EXPECT_TRUE(crowded.Playing(ids.back()));
    Mixed(crowded, 300);
    EXPECT_EQ(crowded.VoiceCount(), Mixer::kMaxVoices);
    EXPECT_EQ(Mixed(crowded, 1)[0], static_cast<std::int16_t>(100 * Mixer::kMaxVoices));

    // Nothing to play: finished at once, no voice kept.
    Mixer empty;
    const auto none = empty.Start(nullptr, {});
    const auto silent = empty.Start(Sound(44100, 3, {1, 2, 3}), {});
    EXPECT_EQ(empty.VoiceCount(), 0u);
    EXPECT_EQ(empty.TakeFinished(), (std::vector<swf::sound::VoiceId>{none, silent}));
}

TEST(Mixer, StreamsPlayWhatTheyAreFedAndWaitInSilenceForMore) {
    Mixer mixer;
    const auto id = mixer.StartStream(44100, 2);
    mixer.Feed(id, std::vector<std::int16_t>{10, -10, 20, -20, 30, -30, 40, -40, 50});  // the odd sample is dropped
    ASSERT_TRUE(mixer.Stream(id));
    EXPECT_EQ(mixer.Stream(id)->buffered, 4u);
    // The resampler needs two frames past the position: the last two wait
    // for more while the stream is open, and silence fills in.
    EXPECT_EQ(Mixed(mixer, 4), (std::vector<std::int16_t>{10, -10, 20, -20, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(mixer.Stream(id)->played, 2);
    // Thousands of frames fed and played: those played are let go, the
    // count goes on.
    std::vector<std::int16_t> more;
    for (int i = 0; i < 10000; ++i) more.insert(more.end(), {7, 7});
    mixer.Feed(id, more);
    Mixed(mixer, 9000);
    EXPECT_DOUBLE_EQ(mixer.Stream(id)->played, 9002);
    EXPECT_EQ(mixer.Stream(id)->buffered, 10004u - 9002u);
    // Ended: the rest plays out and the voice finishes.
    mixer.EndStream(id);
    const std::vector<std::int16_t> tail = Mixed(mixer, 1100);
    EXPECT_EQ(tail[2 * 1001], 7);
    EXPECT_EQ(tail[2 * 1002], 0);
    EXPECT_EQ(mixer.TakeFinished(), std::vector<swf::sound::VoiceId>{id});
    EXPECT_FALSE(mixer.Stream(id));

    // A stream that starts mid-sound fades in; a bad format never plays.
    const auto faded = mixer.StartStream(44100, 1, true);
    mixer.Feed(faded, std::vector<std::int16_t>(1000, 1000));
    const std::vector<std::int16_t> start = Mixed(mixer, 300);
    EXPECT_LT(start[2 * 10], 100);
    EXPECT_EQ(start[2 * 250], 1000);
    const auto bad = mixer.StartStream(0, 3);
    EXPECT_FALSE(mixer.Stream(bad));
}
