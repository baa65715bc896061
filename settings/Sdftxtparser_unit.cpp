#include "settings/Sdftxtparser_unit.h"

#include <fstream>
#include <optional>
#include <vector>

namespace {

// Text-mode reading done here rather than by the C runtime, so that every
// platform sees the same bytes: carriage returns vanish and 0x1A ends the text.
std::string ToTextMode(const std::string& raw) {
    std::string text;
    text.reserve(raw.size());
    for (char c : raw) {
        if (c == '\x1A') break;
        if (c != '\r') text.push_back(c);
    }
    return text;
}

// Opened by path rather than by narrow text, so that a file whose folder
// name lies outside the system code page is found on Windows too.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string raw;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        raw.append(chunk, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) return std::nullopt;
    return raw;
}

}  // namespace

void SDFTxtParser::LoadFromFile(const std::filesystem::path& path) {
    if (auto raw = ReadWholeFile(path)) LoadFromText(std::move(*raw));
}

void SDFTxtParser::LoadFromText(std::string text) {
    text = ToTextMode(text);
    // One zero byte past the end, so every key and value below is terminated.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    const std::size_t n = text.size();

    std::optional<std::size_t> eq;     // latest '=' of the pair being read
    std::optional<std::size_t> start;  // the pair's opening '&'
    for (std::size_t i = 0; i < n; ++i) {
        char& c = buffer[i];
        if (c == '=') {
            c = '\0';
            eq = i;
        } else if (c == '&' && !eq) {
            c = '\0';
            start = i;
        } else if (c == '&') {
            c = '\0';
            std::string key(&buffer[start ? *start + 1 : 0]);
            std::string value(&buffer[*eq + 1]);
            entries_.emplace(key, std::move(value));  // the first value stays
            start.reset();
            eq.reset();
            if (key == "height") break;
        }
    }
}

std::string SDFTxtParser::GetValue(const std::string& key) {
    auto it = entries_.lower_bound(key);
    if (it != entries_.end() && it->first == key) return it->second;
    entries_.emplace_hint(it, key, std::string());
    return std::string();
}
