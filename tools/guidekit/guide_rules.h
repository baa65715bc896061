#pragma once
// What a guide's name, title and window size must be for the program to use
// them: plain checks over values, each answering with the reason it refuses.

#include <optional>
#include <string>

namespace guidekit {

// The program keeps its paths in buffers of this many characters, terminator included.
inline constexpr std::size_t kPathBuffer = 1024;
// The longest name one folder entry may have on Windows file systems.
inline constexpr std::size_t kMaxNameComponent = 255;
// The player window's smallest size: its back panel keeps 300 x 300 pixels
// under the 29-pixel title bar.
inline constexpr int kMinWindowWidth = 300;
inline constexpr int kMinWindowHeight = 329;
// Window extents beyond this cannot be placed on any screen.
inline constexpr int kMaxWindowExtent = 32767;

// Why Windows cannot use `name` as a file name (reserved device names,
// forbidden characters, a trailing dot or blank, empty, too long with the
// folder suffix), or nothing when it can.
std::optional<std::string> CheckGuideName(const std::string& name);

// The settings file's path as the program builds it from the folder the
// guide lies in ("" when that is not known) and the guide's name.
std::string SettingsPathFor(const std::string& folder, const std::string& name);
// Why that path is too long for the program to open, or nothing.
std::optional<std::string> CheckSettingsPath(const std::string& settingsPath);

// Why the settings file cannot carry `title` (its separators, a byte that
// ends the text, line breaks), or nothing.
std::optional<std::string> CheckTitle(const std::string& title);

// UTF-8 text in the Western Windows code page (1252), the program's 8-bit
// strings; nothing, with *bad set to the character, when one has no place there.
std::optional<std::string> ToWindows1252(const std::string& utf8, std::string* bad);

struct WindowSize {
    int width = 0;   // negative: the screen's whole work area
    int height = 0;  // not read when the width is negative
    bool operator==(const WindowSize&) const = default;
};

// "WxH" in whole pixels ("-1x0" for the work area); nothing when it is not that form.
std::optional<WindowSize> ParseSize(const std::string& text);
// Why the window would not take that size, or nothing.
std::optional<std::string> CheckWindowSize(const WindowSize& size);
// A stage of that many pixels as a window size the window takes: raised to its minimum.
WindowSize DefaultWindowSize(int stageWidth, int stageHeight);

}  // namespace guidekit
