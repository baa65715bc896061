#include "control/gdi_font_provider.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "win32/wide_text.h"

namespace control {

namespace {

using swf::Segment;
using swf::fonts::kDeviceEm;

// Fonts are made one em of kDeviceEm pixels tall, so outline coordinates come
// out in the engine's device em square.
constexpr LONG kEmPixels = static_cast<LONG>(kDeviceEm);
// More faces than this are not kept open (a movie naming endless fonts).
constexpr std::size_t kMaxOpenFonts = 64;

const wchar_t* const kSansFaces[] = {L"Arial", L"Liberation Sans", L"DejaVu Sans", L"Tahoma", L"Microsoft Sans Serif"};
const wchar_t* const kSerifFaces[] = {L"Times New Roman", L"Liberation Serif", L"DejaVu Serif"};
const wchar_t* const kMonoFaces[] = {L"Courier New", L"Liberation Mono", L"DejaVu Sans Mono"};

std::wstring Widen(const std::string& utf8) { return win32::WideFromUtf8Replacing(utf8); }

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one match is enough
}

double FromFixed(FIXED f) { return f.value + f.fract / 65536.0; }

// Collects a GDI outline as segments, y flipped to point down.
class OutlineBuilder {
public:
    explicit OutlineBuilder(std::vector<Segment>& edges) : edges_(edges) {}

    void Start(const POINTFX& p) {
        Close();
        startX_ = x_ = X(p);
        startY_ = y_ = Y(p);
        open_ = true;
    }
    void Line(const POINTFX& p) { LineTo(X(p), Y(p)); }
    // A TrueType spline: each pair of consecutive off-curve points has an
    // implied on-curve point halfway between them; the last point is on the curve.
    void QSpline(const POINTFX* points, int count) {
        for (int i = 0; i + 1 < count; ++i) {
            const float cx = X(points[i]), cy = Y(points[i]);
            float ex = X(points[i + 1]), ey = Y(points[i + 1]);
            if (i + 2 < count) {
                ex = (cx + ex) / 2;
                ey = (cy + ey) / 2;
            }
            Quad(cx, cy, ex, ey);
        }
    }
    // Cubic splines (PostScript outlines): each cubic's halves as quadratics.
    void CSpline(const POINTFX* points, int count) {
        for (int i = 0; i + 2 < count; i += 3) {
            const float x0 = x_, y0 = y_;
            const float x1 = X(points[i]), y1 = Y(points[i]), x2 = X(points[i + 1]), y2 = Y(points[i + 1]);
            const float x3 = X(points[i + 2]), y3 = Y(points[i + 2]);
            const float ax = (x0 + x1) / 2, ay = (y0 + y1) / 2, bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
            const float cx = (x2 + x3) / 2, cy = (y2 + y3) / 2, abx = (ax + bx) / 2, aby = (ay + by) / 2;
            const float bcx = (bx + cx) / 2, bcy = (by + cy) / 2, mx = (abx + bcx) / 2, my = (aby + bcy) / 2;
            Quad((3 * (ax + abx) - (x0 + mx)) / 4, (3 * (ay + aby) - (y0 + my)) / 4, mx, my);
            Quad((3 * (bcx + cx) - (mx + x3)) / 4, (3 * (bcy + cy) - (my + y3)) / 4, x3, y3);
        }
    }
    void Close() {
        if (open_ && (x_ != startX_ || y_ != startY_)) LineTo(startX_, startY_);
        open_ = false;
    }

private:
    static float X(const POINTFX& p) { return static_cast<float>(FromFixed(p.x)); }
    static float Y(const POINTFX& p) { return static_cast<float>(-FromFixed(p.y)); }
    void LineTo(float x, float y) {
        edges_.push_back({x_, y_, 0, 0, x, y, false});
        x_ = x;
        y_ = y;
    }
    void Quad(float cx, float cy, float x, float y) {
        edges_.push_back({x_, y_, cx, cy, x, y, true});
        x_ = x;
        y_ = y;
    }

    std::vector<Segment>& edges_;
    float startX_ = 0, startY_ = 0, x_ = 0, y_ = 0;
    bool open_ = false;
};

// Walks the TTPOLYGONHEADER / TTPOLYCURVE records GetGlyphOutlineW wrote,
// never reading past the buffer.
void Decompose(const std::vector<BYTE>& buffer, std::vector<Segment>& edges) {
    OutlineBuilder outline(edges);
    std::size_t pos = 0;
    while (pos + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, buffer.data() + pos, sizeof header);
        if (header.cb < sizeof header || pos + header.cb > buffer.size()) return;
        const std::size_t end = pos + header.cb;
        outline.Start(header.pfxStart);
        std::size_t at = pos + sizeof header;
        while (at + offsetof(TTPOLYCURVE, apfx) <= end) {
            WORD type = 0, count = 0;
            std::memcpy(&type, buffer.data() + at + offsetof(TTPOLYCURVE, wType), sizeof type);
            std::memcpy(&count, buffer.data() + at + offsetof(TTPOLYCURVE, cpfx), sizeof count);
            const std::size_t pointsAt = at + offsetof(TTPOLYCURVE, apfx);
            if (pointsAt + count * sizeof(POINTFX) > end) return;
            std::vector<POINTFX> points(count);
            if (count > 0) std::memcpy(points.data(), buffer.data() + pointsAt, count * sizeof(POINTFX));
            if (type == TT_PRIM_LINE) {
                for (const POINTFX& p : points) outline.Line(p);
            } else if (type == TT_PRIM_QSPLINE) {
                outline.QSpline(points.data(), count);
            } else if (type == TT_PRIM_CSPLINE) {
                outline.CSpline(points.data(), count);
            }
            at = pointsAt + count * sizeof(POINTFX);
        }
        outline.Close();
        pos = end;
    }
}

}  // namespace

