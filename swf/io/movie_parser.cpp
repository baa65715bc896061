#include "swf/io/movie_parser.h"

#include <string>

#include "swf/io/bit_reader.h"
#include "swf/io/bitmap_fills.h"
#include "swf/io/bitmap_parser.h"
#include "swf/io/button_parser.h"
#include "swf/io/definition_pins.h"
#include "swf/io/edit_text_parser.h"
#include "swf/io/export_parser.h"
#include "swf/io/font_parser.h"
#include "swf/io/morph_parser.h"
#include "swf/io/movie_file.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/scaling_grid_parser.h"
#include "swf/io/shape_parser.h"
#include "swf/io/sound_parser.h"
#include "swf/io/tag_reader.h"
#include "swf/io/text_parser.h"
#include "swf/io/timeline_builder.h"
#include "swf/io/unsupported_features.h"
#include "swf/io/video_parser.h"

namespace swf {

namespace {

// Notes how a tag stream ended when it did not end cleanly with its End tag.
void NoteStreamEnd(const TagReader& tags, bool sawEnd, const std::string& where, std::vector<std::string>& warnings) {
    if (tags.CutShort()) {
        const auto code = tags.CutShortCode();
        warnings.push_back(where + (code ? "tag " + std::to_string(*code) : std::string("a tag header")) +
                           " cut short at the end of the data; playing what came before it");
    } else if (!sawEnd) {
        warnings.push_back(where + "no End tag");
    } else if (tags.Remaining() != 0) {
        warnings.push_back(where + std::to_string(tags.Remaining()) + " bytes after the End tag ignored");
    }
}

std::shared_ptr<SpriteDefinition> ParseDefineSprite(std::span<const std::uint8_t> body, int version,
                                                    const Dictionary& dictionary, DefinitionPins& pins,
                                                    VideoStreams& videos, std::vector<std::string>& warnings,
                                                    UnsupportedNotes& notes) {
    BitReader in(body);
    auto sprite = std::make_shared<SpriteDefinition>();
    sprite->id = in.ReadU16();
    in.ReadU16();  // declared frame count; the ShowFrame tags decide
    TagReader tags(in.Rest());
    TimelineBuilder builder(version);
    bool sawEnd = false;
    while (auto tag = tags.Next()) {
        if (tag->code == tag::End) {
            sawEnd = true;
            break;
        }
        // Definitions inside a sprite are not allowed; they and unknown tags are skipped.
        try {
            if (tag->code == tag::VideoFrame) {
                videos.AddFrame(tag->body);
            } else if (!builder.Add(*tag)) {
                notes.Tag(tag->code);
            } else if (PlaceCommand* place = builder.LastPlacement()) {
                pins.Pin(*place, dictionary);
            }
        } catch (const ParseError& e) {
            warnings.push_back("sprite " + std::to_string(sprite->id) + ": tag " + std::to_string(tag->code) +
                               " skipped: " + e.what());
        }
    }
    // Inside a sprite, bytes after End are harmless padding some writers leave.
    if (!sawEnd || tags.CutShort())
        NoteStreamEnd(tags, sawEnd, "sprite " + std::to_string(sprite->id) + ": ", warnings);
    sprite->timeline = builder.Finish();
    return sprite;
}

// Shapes come after the bitmaps they paint with: their fills are linked now.
std::shared_ptr<const Character> ParseShape(std::span<const std::uint8_t> body, int version, EdgeBudget& budget,
                                            const Dictionary& dictionary) {
    auto shape = ParseDefineShape(body, version, budget);
    ResolveBitmapFills(shape->shape, dictionary);
    return shape;
}

std::shared_ptr<const Character> ParseMorph(std::span<const std::uint8_t> body, int version, EdgeBudget& budget,
                                            const Dictionary& dictionary) {
    auto morph = ParseDefineMorphShape(body, version, budget);
    ResolveBitmapFills(*morph, dictionary);
    return morph;
}

std::shared_ptr<const Character> ParseDefinition(const TagRecord& tag, EdgeBudget& budget, MovieDefinition& movie,
                                                 std::span<const std::uint8_t> jpegTables, VideoStreams& videos) {
    const int version = movie.header.version;
    switch (tag.code) {
    case tag::DefineShape: return ParseShape(tag.body, 1, budget, movie.dictionary);
    case tag::DefineShape2: return ParseShape(tag.body, 2, budget, movie.dictionary);
    case tag::DefineShape3: return ParseShape(tag.body, 3, budget, movie.dictionary);
    case tag::DefineShape4: return ParseShape(tag.body, 4, budget, movie.dictionary);
    case tag::DefineMorphShape: return ParseMorph(tag.body, 1, budget, movie.dictionary);
    case tag::DefineMorphShape2: return ParseMorph(tag.body, 2, budget, movie.dictionary);
    case tag::DefineFont: return ParseDefineFont(tag.body, budget);
    case tag::DefineFont2: return ParseDefineFont2(tag.body, 2, budget, version);
    case tag::DefineFont3: return ParseDefineFont2(tag.body, 3, budget, version);
    case tag::DefineText: return ParseDefineText(tag.body, 1);
    case tag::DefineText2: return ParseDefineText(tag.body, 2);
    case tag::DefineButton: return ParseDefineButton(tag.body, 1);
    case tag::DefineButton2: return ParseDefineButton(tag.body, 2);
    case tag::DefineEditText: return ParseDefineEditText(tag.body, version);
    case tag::DefineBits: return ParseDefineBits(tag.body, jpegTables);
    case tag::DefineBitsJpeg2: return ParseDefineBitsJpeg(tag.body, 2, movie.warnings);
    case tag::DefineBitsJpeg3: return ParseDefineBitsJpeg(tag.body, 3, movie.warnings);
    case tag::DefineBitsJpeg4: return ParseDefineBitsJpeg(tag.body, 4, movie.warnings);
    case tag::DefineBitsLossless: return ParseDefineBitsLossless(tag.body, 1);
    case tag::DefineBitsLossless2: return ParseDefineBitsLossless(tag.body, 2);
    case tag::DefineSound: return ParseDefineSound(tag.body);
    case tag::DefineVideoStream: return videos.Define(tag.body, movie.warnings);
    default: return nullptr;
    }
}

// Tags that add to a font defined earlier replace it with the amended copy.
// Hinting tables for the outlines are read and not needed.
bool AmendFont(const TagRecord& tag, int version, Dictionary& dictionary) {
    std::shared_ptr<FontDefinition> font;
    switch (tag.code) {
    case tag::DefineFontInfo: font = ApplyDefineFontInfo(tag.body, 1, version, dictionary); break;
    case tag::DefineFontInfo2: font = ApplyDefineFontInfo(tag.body, 2, version, dictionary); break;
    case tag::DefineFontName: font = ApplyDefineFontName(tag.body, version, dictionary); break;
    case tag::DefineFontAlignZones:
    case tag::CSMTextSettings: return true;
    default: return false;
    }
    dictionary[font->id] = std::move(font);
    return true;
}

// Bytes of decoded pixels a bitmap character holds.
std::size_t PixelBytes(const Character& character) {
    if (character.Kind() != CharacterKind::Bitmap) return 0;
    return static_cast<const BitmapDefinition&>(character).image->pixels.size() * sizeof(std::uint32_t);
}

}  // namespace

std::shared_ptr<const MovieDefinition> ParseMovie(std::span<const std::uint8_t> bytes, std::string url) {
    MovieFile file = ReadMovieFile(bytes);
    auto movie = std::make_shared<MovieDefinition>();
    movie->url = std::move(url);
    movie->header = file.header;
    movie->warnings = std::move(file.warnings);
    EdgeBudget budget;
    std::size_t bitmapBytes = 0;
    std::span<const std::uint8_t> jpegTables;  // shared by every DefineBits
    TimelineBuilder builder(movie->header.version);
    DefinitionPins pins;
    VideoStreams videos;
    TagReader tags(file.tags);
    UnsupportedNotes notes;
    bool sawEnd = false;
    while (auto tag = tags.Next()) {
        if (tag->code == tag::End) {
            sawEnd = true;
            break;
        }
        try {
            if (builder.Add(*tag)) {
                if (PlaceCommand* place = builder.LastPlacement()) pins.Pin(*place, movie->dictionary);
                continue;
            }
            if (AmendFont(*tag, movie->header.version, movie->dictionary)) continue;
            if (tag->code == tag::SetBackgroundColor) {
                BitReader in(tag->body);
                movie->background = ReadRgb(in);
                continue;
            }
            if (tag->code == tag::ExportAssets) {
                ReadExportAssets(tag->body, movie->exports);
                continue;
            }
            if (tag->code == tag::ScriptLimits) {
                BitReader in(tag->body);
                movie->scriptLimits.maxRecursionDepth = in.ReadU16();
                movie->scriptLimits.timeoutSeconds = in.ReadU16();
                continue;
            }
            if (tag->code == tag::DefineButtonSound) {
                std::shared_ptr<const Character> button = ApplyDefineButtonSound(tag->body, movie->dictionary);
                movie->dictionary[button->id] = std::move(button);
                continue;
            }
            if (tag->code == tag::VideoFrame) {
                videos.AddFrame(tag->body);
                continue;
            }
            if (tag->code == tag::DefineScalingGrid) {
                if (auto amended = ApplyDefineScalingGrid(tag->body, movie->dictionary))
                    movie->dictionary[amended->id] = std::move(amended);
                continue;
            }
            if (tag->code == tag::FreeCharacter) {
                // Placements made so far keep what they placed; the id may be defined again.
                BitReader in(tag->body);
                movie->dictionary.erase(in.ReadU16());
                continue;
            }
            if (tag->code == tag::JpegTables) {
                jpegTables = tag->body;
                continue;
            }
            std::shared_ptr<const Character> character =
                tag->code == tag::DefineSprite ? ParseDefineSprite(tag->body, movie->header.version, movie->dictionary,
                                                                   pins, videos, movie->warnings, notes)
                                               : ParseDefinition(*tag, budget, *movie, jpegTables, videos);
            if (!character) {
                notes.Tag(tag->code);
                continue;
            }
            // The first definition of an id stands; later ones are ignored.
            if (movie->dictionary.contains(character->id)) continue;
            const std::size_t pixelBytes = PixelBytes(*character);
            if (pixelBytes > kMaxBitmapBytesPerMovie - bitmapBytes) {
                throw ParseError("the movie's bitmaps are over the memory limit");
            }
            bitmapBytes += pixelBytes;
            movie->dictionary.emplace(character->id, std::move(character));
        } catch (const ParseError& e) {
            if (budget.remaining == 0) throw;
            movie->warnings.push_back("tag " + std::to_string(tag->code) + " skipped: " + e.what());
        }
    }
    NoteStreamEnd(tags, sawEnd, "", movie->warnings);
    movie->timeline = builder.Finish();
    notes.AppendTo(movie->warnings);
    return movie;
}

}  // namespace swf
