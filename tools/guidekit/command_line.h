#pragma once
// The words after a command: positional arguments, options with a value
// ("--out DIR") and flags ("--force").

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace guidekit {

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    std::optional<std::string> Value(const std::string& option) const {
        const auto it = values.find(option);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

// Nothing, with *why set, for an unknown option, one without its value, or
// one given twice. An option's value is the next word even when it starts
// with '-' ("--size -1x0").
std::optional<Arguments> ParseArguments(const std::vector<std::string>& words,
                                        const std::set<std::string>& valueOptions,
                                        const std::set<std::string>& flagOptions, std::string* why);

// A whole number in [min, max]; nothing otherwise.
std::optional<long> ParseCount(const std::string& text, long min, long max);

}  // namespace guidekit
