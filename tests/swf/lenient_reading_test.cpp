// Movies whose envelope or tag stream disagrees with itself play what is
// there, as shipped players do, and say what was repaired.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "swf/io/movie_parser.h"
#include "swf/io/parse_error.h"
#include "swf/model/shape.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;

// Two frames: a red rectangle placed on the first, moved on the second.
Bytes TwoFrameMovie() {
    test::Place first;
    first.character = 1;
    test::Place moved;
    moved.move = true;
    moved.hasMatrix = true;
    moved.tx = 200;
    return test::Movie({test::SetBackground(1, 2, 3), test::Tag(32, test::RectangleShape(1, 0, 0, 400, 400, 255, 0, 0)),
                        test::Tag(26, test::PlaceObject2(first)), test::ShowFrame(),
                        test::Tag(26, test::PlaceObject2(moved)), test::ShowFrame()},
                       4000, 3000, 12, 2);
}

bool Mentions(const std::vector<std::string>& warnings, const std::string& fragment) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const std::string& w) { return w.find(fragment) != std::string::npos; });
}

void SetDeclaredLength(Bytes& movie, std::uint32_t length) {
    for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
}

TEST(LenientReading, DeclaredLengthOffByOneEitherWayPlaysTheSameMovie) {
    const Bytes plain = TwoFrameMovie();
    const auto reference = ParseMovie(plain);
    ASSERT_TRUE(reference->warnings.empty());
    for (const bool compressed : {false, true}) {
        for (const int delta : {-1, +1, +1000}) {
            Bytes movie = plain;
            SetDeclaredLength(movie, static_cast<std::uint32_t>(plain.size() + delta));
            if (compressed) movie = test::Compress(movie);  // keeps the edited header
            SCOPED_TRACE((compressed ? "compressed, " : "plain, ") + std::to_string(delta));
            const auto parsed = ParseMovie(movie);
            EXPECT_EQ(parsed->timeline.frames.size(), 2u);
            EXPECT_NE(FindCharacter<ShapeDefinition>(parsed->dictionary, 1), nullptr);
            EXPECT_EQ(parsed->background, reference->background);
            EXPECT_TRUE(Mentions(parsed->warnings, "declared length")) << parsed->warnings.size();
        }
    }
}

TEST(LenientReading, FileCutAtEveryPositionNeverFailsPastTheHeader) {
    const Bytes whole = TwoFrameMovie();
    const std::size_t headerSize = 8 + 8 + 4;  // envelope, 8-byte rectangle (13-bit fields), rate and count
    for (const bool compressed : {false, true}) {
        const Bytes source = compressed ? test::Compress(whole) : whole;
        for (std::size_t n = 0; n < source.size(); ++n) {
            SCOPED_TRACE((compressed ? "compressed cut at " : "plain cut at ") + std::to_string(n));
            const Bytes cut(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(n));
            std::shared_ptr<const MovieDefinition> movie;
            try {
                movie = ParseMovie(cut);
            } catch (const ParseError&) {
                // Only a movie without its whole header is refused.
                if (!compressed) {
                    EXPECT_LT(n, headerSize);
                }
                continue;
            }
            if (!compressed) {
                EXPECT_GE(n, headerSize);
            }
            EXPECT_FALSE(movie->warnings.empty());
            EXPECT_GE(movie->timeline.frames.size(), 1u);
            EXPECT_LE(movie->timeline.frames.size(), 2u);
        }
    }
}

TEST(LenientReading, CutTagsMissingEndAndTrailingGarbage) {
    const Bytes whole = TwoFrameMovie();
    // Everything after the End tag is ignored, with a note.
    Bytes trailing = whole;
    trailing.insert(trailing.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
    SetDeclaredLength(trailing, static_cast<std::uint32_t>(trailing.size()));
    auto movie = ParseMovie(trailing);
    EXPECT_EQ(movie->timeline.frames.size(), 2u);
    EXPECT_TRUE(Mentions(movie->warnings, "5 bytes after the End tag"));

    // Without its End tag the movie is whole otherwise.
    Bytes noEnd(whole.begin(), whole.end() - 2);
    SetDeclaredLength(noEnd, static_cast<std::uint32_t>(noEnd.size()));
    movie = ParseMovie(noEnd);
    EXPECT_EQ(movie->timeline.frames.size(), 2u);
    EXPECT_TRUE(Mentions(movie->warnings, "no End tag"));
    EXPECT_FALSE(Mentions(movie->warnings, "declared length"));

    // A shape tag cut short: the frame before it stays; the shape is not defined.
    const Bytes shapeTag = test::Tag(32, test::RectangleShape(1, 0, 0, 400, 400, 255, 0, 0));
    Bytes cutShape = test::Movie({test::SetBackground(9, 9, 9), test::ShowFrame()});
    cutShape.resize(cutShape.size() - 2);  // drop End
    cutShape.insert(cutShape.end(), shapeTag.begin(), shapeTag.end() - 3);
    movie = ParseMovie(cutShape);
    EXPECT_EQ(movie->timeline.frames.size(), 1u);
    EXPECT_EQ(movie->dictionary.count(1), 0u);
    EXPECT_TRUE(Mentions(movie->warnings, "tag 32 cut short"));
    EXPECT_EQ(movie->background, (Rgba{9, 9, 9, 255}));

    // Inside a sprite: the sprite keeps the frames before the cut.
    Bytes inner = test::Tag(26, test::PlaceObject2({}));
    inner.pop_back();
    const Bytes spriteBody = [&] {
        writer::BitWriter b;
        b.U16(5);
        b.U16(1);
        b.Bytes(test::ShowFrame());
        b.Bytes(inner);
        return b.bytes();
    }();
    movie = ParseMovie(test::Movie({test::Tag(39, spriteBody), test::ShowFrame()}));
    EXPECT_TRUE(Mentions(movie->warnings, "sprite 5: tag 26 cut short"));
}

TEST(LenientReading, CompressedDataEndingEarlyOrGoingBadKeepsWhatCameBefore) {
    // Enough content that zlib's output is long and damage lands mid-stream.
    std::vector<Bytes> tags;
    for (std::uint16_t id = 1; id <= 60; ++id) {
        tags.push_back(test::Tag(32, test::RectangleShape(id, id * 10, 0, id * 10 + 100, 100 + id * 7,
                                                          static_cast<std::uint8_t>(id * 3), 0, 0)));
    }
    tags.push_back(test::ShowFrame());
    const Bytes packed = test::Compress(test::Movie(tags));

    const Bytes early(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() * 2 / 3));
    auto movie = ParseMovie(early);
    EXPECT_TRUE(Mentions(movie->warnings, "ends early"));
    EXPECT_GT(movie->dictionary.size(), 0u);
    EXPECT_LT(movie->dictionary.size(), 60u);

    Bytes damaged = packed;
    for (std::size_t i = damaged.size() / 2; i < damaged.size(); ++i) damaged[i] = 0xFF;
    movie = ParseMovie(damaged);
    EXPECT_TRUE(Mentions(movie->warnings, "goes bad"));
    EXPECT_LT(movie->dictionary.size(), 60u);
}

}  // namespace
}  // namespace swf
