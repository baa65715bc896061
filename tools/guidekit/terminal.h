#pragma once
// A progress line that rewrites itself on a terminal and is never written
// when the stream goes to a file or a pipe.

#include <cstdio>
#include <ostream>
#include <string>

namespace guidekit {

class ProgressLine {
public:
    // `stream` is standard error.
    explicit ProgressLine(std::ostream& stream);
    ~ProgressLine() { Clear(); }
    void Show(const std::string& text);
    // Removes the line so that other output starts at the line's beginning.
    void Clear();

private:
    std::ostream& stream_;
    bool terminal_;
    std::size_t shown_ = 0;
};

}  // namespace guidekit