GdiFontProvider::GdiFontProvider() = default;

GdiFontProvider::~GdiFontProvider() { ForgetFonts(); }

void GdiFontProvider::ForgetFonts() {
    if (dc_.Get() != nullptr) SelectObject(dc_.Get(), GetStockObject(SYSTEM_FONT));
    fonts_.clear();
}

bool GdiFontProvider::Installed(const std::wstring& face) {
    if (dc_.Get() == nullptr || face.empty() || face.size() >= LF_FACESIZE) return false;
    if (const auto it = installed_.find(face); it != installed_.end()) return it->second;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc_.Get(), &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    if (installed_.size() < kMaxOpenFonts * 4) installed_.emplace(face, found);
    return found;
}

std::wstring GdiFontProvider::ResolveFace(const std::string& face) {
    if (const auto it = resolved_.find(face); it != resolved_.end()) return it->second;
    std::wstring result;
    const auto firstInstalled = [&](const auto& faces) {
        for (const wchar_t* candidate : faces) {
            if (Installed(candidate)) return std::wstring(candidate);
        }
        return std::wstring();
    };
    switch (swf::fonts::GenericFaceOf(face)) {
    case swf::fonts::GenericFace::Serif: result = firstInstalled(kSerifFaces); break;
    case swf::fonts::GenericFace::Typewriter: result = firstInstalled(kMonoFaces); break;
    case swf::fonts::GenericFace::Sans: break;
    case swf::fonts::GenericFace::None: {
        const std::wstring wide = Widen(face);
        if (Installed(wide)) result = wide;
        break;
    }
    }
    if (result.empty()) result = firstInstalled(kSansFaces);  // may stay empty: GDI's own choice
    if (resolved_.size() < kMaxOpenFonts * 4) resolved_.emplace(face, result);
    return result;
}

bool GdiFontProvider::Select(const std::wstring& face, bool bold, bool italic) {
    if (dc_.Get() == nullptr) return false;
    const auto key = std::make_tuple(face, bold, italic);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        if (fonts_.size() >= kMaxOpenFonts) ForgetFonts();
        LOGFONTW lf{};
        lf.lfHeight = -kEmPixels;  // negative: the em height, not the cell height
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = italic ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;  // outlines are needed
        lf.lfQuality = ANTIALIASED_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
        face.copy(lf.lfFaceName, LF_FACESIZE - 1);
        win32::GdiObject<HFONT> font(CreateFontIndirectW(&lf));
        if (!font) return false;
        it = fonts_.emplace(key, std::move(font)).first;
    }
    return SelectObject(dc_.Get(), it->second.Get()) != nullptr;
}

std::shared_ptr<const swf::fonts::DeviceGlyph> GdiFontProvider::LoadGlyph(const std::string& face, bool bold,
                                                                          bool italic, char32_t c) {
    if (c > 0xFFFF) return nullptr;  // outside the range GetGlyphOutlineW takes by character
    const wchar_t character = static_cast<wchar_t>(c);
    // The face asked for, then _sans for characters it lacks.
    for (const std::wstring& name : {ResolveFace(face), ResolveFace("_sans")}) {
        if (!Select(name, bold, italic)) continue;
        WORD index = 0;
        if (GetGlyphIndicesW(dc_.Get(), &character, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
            index == 0xFFFF) {
            continue;
        }
        const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS metrics{};
        const UINT format = GGO_NATIVE | GGO_UNHINTED;
        const DWORD size = GetGlyphOutlineW(dc_.Get(), character, format, &metrics, 0, nullptr, &identity);
        if (size == GDI_ERROR) continue;
        auto glyph = std::make_shared<swf::fonts::DeviceGlyph>();
        glyph->advance = metrics.gmCellIncX;
        if (size > 0) {
            std::vector<BYTE> buffer(size);
            if (GetGlyphOutlineW(dc_.Get(), character, format, &metrics, size, buffer.data(), &identity) == GDI_ERROR) {
                continue;
            }
            Decompose(buffer, glyph->edges);
        }
        return glyph;
    }
    return nullptr;
}

swf::fonts::FaceMetrics GdiFontProvider::LoadMetrics(const std::string& face, bool bold, bool italic) {
    TEXTMETRICW tm{};
    if (!Select(ResolveFace(face), bold, italic) || !GetTextMetricsW(dc_.Get(), &tm)) {
        return {kDeviceEm * 0.9, kDeviceEm * 0.25, 0};
    }
    return {static_cast<double>(tm.tmAscent), static_cast<double>(tm.tmDescent),
            static_cast<double>(tm.tmExternalLeading)};
}

}  // namespace control
