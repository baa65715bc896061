#include "tools/guidekit/command_line.h"

#include <charconv>

namespace guidekit {

std::optional<Arguments> ParseArguments(const std::vector<std::string>& words,
                                        const std::set<std::string>& valueOptions,
                                        const std::set<std::string>& flagOptions, std::string* why) {
    Arguments arguments;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            arguments.help = true;
        } else if (valueOptions.contains(word)) {
            if (i + 1 >= words.size()) {
                *why = word + " needs a value";
                return std::nullopt;
            }
            if (!arguments.values.emplace(word, words[++i]).second) {
                *why = word + " is given twice";
                return std::nullopt;
            }
        } else if (flagOptions.contains(word)) {
            arguments.flags.insert(word);
        } else if (word.size() > 1 && word[0] == '-') {
            *why = "unknown option " + word;
            return std::nullopt;
        } else {
            arguments.positional.push_back(word);
        }
    }
    return arguments;
}

std::optional<long> ParseCount(const std::string& text, long min, long max) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace guidekit
