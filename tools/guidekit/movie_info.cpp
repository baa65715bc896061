#include "tools/guidekit/movie_info.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <utility>

#include "swf/io/movie_file.h"
#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/io/tag_reader.h"
#include "swf/model/font.h"
#include "tools/guidekit/file_references.h"

namespace guidekit {

namespace {

constexpr std::pair<std::uint16_t, const char*> kTagNames[] = {
    {0, "End"},
    {1, "ShowFrame"},
    {2, "DefineShape"},
    {3, "FreeCharacter"},
    {4, "PlaceObject"},
    {5, "RemoveObject"},
    {6, "DefineBits"},
    {7, "DefineButton"},
    {8, "JPEGTables"},
    {9, "SetBackgroundColor"},
    {10, "DefineFont"},
    {11, "DefineText"},
    {12, "DoAction"},
    {13, "DefineFontInfo"},
    {14, "DefineSound"},
    {15, "StartSound"},
    {16, "StopSound"},
    {17, "DefineButtonSound"},
    {18, "SoundStreamHead"},
    {19, "SoundStreamBlock"},
    {20, "DefineBitsLossless"},
    {21, "DefineBitsJPEG2"},
    {22, "DefineShape2"},
    {23, "DefineButtonCxform"},
    {24, "Protect"},
    {26, "PlaceObject2"},
    {28, "RemoveObject2"},
    {32, "DefineShape3"},
    {33, "DefineText2"},
    {34, "DefineButton2"},
    {35, "DefineBitsJPEG3"},
    {36, "DefineBitsLossless2"},
    {37, "DefineEditText"},
    {39, "DefineSprite"},
    {41, "ProductInfo"},
    {43, "FrameLabel"},
    {45, "SoundStreamHead2"},
    {46, "DefineMorphShape"},
    {48, "DefineFont2"},
    {56, "ExportAssets"},
    {57, "ImportAssets"},
    {58, "EnableDebugger"},
    {59, "DoInitAction"},
    {60, "DefineVideoStream"},
    {61, "VideoFrame"},
    {62, "DefineFontInfo2"},
    {64, "EnableDebugger2"},
    {65, "ScriptLimits"},
    {66, "SetTabIndex"},
    {69, "FileAttributes"},
    {70, "PlaceObject3"},
    {71, "ImportAssets2"},
    {73, "DefineFontAlignZones"},
    {74, "CSMTextSettings"},
    {75, "DefineFont3"},
    {76, "SymbolClass"},
    {77, "Metadata"},
    {78, "DefineScalingGrid"},
    {82, "DoABC"},
    {83, "DefineShape4"},
    {84, "DefineMorphShape2"},
    {88, "DefineFontName"},
};

// Counts the tags of a stream, going into sprites (whose bodies start with
// their id and frame count).
void CountTags(std::span<const std::uint8_t> stream, std::map<std::string, std::size_t>& counts, int depth) {
    swf::TagReader reader(stream);
    while (const auto tag = reader.Next()) {
        ++counts[TagName(tag->code)];
        if (tag->code == swf::tag::End) break;
        if (tag->code == swf::tag::DefineSprite && tag->body.size() > 4 && depth < 8) {
            CountTags(tag->body.subspan(4), counts, depth + 1);
        }
    }
}

std::string Pixels(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::shared_ptr<const swf::MovieDefinition> ReadMovie(std::span<const std::uint8_t> bytes, std::string* why) {
    try {
        return swf::ParseMovie(bytes);
    } catch (const swf::ParseError& e) {
        *why = e.what();
    } catch (const std::bad_alloc&) {
        *why = "not enough memory to read it";
    } catch (const std::exception& e) {
        *why = e.what();
    }
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string TagName(std::uint16_t code) {
    for (const auto& [known, name] : kTagNames) {
        if (known == code) return name;
    }
    return "tag " + std::to_string(code);
}

MovieSummary Summarize(std::span<const std::uint8_t> bytes) {
    const swf::MovieFile file = swf::ReadMovieFile(bytes);
    std::string why;
    const auto movie = ReadMovie(bytes, &why);
    if (!movie) throw swf::ParseError(why);
    MovieSummary summary;
    summary.version = file.header.version;
    summary.compressed = file.header.compressed;
    summary.fileBytes = bytes.size();
    summary.stageWidth = file.header.frameSize.Width() / 20.0;
    summary.stageHeight = file.header.frameSize.Height() / 20.0;
    summary.frameRate = file.header.frameRate;
    summary.declaredFrames = file.header.frameCount;
    summary.frames = movie->timeline.frames.size();
    CountTags(file.tags, summary.tagCounts, 0);
    for (const auto& [id, character] : movie->dictionary) {
        const auto* font = dynamic_cast<const swf::FontDefinition*>(character.get());
        if (font == nullptr) continue;
        summary.fonts.push_back({id, font->name, font->bold, font->italic, font->glyphs.size(), font->IsDeviceFont()});
    }
    std::sort(summary.fonts.begin(), summary.fonts.end(),
              [](const FontSummary& a, const FontSummary& b) { return a.id < b.id; });
    summary.exports = movie->exports;
    for (const auto block : ActionBlocks(*movie)) {
        ++summary.actionBlocks;
        summary.actionBytes += block.size();
    }
    summary.namedFiles = NamedFiles(*movie);
    summary.readingWarnings = file.warnings;
    summary.readingWarnings.insert(summary.readingWarnings.end(), movie->warnings.begin(), movie->warnings.end());
    return summary;
}

std::string FormatSummary(const MovieSummary& s) {
    std::ostringstream out;
    out << "version: " << s.version << "\n";
    out << "compression: " << (s.compressed ? "zlib (CWS)" : "none (FWS)") << ", " << s.fileBytes << " bytes\n";
    out << "stage: " << Pixels(s.stageWidth) << " x " << Pixels(s.stageHeight) << " pixels\n";
    out << "frame rate: " << Pixels(s.frameRate) << " fps\n";
    out << "frames: " << s.frames;
    if (s.declaredFrames != s.frames) out << " (the header says " << s.declaredFrames << ")";
    out << "\n";
    out << "tags:\n";
    for (const auto& [name, count] : s.tagCounts) out << "  " << name << ": " << count << "\n";
    out << "fonts: " << s.fonts.size() << "\n";
    for (const FontSummary& font : s.fonts) {
        out << "  " << font.id << " \"" << font.name << "\"" << (font.bold ? " bold" : "")
            << (font.italic ? " italic" : "") << ", "
            << (font.device ? "system font" : std::to_string(font.glyphs) + " glyphs") << "\n";
    }
    out << "exported names: " << s.exports.size() << "\n";
    for (const auto& [name, id] : s.exports) out << "  " << name << " -> " << id << "\n";
    out << "actions: " << s.actionBytes << " bytes in " << s.actionBlocks << " blocks\n";
    out << "files named: " << s.namedFiles.size() << "\n";
    for (const std::string& name : s.namedFiles) out << "  " << name << "\n";
    for (const std::string& warning : s.readingWarnings) out << "reading: " << warning << "\n";
    return out.str();
}

}  // namespace guidekit
