#include "swf/io/movie_parser.h"

#include <string>

#include "swf/io/bit_reader.h"
#include "swf/io/button_parser.h"
#include "swf/io/edit_text_parser.h"
#include "swf/io/font_parser.h"
#include "swf/io/morph_parser.h"
#include "swf/io/movie_file.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/shape_parser.h"
#include "swf/io/tag_reader.h"
#include "swf/io/text_parser.h"
#include "swf/io/timeline_builder.h"

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

std::shared_ptr<SpriteDefinition> ParseDefineSprite(std::span<const std::uint8_t> body,
                                                    std::vector<std::string>& warnings) {
    BitReader in(body);
    auto sprite = std::make_shared<SpriteDefinition>();
    sprite->id = in.ReadU16();
    in.ReadU16();  // declared frame count; the ShowFrame tags decide
    TagReader tags(in.Rest());
    TimelineBuilder builder;
    bool sawEnd = false;
    while (auto tag = tags.Next()) {
        if (tag->code == tag::End) {
            sawEnd = true;
            break;
        }
        // Definitions inside a sprite are not allowed; they and unknown tags are skipped.
        try {
            builder.Add(*tag);
        } catch (const ParseError& e) {
            warnings.push_back("sprite " + std::to_string(sprite->id) + ": tag " + std::to_string(tag->code) +
                               " skipped: " + e.what());
        }
    }
    // Inside a sprite, bytes after End are harmless padding some writers leave.
    if (!sawEnd || tags.CutShort()) NoteStreamEnd(tags, sawEnd, "sprite " + std::to_string(sprite->id) + ": ", warnings);
    sprite->timeline = builder.Finish();
    return sprite;
}

std::shared_ptr<const Character> ParseDefinition(const TagRecord& tag, EdgeBudget& budget, int version) {
    switch (tag.code) {
        case tag::DefineShape: return ParseDefineShape(tag.body, 1, budget);
        case tag::DefineShape2: return ParseDefineShape(tag.body, 2, budget);
        case tag::DefineShape3: return ParseDefineShape(tag.body, 3, budget);
        case tag::DefineShape4: return ParseDefineShape(tag.body, 4, budget);
        case tag::DefineMorphShape: return ParseDefineMorphShape(tag.body, 1, budget);
        case tag::DefineMorphShape2: return ParseDefineMorphShape(tag.body, 2, budget);
        case tag::DefineFont: return ParseDefineFont(tag.body, budget);
        case tag::DefineFont2: return ParseDefineFont2(tag.body, 2, budget, version);
        case tag::DefineFont3: return ParseDefineFont2(tag.body, 3, budget, version);
        case tag::DefineText: return ParseDefineText(tag.body, 1);
        case tag::DefineText2: return ParseDefineText(tag.body, 2);
        case tag::DefineButton: return ParseDefineButton(tag.body, 1);
        case tag::DefineButton2: return ParseDefineButton(tag.body, 2);
        case tag::DefineEditText: return ParseDefineEditText(tag.body, version);
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

}  // namespace

std::shared_ptr<const MovieDefinition> ParseMovie(std::span<const std::uint8_t> bytes) {
    MovieFile file = ReadMovieFile(bytes);
    auto movie = std::make_shared<MovieDefinition>();
    movie->header = file.header;
    movie->warnings = std::move(file.warnings);
    EdgeBudget budget;
    TimelineBuilder builder;
    TagReader tags(file.tags);
    bool sawEnd = false;
    while (auto tag = tags.Next()) {
        if (tag->code == tag::End) {
            sawEnd = true;
            break;
        }
        try {
            if (builder.Add(*tag)) continue;
            if (AmendFont(*tag, movie->header.version, movie->dictionary)) continue;
            if (tag->code == tag::SetBackgroundColor) {
                BitReader in(tag->body);
                movie->background = ReadRgb(in);
                continue;
            }
            std::shared_ptr<const Character> character =
                tag->code == tag::DefineSprite ? ParseDefineSprite(tag->body, movie->warnings)
                                               : ParseDefinition(*tag, budget, movie->header.version);
            // The first definition of an id stands; later ones are ignored.
            if (character) movie->dictionary.emplace(character->id, std::move(character));
        } catch (const ParseError& e) {
            if (budget.remaining == 0) throw;
            movie->warnings.push_back("tag " + std::to_string(tag->code) + " skipped: " + e.what());
        }
    }
    NoteStreamEnd(tags, sawEnd, "", movie->warnings);
    movie->timeline = builder.Finish();
    return movie;
}

}  // namespace swf
