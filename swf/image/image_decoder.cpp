#include "swf/image/image_decoder.h"

#include <stb_image.h>

#include <climits>

#include "swf/image/jpeg_check.h"
#include "swf/raster/color.h"

namespace swf {

namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// What the library takes for JPEG data: a start-of-image marker, which may
// be preceded by fill bytes (0xFF) like any marker.
bool IsJpeg(std::span<const std::uint8_t> bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] == 0xFF) ++i;
    return i > 0 && i < bytes.size() && bytes[i] == 0xD8;
}

// The library's word on the last failure (it may have none).
std::string LibraryReason() {
    const char* reason = stbi_failure_reason();
    return reason ? reason : "no reason given";
}

std::shared_ptr<raster::Image> Refuse(std::string* error, std::string why) {
    if (error) *error = std::move(why);
    return nullptr;
}

}  // namespace

std::shared_ptr<raster::Image> DecodeImage(std::span<const std::uint8_t> bytes, std::string* error) {
    if (bytes.empty()) return Refuse(error, "no picture data");
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return Refuse(error, "picture data too large");
    const int length = static_cast<int>(bytes.size());
    if (IsJpeg(bytes)) {
        if (std::string defect = FindJpegDefect(bytes); !defect.empty()) return Refuse(error, defect);
    }

    // The declared size decides before the decoder allocates anything for it.
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels)) {
        return Refuse(error, "not a readable JPEG, PNG or GIF picture (" + LibraryReason() + ")");
    }
    if (width <= 0 || height <= 0) return Refuse(error, "picture has no pixels");
    if (width > kMaxImageSide || height > kMaxImageSide ||
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4 > kMaxImageBytes) {
        return Refuse(error, "picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                 " pixels is over the size limit");
    }

    // Four 8-bit channels, straight alpha; a GIF gives its first frame.
    int decodedWidth = 0, decodedHeight = 0;
    std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(bytes.data(), length, &decodedWidth, &decodedHeight, &channels, 4));
    if (!rgba) return Refuse(error, "damaged picture (" + LibraryReason() + ")");
    if (decodedWidth != width || decodedHeight != height) return Refuse(error, "picture size changed while decoding");

    auto image = std::make_shared<raster::Image>();
    image->width = width;
    image->height = height;
    image->pixels.resize(static_cast<std::size_t>(width) * height);
    const stbi_uc* p = rgba.get();
    for (std::uint32_t& pixel : image->pixels) {
        pixel = raster::Premultiply(raster::Color{p[0], p[1], p[2], p[3]});
        p += 4;
    }
    return image;
}

}  // namespace swf
