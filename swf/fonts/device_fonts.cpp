#include "swf/fonts/device_fonts.h"

namespace swf::fonts {

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const char ca = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        if (ca != b[i]) return false;
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

GenericFace GenericFaceOf(const std::string& face) {
    if (EqualsIgnoringCase(face, "_sans")) return GenericFace::Sans;
    if (EqualsIgnoringCase(face, "_serif")) return GenericFace::Serif;
    if (EqualsIgnoringCase(face, "_typewriter")) return GenericFace::Typewriter;
    return GenericFace::None;
}

std::shared_ptr<const DeviceGlyph> CachedFontProvider::Glyph(const std::string& face, bool bold, bool italic,
                                                             char32_t c) {
    Key key{face, bold, italic, c};
    if (const auto it = glyphs_.find(key); it != glyphs_.end()) return it->second;
    if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
    auto glyph = LoadGlyph(face, bold, italic, c);
    glyphs_.emplace(std::move(key), glyph);
    return glyph;
}

FaceMetrics CachedFontProvider::Metrics(const std::string& face, bool bold, bool italic) {
    auto key = std::make_tuple(face, bold, italic);
    if (const auto it = metrics_.find(key); it != metrics_.end()) return it->second;
    if (metrics_.size() >= kMaxCachedGlyphs) metrics_.clear();
    const FaceMetrics metrics = LoadMetrics(face, bold, italic);
    metrics_.emplace(std::move(key), metrics);
    return metrics;
}

}  // namespace swf::fonts
