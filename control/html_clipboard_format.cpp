#include "control/html_clipboard_format.h"

#include <cstdio>

namespace control {

namespace {

// Offsets are written with a fixed width, so the header's length is known
// before they are.
std::string Offset(std::size_t n) {
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%010zu", n);
    return digits;
}

}  // namespace

std::string HtmlClipboardData(const std::string& fragment) {
    constexpr const char* kBefore = "<html><body>\r\n<!--StartFragment-->";
    constexpr const char* kAfter = "<!--EndFragment-->\r\n</body></html>";
    const auto header = [](std::size_t startHtml, std::size_t endHtml, std::size_t startFragment,
                           std::size_t endFragment) {
        return "Version:0.9\r\nStartHTML:" + Offset(startHtml) + "\r\nEndHTML:" + Offset(endHtml) +
               "\r\nStartFragment:" + Offset(startFragment) + "\r\nEndFragment:" + Offset(endFragment) + "\r\n";
    };
    const std::size_t startHtml = header(0, 0, 0, 0).size();
    const std::size_t startFragment = startHtml + std::char_traits<char>::length(kBefore);
    const std::size_t endFragment = startFragment + fragment.size();
    const std::size_t endHtml = endFragment + std::char_traits<char>::length(kAfter);
    return header(startHtml, endHtml, startFragment, endFragment) + kBefore + fragment + kAfter;
}

}  // namespace control
