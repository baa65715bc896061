// An FLV file played as a NetStream plays it, ticked, paused and sought where
// the input's last bytes say: the stream never holds more than its bounds,
// its time never runs backwards while playing on, and it tells nothing after
// its end but what a seek starts again.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swf/files/file_host.h"
#include "swf/player/audio/sound_system.h"
#include "swf/player/media/flv_playback.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    // The last two bytes steer: where to seek and when to pause.
    const std::uint8_t seekAt = size >= 2 ? input[size - 2] : 0;
    const std::uint8_t pauseAt = size >= 1 ? input[size - 1] : 0;
    swf::SoundSystem sounds;
    swf::FlvPlayback playback(&sounds, nullptr);
    playback.Play({std::make_unique<swf::MemoryFile>(std::vector<std::uint8_t>(input.begin(), input.end())), {}},
                  "fuzz.flv");
    std::vector<std::int16_t> mix(2 * 1024);
    double last = 0;
    for (int tick = 0; tick < 60; ++tick) {
        if (tick == seekAt % 64) {
            playback.Seek((seekAt % 16) * 0.25);
            last = 0;
        }
        if (tick == pauseAt % 64) playback.Pause(std::nullopt);
        playback.Advance(0.1, tick % 2 == 0);
        sounds.Mix(mix);
        Check(playback.Time() >= last);
        last = playback.Time();
        Check(playback.BufferLength() >= 0 && playback.CurrentFps() >= 0 && playback.CurrentFps() <= 1000);
        playback.TakeEvents();
        playback.TakeWarnings();
    }
    return 0;
}
