#pragma once
// System ("device") fonts as the engine sees them: glyph outlines and advances
// for a face name, style and character, and the face's vertical metrics. The
// host supplies an implementation (FreeType natively, GDI on Windows).

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "swf/model/shape.h"

namespace swf::fonts {

// Device glyph outlines and metrics are in this em square, y down, with the
// baseline at y = 0; outlines fill by the non-zero rule.
inline constexpr double kDeviceEm = 1024;

struct DeviceGlyph {
    std::vector<Segment> edges;
    double advance = 0;
};

struct FaceMetrics {
    double ascent = 0;
    double descent = 0;  // below the baseline, positive
    double leading = 0;
};

// The three faces movies name by their generic names.
enum class GenericFace { None, Sans, Serif, Typewriter };

// _sans, _serif and _typewriter (case-insensitive); None for any other name.
GenericFace GenericFaceOf(const std::string& face);

class DeviceFontProvider {
public:
    virtual ~DeviceFontProvider() = default;
    // The glyph for `c` in the face, or in the face that stands in for it when
    // the system lacks it; nullptr when no font has the character.
    virtual std::shared_ptr<const DeviceGlyph> Glyph(const std::string& face, bool bold, bool italic, char32_t c) = 0;
    virtual FaceMetrics Metrics(const std::string& face, bool bold, bool italic) = 0;
};

// Keeps what an implementation loads, per face, style and character.
class CachedFontProvider : public DeviceFontProvider {
public:
    std::shared_ptr<const DeviceGlyph> Glyph(const std::string& face, bool bold, bool italic, char32_t c) final;
    FaceMetrics Metrics(const std::string& face, bool bold, bool italic) final;

    // Past this many glyphs the cache starts again (a movie cycling through
    // every character of a large font cannot grow it without bound).
    static constexpr std::size_t kMaxCachedGlyphs = 20'000;

protected:
    // nullptr when no font has the character.
    virtual std::shared_ptr<const DeviceGlyph> LoadGlyph(const std::string& face, bool bold, bool italic,
                                                         char32_t c) = 0;
    virtual FaceMetrics LoadMetrics(const std::string& face, bool bold, bool italic) = 0;

private:
    using Key = std::tuple<std::string, bool, bool, char32_t>;
    std::map<Key, std::shared_ptr<const DeviceGlyph>> glyphs_;
    std::map<std::tuple<std::string, bool, bool>, FaceMetrics> metrics_;
};

}  // namespace swf::fonts
