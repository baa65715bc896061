#pragma once
// Words in a field's text, for Ctrl+arrow moves, Ctrl+Backspace/Delete and
// double-click selection. A word is a run of letters and digits, or a run of
// other visible characters; spaces, tabs and paragraph ends separate them.
// Indices are positions between characters, as for the caret.

#include <cstddef>
#include <string>

namespace swf::text {

// The start of the word before `index` (skipping the spaces before it); 0 at most.
std::size_t PreviousWordStart(const std::u32string& text, std::size_t index);

// The start of the next word after `index` (past the rest of this word and
// the spaces after it); the text's end at most.
std::size_t NextWordStart(const std::u32string& text, std::size_t index);

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The word (or run of spaces) holding the character at `index`, or the one
// just before it at the text's end.
Span WordAt(const std::u32string& text, std::size_t index);

}  // namespace swf::text
