#include "swf/text/character_restriction.h"

namespace swf::text {

namespace {

char32_t OtherCase(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    return c;
}

}  // namespace

CharacterRestriction::CharacterRestriction(const std::u32string& pattern) {
    // A text that starts by excluding allows everything else.
    allowByDefault_ = !pattern.empty() && pattern.front() == '^';
    bool allow = true;
    std::size_t i = 0;
    // The next literal character, after any escape; false at the end.
    const auto next = [&](char32_t& c, bool& escaped) {
        escaped = false;
        if (i >= pattern.size()) return false;
        if (pattern[i] == '\\' && i + 1 < pattern.size()) {
            escaped = true;
            ++i;
        }
        c = pattern[i++];
        return true;
    };
    char32_t c = 0;
    bool escaped = false;
    while (next(c, escaped)) {
        if (c == '^' && !escaped) {
            allow = !allow;
            continue;
        }
        char32_t last = c;
        // "a-z": a dash between two characters; one at either end is itself.
        if (i + 1 < pattern.size() && pattern[i] == '-') {
            ++i;
            bool lastEscaped = false;
            next(last, lastEscaped);
            if (last < c) std::swap(last, c);
        }
        ranges_.push_back({c, last, allow});
    }
}

bool CharacterRestriction::Allows(char32_t c) const {
    bool allowed = allowByDefault_;
    for (const Range& range : ranges_) {
        if (c >= range.first && c <= range.last) allowed = range.allow;
    }
    return allowed;
}

char32_t CharacterRestriction::Admit(char32_t c) const {
    if (Allows(c)) return c;
    const char32_t other = OtherCase(c);
    return other != c && Allows(other) ? other : 0;
}

}  // namespace swf::text
