#include "swf/text/word_boundaries.h"

#include <algorithm>

namespace swf::text {

namespace {

enum class CharClass { Space, Word, Other };

CharClass ClassOf(char32_t c) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0 || c == 0x3000) return CharClass::Space;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
        return CharClass::Word;
    }
    // Letters beyond ASCII: everything past Latin-1's punctuation, but not the
    // general punctuation block.
    if (c >= 0xC0 && c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c <= 0x206F)) return CharClass::Word;
    return CharClass::Other;
}

}  // namespace

std::size_t PreviousWordStart(const std::u32string& text, std::size_t index) {
    std::size_t i = std::min(index, text.size());
    while (i > 0 && ClassOf(text[i - 1]) == CharClass::Space) --i;
    if (i == 0) return 0;
    const CharClass word = ClassOf(text[i - 1]);
    while (i > 0 && ClassOf(text[i - 1]) == word) --i;
    return i;
}

std::size_t NextWordStart(const std::u32string& text, std::size_t index) {
    std::size_t i = std::min(index, text.size());
    if (i < text.size() && ClassOf(text[i]) != CharClass::Space) {
        const CharClass word = ClassOf(text[i]);
        while (i < text.size() && ClassOf(text[i]) == word) ++i;
    }
    while (i < text.size() && ClassOf(text[i]) == CharClass::Space) ++i;
    return i;
}

Span WordAt(const std::u32string& text, std::size_t index) {
    if (text.empty()) return {};
    const std::size_t at = std::min(index, text.size() - 1);
    const CharClass word = ClassOf(text[at]);
    Span span{at, at + 1};
    while (span.begin > 0 && ClassOf(text[span.begin - 1]) == word) --span.begin;
    while (span.end < text.size() && ClassOf(text[span.end]) == word) ++span.end;
    return span;
}

}  // namespace swf::text
