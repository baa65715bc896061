#include "tools/guidekit/settings_text.h"

#include <string_view>

namespace guidekit {

namespace {

std::string Pair(std::string_view key, std::string_view value) {
    return "&" + std::string(key) + "=" + std::string(value) + "&\r\n";
}

// Blanks and line ends around a key are not part of it for the movie's reader.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::string_view(" \t\r\n").find(text.front()) != std::string_view::npos) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::string_view(" \t\r\n").find(text.back()) != std::string_view::npos) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string SettingsText(const std::string& title, const WindowSize& size, const std::string& assetText) {
    std::string text =
        Pair("title", title) + Pair("width", std::to_string(size.width)) + Pair("height", std::to_string(size.height));
    // Each '&'-separated piece holding '=' is a pair; pieces without one are
    // the line ends between pairs.
    std::size_t start = 0;
    while (start <= assetText.size()) {
        std::size_t end = assetText.find('&', start);
        if (end == std::string::npos) end = assetText.size();
        const std::string_view piece = std::string_view(assetText).substr(start, end - start);
        const std::size_t eq = piece.find('=');
        if (eq != std::string_view::npos) {
            const std::string_view key = Trimmed(piece.substr(0, eq));
            if (key != "title" && key != "width" && key != "height") {
                std::string_view value = piece.substr(eq + 1);
                while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.remove_suffix(1);
                text += Pair(key, value);
            }
        }
        start = end + 1;
    }
    return text;
}

}  // namespace guidekit
