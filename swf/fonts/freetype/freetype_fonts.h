#pragma once
// Device fonts read from TrueType files with FreeType: _sans, _serif and
// _typewriter are DejaVu Sans, DejaVu Serif and DejaVu Sans Mono; a common
// Windows face name maps to the DejaVu face of its kind; any other name is
// looked for as a file named after it; anything missing falls back to _sans,
// and a missing _sans to whatever font the folder has.

#include <map>
#include <memory>
#include <string>

#include "swf/fonts/device_fonts.h"

namespace swf::fonts {

class FreeTypeFontProvider final : public CachedFontProvider {
public:
    static constexpr const char* kDefaultFolder = "/usr/share/fonts/truetype/dejavu";

    explicit FreeTypeFontProvider(std::string folder = kDefaultFolder);
    ~FreeTypeFontProvider() override;
    FreeTypeFontProvider(const FreeTypeFontProvider&) = delete;
    FreeTypeFontProvider& operator=(const FreeTypeFontProvider&) = delete;

    // The font file a face and style resolve to; empty when the folder has none.
    std::string FileFor(const std::string& face, bool bold, bool italic) const;

protected:
    std::shared_ptr<const DeviceGlyph> LoadGlyph(const std::string& face, bool bold, bool italic, char32_t c) override;
    FaceMetrics LoadMetrics(const std::string& face, bool bold, bool italic) override;

private:
    struct Library;
    // The opened face for a file (nullptr when it cannot be opened).
    void* Open(const std::string& file);

    std::string folder_;
    std::unique_ptr<Library> library_;
};

}  // namespace swf::fonts
