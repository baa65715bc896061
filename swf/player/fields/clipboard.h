#pragma once
// The system clipboard as text fields use it for copy, cut and paste. The
// control implements it with the window system's clipboard; tests with a fake.

#include <optional>
#include <string>

namespace swf {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The clipboard's text (UTF-8), or nothing when it holds none.
    virtual std::optional<std::string> GetText() = 0;
    virtual void SetText(const std::string& text) = 0;
    // Text copied from an HTML field: the plain text and its markup, for
    // programs that paste formatted text. Plain text only, unless overridden.
    virtual void SetTextAndHtml(const std::string& text, const std::string& html) {
        (void)html;
        SetText(text);
    }
};

}  // namespace swf
