#include "tools/guidekit/guide_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "swf/base/ascii.h"
#include "swf/base/utf8.h"

namespace guidekit {

namespace {

constexpr std::string_view kFolderSuffix = "_Page_img";

bool IsReservedDeviceName(const std::string& name) {
    // The device names hold with any extension ("nul.txt" is NUL too) and
    // with blanks before the dot.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view reserved : kPlain) {
        if (swf::base::EqualsNoCase(stem, reserved)) return true;
    }
    if (stem.size() == 4 && (swf::base::StartsWithNoCase(stem, "COM") || swf::base::StartsWithNoCase(stem, "LPT"))) {
        return stem[3] >= '0' && stem[3] <= '9';
    }
    return false;
}

std::string Describe(unsigned char c) {
    if (c < 0x20 || c == 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", c);
        return std::string("the control character ") + hex;
    }
    return std::string("'") + static_cast<char>(c) + "'";
}

// Windows-1252's characters at 0x80..0x9F (0: none there).
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> CheckGuideName(const std::string& name) {
    if (name.empty()) return "the name is empty";
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F ||
            std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos) {
            return "the name holds " + Describe(c) + ", which Windows does not allow in file names";
        }
    }
    if (name.back() == '.' || name.back() == ' ') {
        return "the name ends in " + Describe(static_cast<unsigned char>(name.back())) +
               ", which Windows drops from file names";
    }
    if (IsReservedDeviceName(name)) return "'" + name + "' is a device name Windows reserves";
    if (name.size() + kFolderSuffix.size() > kMaxNameComponent) {
        return "the name is too long: its folder '" + name + std::string(kFolderSuffix) + "' would exceed " +
               std::to_string(kMaxNameComponent) + " characters";
    }
    return std::nullopt;
}

std::string SettingsPathFor(const std::string& folder, const std::string& name) {
    std::string path = folder;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + name + std::string(kFolderSuffix) + "\\Page_var.txt";
}

std::optional<std::string> CheckSettingsPath(const std::string& settingsPath) {
    if (settingsPath.size() + 1 <= kPathBuffer) return std::nullopt;
    return "the settings path '" + settingsPath + "' is " + std::to_string(settingsPath.size()) +
           " characters long; the program opens paths of at most " + std::to_string(kPathBuffer - 1);
}

std::optional<std::string> CheckTitle(const std::string& title) {
    for (unsigned char c : title) {
        if (c == '&') return std::string("the title holds '&', which ends a pair in the settings file");
        if (c == '=') return std::string("the title holds '=', which separates key and value in the settings file");
        if (c == '\n' || c == '\r') return std::string("the title holds a line break; the caption is one line");
        if (c == 0x1A) return std::string("the title holds the byte 0x1A, which ends the settings file's text");
        if (c < 0x20 || c == 0x7F) return "the title holds " + Describe(c) + ", which the caption cannot show";
    }
    return std::nullopt;
}

std::optional<std::string> ToWindows1252(const std::string& utf8, std::string* bad) {
    std::string out;
    for (char32_t c : swf::base::DecodeUtf8(utf8, swf::base::BadBytes::Replace)) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kHighControls.size() && !found; ++i) {
            if (kHighControls[i] != 0 && kHighControls[i] == c) {
                out += static_cast<char>(0x80 + i);
                found = true;
            }
        }
        if (!found) {
            *bad = c == 0xFFFD ? std::string("bytes that are not UTF-8") : swf::base::EncodeUtf8(std::u32string(1, c));
            return std::nullopt;
        }
    }
    return out;
}

std::optional<WindowSize> ParseSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    const auto width = ParseInt(std::string_view(text).substr(0, x));
    const auto height = ParseInt(std::string_view(text).substr(x + 1));
    if (!width || !height) return std::nullopt;
    return WindowSize{*width, *height};
}

std::optional<std::string> CheckWindowSize(const WindowSize& size) {
    if (size.width < 0) return std::nullopt;  // the work area; the height is not read
    if (size.width < kMinWindowWidth || size.height < kMinWindowHeight) {
        return "the size " + std::to_string(size.width) + "x" + std::to_string(size.height) +
               " is below the window's smallest, " + std::to_string(kMinWindowWidth) + "x" +
               std::to_string(kMinWindowHeight) + " (a negative width fills the screen's work area)";
    }
    if (size.width > kMaxWindowExtent || size.height > kMaxWindowExtent) {
        return "the size " + std::to_string(size.width) + "x" + std::to_string(size.height) + " is above " +
               std::to_string(kMaxWindowExtent) + " pixels on a side";
    }
    return std::nullopt;
}

WindowSize DefaultWindowSize(int stageWidth, int stageHeight) {
    return {std::clamp(stageWidth, kMinWindowWidth, kMaxWindowExtent),
            std::clamp(stageHeight, kMinWindowHeight, kMaxWindowExtent)};
}

}  // namespace guidekit
