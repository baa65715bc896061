#pragma once
// What the player tells scripts about the keyboard, the pointer and the
// stage, read by the Key, Mouse and Stage objects.

#include <set>
#include <string>

namespace swf::actions {

struct InputState {
    std::set<int> keysDown;  // Windows virtual-key codes
    int lastKeyCode = 0;     // Key.getCode
    int lastAscii = 0;       // Key.getAscii
    std::set<int> toggled;   // lock keys (caps 20, num 144, scroll 145) toggled on
    double movieWidth = 0;   // the movie's stage in pixels
    double movieHeight = 0;
    double viewWidth = 0;  // the player's drawing area in pixels
    double viewHeight = 0;
    std::string scaleMode = "showAll";
    std::string align;
    bool showMenu = true;
    bool mouseHidden = false;
};

}  // namespace swf::actions
