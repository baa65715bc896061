#include "swf/fonts/freetype/freetype_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <filesystem>
#include <vector>

namespace swf::fonts {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// Common Windows face names and the kind of face that stands in for each.
GenericFace KindOf(const std::string& face) {
    const GenericFace generic = GenericFaceOf(face);
    if (generic != GenericFace::None) return generic;
    const std::string name = Lower(face);
    for (const char* sans : {"arial", "helvetica", "verdana", "tahoma", "ms sans serif", "trebuchet ms",
                             "lucida sans unicode", "segoe ui"}) {
        if (name == sans) return GenericFace::Sans;
    }
    for (const char* serif : {"times new roman", "times", "georgia", "ms serif", "garamond"}) {
        if (name == serif) return GenericFace::Serif;
    }
    for (const char* mono : {"courier new", "courier", "lucida console", "consolas", "monaco"}) {
        if (name == mono) return GenericFace::Typewriter;
    }
    return GenericFace::None;
}

// A face name used as a file name: letters, digits, '-' and '_' only, so a
// movie's font name cannot point outside the folder.
bool FileSafe(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::vector<std::string> StyledNames(const std::string& base, bool bold, bool italic, const char* slant) {
    std::vector<std::string> names;
    if (bold && italic) names.push_back(base + "-Bold" + slant);
    if (bold && !italic) names.push_back(base + "-Bold");
    if (italic && !bold) names.push_back(base + "-" + slant);
    names.push_back(base);
    return names;
}

// Collects an outline as segments in the device em square, y down.
struct OutlineSink {
    double scale = 1;
    std::vector<Segment>* edges = nullptr;
    float startX = 0, startY = 0, x = 0, y = 0;
    bool open = false;

    float X(const FT_Vector* v) const { return static_cast<float>(v->x * scale); }
    float Y(const FT_Vector* v) const { return static_cast<float>(-v->y * scale); }
    void Close() {
        if (open && (x != startX || y != startY)) edges->push_back({x, y, 0, 0, startX, startY, false});
        open = false;
    }
    void Line(float x1, float y1) {
        edges->push_back({x, y, 0, 0, x1, y1, false});
        x = x1;
        y = y1;
    }
    void Quad(float cx, float cy, float x1, float y1) {
        edges->push_back({x, y, cx, cy, x1, y1, true});
        x = x1;
        y = y1;
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto& s = *static_cast<OutlineSink*>(user);
    s.Close();
    s.startX = s.x = s.X(to);
    s.startY = s.y = s.Y(to);
    s.open = true;
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto& s = *static_cast<OutlineSink*>(user);
    s.Line(s.X(to), s.Y(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto& s = *static_cast<OutlineSink*>(user);
    s.Quad(s.X(control), s.Y(control), s.X(to), s.Y(to));
    return 0;
}

// Cubic outlines (CFF fonts): each half of the curve as one quadratic.
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto& s = *static_cast<OutlineSink*>(user);
    const float x0 = s.x, y0 = s.y;
    const float x1 = s.X(c1), y1 = s.Y(c1), x2 = s.X(c2), y2 = s.Y(c2), x3 = s.X(to), y3 = s.Y(to);
    // de Casteljau split at t = 1/2.
    const float ax = (x0 + x1) / 2, ay = (y0 + y1) / 2, bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
    const float cx = (x2 + x3) / 2, cy = (y2 + y3) / 2, abx = (ax + bx) / 2, aby = (ay + by) / 2;
    const float bcx = (bx + cx) / 2, bcy = (by + cy) / 2, mx = (abx + bcx) / 2, my = (aby + bcy) / 2;
    // A quadratic through each half's ends whose control best matches the cubic's tangents.
    s.Quad((3 * (ax + abx) - (x0 + mx)) / 4, (3 * (ay + aby) - (y0 + my)) / 4, mx, my);
    s.Quad((3 * (bcx + cx) - (mx + x3)) / 4, (3 * (bcy + cy) - (my + y3)) / 4, x3, y3);
    return 0;
}

}  // namespace

struct FreeTypeFontProvider::Library {
    FT_Library library = nullptr;
    std::map<std::string, FT_Face> faces;
    ~Library() {
        for (auto& [file, face] : faces) {
            if (face != nullptr) FT_Done_Face(face);
        }
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

FreeTypeFontProvider::FreeTypeFontProvider(std::string folder)
    : folder_(std::move(folder)), library_(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library_->library) != 0) library_->library = nullptr;
}

FreeTypeFontProvider::~FreeTypeFontProvider() = default;

std::string FreeTypeFontProvider::FileFor(const std::string& face, bool bold, bool italic) const {
    namespace fs = std::filesystem;
    std::error_code error;
    const auto existing = [&](const std::vector<std::string>& names) -> std::string {
        for (const std::string& name : names) {
            const fs::path path = fs::path(folder_) / (name + ".ttf");
            if (fs::is_regular_file(path, error)) return path.string();
        }
        return {};
    };
    const GenericFace kind = KindOf(face);
    if (kind == GenericFace::None) {
        std::string compact = face;
        std::erase(compact, ' ');
        if (FileSafe(compact)) {
            for (const char* slant : {"Italic", "Oblique"}) {
                if (auto file = existing(StyledNames(compact, bold, italic, slant)); !file.empty()) return file;
            }
        }
    }
    if (kind == GenericFace::Serif) {
        if (auto file = existing(StyledNames("DejaVuSerif", bold, italic, "Italic")); !file.empty()) return file;
    }
    if (kind == GenericFace::Typewriter) {
        if (auto file = existing(StyledNames("DejaVuSansMono", bold, italic, "Oblique")); !file.empty()) return file;
    }
    if (auto file = existing(StyledNames("DejaVuSans", bold, italic, "Oblique")); !file.empty()) return file;
    // No sans face: any font the folder holds.
    std::vector<std::string> any;
    for (const auto& entry : fs::directory_iterator(folder_, error)) {
        if (entry.path().extension() == ".ttf") any.push_back(entry.path().string());
    }
    std::sort(any.begin(), any.end());
    return any.empty() ? std::string() : any.front();
}

void* FreeTypeFontProvider::Open(const std::string& file) {
    if (file.empty() || library_->library == nullptr) return nullptr;
    if (const auto it = library_->faces.find(file); it != library_->faces.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_->library, file.c_str(), 0, &face) != 0) face = nullptr;
    library_->faces.emplace(file, face);
    return face;
}

std::shared_ptr<const DeviceGlyph> FreeTypeFontProvider::LoadGlyph(const std::string& faceName, bool bold, bool italic,
                                                                   char32_t c) {
    // The face asked for, then _sans for characters it lacks.
    for (const std::string& name : {faceName, std::string("_sans")}) {
        auto* face = static_cast<FT_Face>(Open(FileFor(name, bold, italic)));
        if (face == nullptr || face->units_per_EM == 0) continue;
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (index == 0) continue;
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
        auto glyph = std::make_shared<DeviceGlyph>();
        const double scale = kDeviceEm / face->units_per_EM;
        glyph->advance = static_cast<double>(face->glyph->metrics.horiAdvance) * scale;
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            OutlineSink sink;
            sink.scale = scale;
            sink.edges = &glyph->edges;
            FT_Outline_Funcs funcs{};
            funcs.move_to = MoveTo;
            funcs.line_to = LineTo;
            funcs.conic_to = ConicTo;
            funcs.cubic_to = CubicTo;
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
            sink.Close();
        }
        return glyph;
    }
    return nullptr;
}

FaceMetrics FreeTypeFontProvider::LoadMetrics(const std::string& faceName, bool bold, bool italic) {
    auto* face = static_cast<FT_Face>(Open(FileFor(faceName, bold, italic)));
    if (face == nullptr || face->units_per_EM == 0) return {kDeviceEm * 0.9, kDeviceEm * 0.25, 0};
    const double scale = kDeviceEm / face->units_per_EM;
    // The Windows ascent and descent, as the system's own text layout uses them.
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        const double ascent = os2->usWinAscent * scale;
        const double descent = os2->usWinDescent * scale;
        const double height = (face->height > 0 ? face->height : os2->usWinAscent + os2->usWinDescent) * scale;
        return {ascent, descent, std::max(0.0, height - ascent - descent)};
    }
    const double ascent = face->ascender * scale;
    const double descent = -face->descender * scale;
    return {ascent, descent, std::max(0.0, face->height * scale - ascent - descent)};
}

}  // namespace swf::fonts
