#include "ui/rules/movie_paths.h"

namespace ui {

std::optional<std::string> BasePath(const std::string& exePath) {
    if (exePath.size() < 2) return std::nullopt;
    for (std::size_t i = exePath.size() - 1; i-- > 0;) {
        if (exePath[i] == '.') return exePath.substr(0, i);
    }
    return std::nullopt;
}

}  // namespace ui
