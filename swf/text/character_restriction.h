#pragma once
// Which characters the user may type into an input field, from the field's
// `restrict` text: single characters and ranges ("A-Z0-9"), '^' switching
// between allowing and excluding what follows ("^0-9" allows all but digits,
// "A-Z^Q" the capitals but Q), and '\' taking the next character literally
// ("\-", "\^", "\\"). Later entries win over earlier ones. An empty text
// allows nothing.

#include <string>
#include <vector>

namespace swf::text {

class CharacterRestriction {
public:
    explicit CharacterRestriction(const std::u32string& pattern);

    bool Allows(char32_t c) const;
    // The character as typed, or its other case when only that is allowed
    // (capitals typed into "a-z"); 0 when neither may be typed.
    char32_t Admit(char32_t c) const;

private:
    struct Range {
        char32_t first;
        char32_t last;
        bool allow;
    };
    bool allowByDefault_ = false;
    std::vector<Range> ranges_;
};

}  // namespace swf::text
