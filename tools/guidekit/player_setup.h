#pragma once
// What a headless player needs to play a movie as the control does: device
// fonts and an MP3 decoder where this build has them (the native build
// draws system-font text with FreeType and decodes MP3 with libmpg123; the
// Windows build of guidekit has neither).

#include <memory>

#include "swf/player/player.h"

namespace guidekit {

class PlayerDevices {
public:
    explicit PlayerDevices(swf::Player& player);
    ~PlayerDevices();
    PlayerDevices(const PlayerDevices&) = delete;
    PlayerDevices& operator=(const PlayerDevices&) = delete;

    // Whether text in system fonts is drawn in this build.
    static bool HasDeviceFonts();

private:
    struct Devices;
    swf::Player& player_;
    std::unique_ptr<Devices> devices_;
};

}  // namespace guidekit
