#pragma once
// Where text gets its glyphs: a movie's embedded fonts, or the host's device
// fonts through the provider it gave the player. Serves both layout (advances,
// kerning, line metrics) and drawing (outlines).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/fonts/device_fonts.h"
#include "swf/model/character.h"
#include "swf/model/font.h"
#include "swf/text/text_layout.h"

namespace swf {

// An outline to draw: edges in an em square of `em` units (y down, baseline 0).
struct GlyphOutline {
    const std::vector<Segment>* edges = nullptr;  // nullptr: nothing to draw
    double em = fonts::kDeviceEm;
    std::shared_ptr<const fonts::DeviceGlyph> device;  // keeps a device glyph alive
};

class TextFonts final : public text::GlyphMetrics {
public:
    explicit TextFonts(const swf::Dictionary& dictionary) : dictionary_(dictionary) {}

    // Not owned; nullptr leaves device text undrawn, laid out with estimated metrics.
    void SetProvider(fonts::DeviceFontProvider* provider) {
        provider_ = provider;
        ++generation_;
    }
    fonts::DeviceFontProvider* Provider() const { return provider_; }
    const swf::Dictionary& Dictionary() const { return dictionary_; }
    // Changes whenever the provider does: layouts made before are stale.
    std::uint64_t Generation() const { return generation_; }

    // The movie's font named `face` that has outlines, preferring one of the
    // same style; nullptr when there is none.
    const FontDefinition* FindEmbedded(const std::string& face, bool bold, bool italic) const;

    GlyphOutline Outline(const text::TextFormat& format, char32_t c) const;

    // GlyphMetrics
    double Advance(const text::TextFormat& format, char32_t c) override;
    double Kerning(const text::TextFormat& format, char32_t left, char32_t right) override;
    text::LineMetrics Metrics(const text::TextFormat& format) override;

private:
    const swf::Dictionary& dictionary_;
    fonts::DeviceFontProvider* provider_ = nullptr;
    std::uint64_t generation_ = 0;
};

}  // namespace swf
