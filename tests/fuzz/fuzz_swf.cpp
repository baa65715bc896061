// The SWF engine on arbitrary file bytes: load, play a few frames with the
// pointer moving over the stage and keys pressed, render each one and mix
// its sound (MP3 through libmpg123; the stream clock on every other input).
// Files the movie loads are served from the same bytes: a movie loads
// itself, and variables and XML are read from the input's text.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "swf/files/file_host.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/sound/mpg123_codec.h"

namespace {

class QuietHost : public swf::ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

// Every ".swf" path is the input itself; any other path is the input from an
// offset the path's length picks, so that variables and XML see varied text.
class SameBytesHost : public swf::FileHost {
public:
    explicit SameBytesHost(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    swf::FileReadResult ReadFile(const std::string& path, std::size_t maxBytes) override {
        swf::FileReadResult result;
        const bool movie = path.size() >= 4 && path.compare(path.size() - 4, 4, ".swf") == 0;
        const std::size_t from = movie || bytes_.empty() ? 0 : path.size() % bytes_.size();
        if (bytes_.size() - from > maxBytes) {
            result.error = "too large";
            return result;
        }
        result.bytes.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(from), bytes_.end());
        result.ok = true;
        return result;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietHost host;
    swf::Player player;
    SameBytesHost files({data, size});
    player.SetHost(&host);
    player.SetFileHost(&files);
    // Far fewer steps and bytes than a player allows, so that endless scripts
    // stay fast and the memory limit is met.
    player.SetScriptStepLimit(20000);
    player.SetScriptMemoryLimit(16u << 20);
    static const auto mp3 = swf::sound::MakeMpg123Codec();
    player.SetMp3Codec(mp3.get());
    player.SetAudioClock(size % 2 == 1);
    player.Load(std::span<const std::uint8_t>(data, size));  // a refused movie still renders its background
    swf::raster::Surface surface(64, 48);
    for (int frame = 0; frame < 4; ++frame) {
        player.PointerMove(8.0 * frame, 6.0 * frame);
        if (frame == 1) player.PointerDown(8, 6);
        if (frame == 2) player.PointerUp(16, 12);
        player.KeyDown(frame == 3 ? 0x0D : 0x41 + frame, frame == 3 ? 13 : 'a' + frame);
        player.KeyUp(0x41 + frame, 0);
        player.AdvanceFrame();
        player.Render(surface);
        std::vector<std::int16_t> sound(2 * 2048);
        player.MixAudio(sound);
    }
    return 0;
}
