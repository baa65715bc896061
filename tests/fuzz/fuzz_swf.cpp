// The SWF engine on arbitrary file bytes: load, play a few frames with the
// pointer moving over the stage and keys pressed, and render each one.
#include <cstdint>
#include <span>
#include <string>

#include "swf/player/player.h"
#include "swf/raster/surface.h"

namespace {

class QuietHost : public swf::ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietHost host;
    swf::Player player;
    player.SetHost(&host);
    // Far fewer steps than a player allows, so that endless scripts stay fast.
    player.SetScriptStepLimit(20000);
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
    }
    return 0;
}
