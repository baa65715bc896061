#include "tools/guidekit/terminal.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace guidekit {

namespace {

bool StandardErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& stream) : stream_(stream), terminal_(StandardErrorIsTerminal()) {}

void ProgressLine::Show(const std::string& text) {
    if (!terminal_) return;
    stream_ << '\r' << text;
    if (text.size() < shown_) stream_ << std::string(shown_ - text.size(), ' ') << '\r' << text;
    stream_.flush();
    shown_ = text.size();
}

void ProgressLine::Clear() {
    if (!terminal_ || shown_ == 0) return;
    stream_ << '\r' << std::string(shown_, ' ') << '\r';
    stream_.flush();
    shown_ = 0;
}

}  // namespace guidekit
