#include "swf/player/fields/text_fonts.h"

#include <algorithm>

namespace swf {

namespace {

// Without a device font provider, text is laid out as if in a typical sans face.
constexpr double kEstimatedAdvance = 0.55;
constexpr double kEstimatedAscent = 0.9;
constexpr double kEstimatedDescent = 0.22;
// Embedded fonts without advances: the gap after a glyph, and an empty glyph's width.
constexpr double kEstimatedGap = 0.08;
constexpr double kEstimatedSpace = 0.3;

}  // namespace

const FontDefinition* TextFonts::FindEmbedded(const std::string& face, bool bold, bool italic) const {
    const FontDefinition* found = nullptr;
    for (const auto& [id, character] : dictionary_) {
        if (character->Kind() != CharacterKind::Font) continue;
        const auto* font = static_cast<const FontDefinition*>(character.get());
        if (font->name != face || font->IsDeviceFont()) continue;
        if (font->bold == bold && font->italic == italic) return font;
        if (found == nullptr) found = font;
    }
    return found;
}

GlyphOutline TextFonts::Outline(const text::TextFormat& format, char32_t c) const {
    GlyphOutline outline;
    if (const FontDefinition* font = format.embeddedFont) {
        const int index = font->GlyphIndex(c);
        if (index >= 0) {
            outline.edges = &font->glyphs[static_cast<std::size_t>(index)].edges;
            outline.em = font->emSquare;
        }
        return outline;
    }
    if (provider_ == nullptr) return outline;
    outline.device = provider_->Glyph(format.face, format.bold, format.italic, c);
    if (outline.device) outline.edges = &outline.device->edges;
    return outline;
}

double TextFonts::Advance(const text::TextFormat& format, char32_t c) {
    if (const FontDefinition* font = format.embeddedFont) {
        const int index = font->GlyphIndex(c);
        if (index < 0) return 0;
        double advance = 0;
        if (!font->Advance(static_cast<std::size_t>(index), &advance)) {
            // No layout table: the outline's right edge and a little space.
            double right = 0;
            for (const Segment& s : font->glyphs[static_cast<std::size_t>(index)].edges) {
                right = std::max({right, static_cast<double>(s.x0), static_cast<double>(s.x1)});
            }
            advance = right > 0 ? right + font->emSquare * kEstimatedGap : font->emSquare * kEstimatedSpace;
        }
        return advance * format.size / font->emSquare;
    }
    if (provider_ == nullptr) return c == '\r' || c == '\n' ? 0 : format.size * kEstimatedAdvance;
    const auto glyph = provider_->Glyph(format.face, format.bold, format.italic, c);
    return glyph ? glyph->advance * format.size / fonts::kDeviceEm : 0;
}

double TextFonts::Kerning(const text::TextFormat& format, char32_t left, char32_t right) {
    const FontDefinition* font = format.embeddedFont;
    if (font == nullptr || font->kerning.empty()) return 0;
    return font->Kerning(left, right) * format.size / font->emSquare;
}

text::LineMetrics TextFonts::Metrics(const text::TextFormat& format) {
    if (const FontDefinition* font = format.embeddedFont; font != nullptr && font->hasLayout) {
        return {font->ascent * format.size / font->emSquare, font->descent * format.size / font->emSquare};
    }
    if (provider_ == nullptr || format.embeddedFont != nullptr) {
        return {format.size * kEstimatedAscent, format.size * kEstimatedDescent};
    }
    const fonts::FaceMetrics m = provider_->Metrics(format.face, format.bold, format.italic);
    return {m.ascent * format.size / fonts::kDeviceEm, m.descent * format.size / fonts::kDeviceEm};
}

}  // namespace swf
