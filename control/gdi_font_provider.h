#pragma once
// Device fonts from the system through GDI: outlines from GetGlyphOutlineW
// (unhinted TrueType quadratic splines), advances and face metrics, for
// _sans (Arial), _serif (Times New Roman), _typewriter (Courier New) and
// named faces. A face the system lacks falls back to _sans, and a missing
// _sans to faces that commonly stand in for it, then to whatever GDI picks.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "swf/fonts/device_fonts.h"
#include "win32/gdi_objects.h"

namespace control {

class GdiFontProvider final : public swf::fonts::CachedFontProvider {
public:
    GdiFontProvider();
    ~GdiFontProvider() override;
    GdiFontProvider(const GdiFontProvider&) = delete;
    GdiFontProvider& operator=(const GdiFontProvider&) = delete;

protected:
    std::shared_ptr<const swf::fonts::DeviceGlyph> LoadGlyph(const std::string& face, bool bold, bool italic,
                                                             char32_t c) override;
    swf::fonts::FaceMetrics LoadMetrics(const std::string& face, bool bold, bool italic) override;

private:
    // The installed face a movie's face name stands for ("" lets GDI choose).
    std::wstring ResolveFace(const std::string& face);
    bool Installed(const std::wstring& face);
    // Selects the font into the memory DC; false when it cannot be made.
    bool Select(const std::wstring& face, bool bold, bool italic);
    // Deletes every font made, after putting the DC's own font back.
    void ForgetFonts();

    std::map<std::tuple<std::wstring, bool, bool>, win32::GdiObject<HFONT>> fonts_;
    win32::MemoryDC dc_{nullptr};  // after the fonts: deleted before them
    std::map<std::wstring, bool> installed_;
    std::map<std::string, std::wstring> resolved_;
};

}  // namespace control
