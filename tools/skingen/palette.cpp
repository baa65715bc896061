#include "tools/skingen/palette.h"

#include <map>
#include <string>

#include "tools/skingen/format_error.h"

namespace skin {

namespace {

std::uint32_t key(const Rgb& c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

}  // namespace

IndexedImage IndexColours(const RgbImage& image) {
    std::map<std::uint32_t, Rgb> colours{{0, HexRgb(0x000000)}};
    for (const Rgb& c : image.pixels) colours.emplace(key(c), c);
    if (colours.size() > 256) {
        throw FormatError("palette: the picture has " + std::to_string(colours.size()) + " colours, more than 256");
    }
    IndexedImage result;
    result.width = image.width;
    result.height = image.height;
    std::map<std::uint32_t, std::uint8_t> indexOf;
    for (const auto& [k, c] : colours) {
        indexOf[k] = static_cast<std::uint8_t>(result.palette.size());
        result.palette.push_back(c);
    }
    result.indices.reserve(image.pixels.size());
    for (const Rgb& c : image.pixels) result.indices.push_back(indexOf[key(c)]);
    return result;
}

}  // namespace skin
