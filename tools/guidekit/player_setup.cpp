#include "tools/guidekit/player_setup.h"

#if defined(GUIDEKIT_NATIVE_DEVICES)
#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/sound/mpg123_codec.h"
#endif

namespace guidekit {

#if defined(GUIDEKIT_NATIVE_DEVICES)
struct PlayerDevices::Devices {
    swf::fonts::FreeTypeFontProvider fonts;
    std::unique_ptr<swf::sound::Mp3Codec> mp3 = swf::sound::MakeMpg123Codec();
};

PlayerDevices::PlayerDevices(swf::Player& player) : player_(player), devices_(std::make_unique<Devices>()) {
    player_.SetFontProvider(&devices_->fonts);
    player_.SetMp3Codec(devices_->mp3.get());
}

bool PlayerDevices::HasDeviceFonts() { return true; }
#else
struct PlayerDevices::Devices {};

PlayerDevices::PlayerDevices(swf::Player& player) : player_(player) {}

bool PlayerDevices::HasDeviceFonts() { return false; }
#endif

PlayerDevices::~PlayerDevices() {
    // The player must not keep pointers to what goes now.
    player_.SetFontProvider(nullptr);
    player_.SetMp3Codec(nullptr);
}

}  // namespace guidekit
