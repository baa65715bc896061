// Whole files, shapes, fonts, buttons and the generated movies, read back
// with a small independent reader.

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/writer/tag_list.h"
#include "swf/actions/vm.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/button.h"
#include "swf/writer/font.h"
#include "swf/writer/morph_shape.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/text.h"
#include "tools/moviegen/movies.h"

using namespace swf::writer;
using namespace writer_test;
using Bytes = std::vector<std::uint8_t>;

namespace {

TagStream TwoFrames() {
    TagStream t;
    t.SetBackgroundColor(Rgb{1, 2, 3});
    t.ShowFrame();
    t.ShowFrame();
    return t;
}

Bytes Inflate(const Bytes& packed, std::size_t size) {
    Bytes out(size);
    uLongf outSize = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(out.data(), &outSize, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
    out.resize(outSize);
    return out;
}

// The file with a CWS body inflated, as FWS.
Bytes Plain(const Bytes& file) {
    if (file.at(0) == 'F') return file;
    std::uint32_t length = file[4] | (file[5] << 8) | (file[6] << 16) | (static_cast<std::uint32_t>(file[7]) << 24);
    Bytes body = Inflate(Bytes(file.begin() + 8, file.end()), length - 8);
    Bytes out(file.begin(), file.begin() + 8);
    out[0] = 'F';
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<Tag> MovieTags(const Bytes& file) {
    Bytes plain = Plain(file);
    unsigned nbits = plain.at(8) >> 3;
    std::size_t rectBytes = (5 + 4 * nbits + 7) / 8;
    return ReadTags(plain, 8 + rectBytes + 4);
}

struct Point {
    std::int32_t x, y;
    bool operator==(const Point&) const = default;
};

// Decodes SHAPE records: the outline points (moves start new lists) and the
// last fill1 selected.
struct Outline {
    std::vector<std::vector<Point>> paths;
    unsigned fill0 = 0, fill1 = 0, line = 0;
    unsigned curves = 0;
};

Outline ReadRecords(BitReader& r, unsigned fillBits, unsigned lineBits) {
    Outline o;
    std::int32_t x = 0, y = 0;
    while (true) {
        if (r.ReadUB(1) == 0) {
            unsigned flags = r.ReadUB(5);
            if (flags == 0) break;
            if (flags & 0x01) {
                unsigned bits = r.ReadUB(5);
                x = r.ReadSB(bits);
                y = r.ReadSB(bits);
                o.paths.push_back({{x, y}});
            }
            if (flags & 0x02) o.fill0 = r.ReadUB(fillBits);
            if (flags & 0x04) o.fill1 = r.ReadUB(fillBits);
            if (flags & 0x08) o.line = r.ReadUB(lineBits);
            EXPECT_FALSE(flags & 0x10) << "new styles are never written";
        } else if (r.ReadUB(1) == 1) {
            unsigned bits = r.ReadUB(4) + 2;
            if (r.ReadUB(1)) {
                x += r.ReadSB(bits);
                y += r.ReadSB(bits);
            } else if (r.ReadUB(1)) {
                y += r.ReadSB(bits);
            } else {
                x += r.ReadSB(bits);
            }
            o.paths.back().push_back({x, y});
        } else {
            unsigned bits = r.ReadUB(4) + 2;
            x += r.ReadSB(bits);
            y += r.ReadSB(bits);
            x += r.ReadSB(bits);
            y += r.ReadSB(bits);
            o.paths.back().push_back({x, y});
            ++o.curves;
        }
    }
    return o;
}

}  // namespace

TEST(WriterMovie, PlainHeaderFields) {
    MovieHeader h;
    h.version = 8;
    h.frameSize = Rect{0, 11000, 0, 8000};
    h.frameRate = 24;
    Bytes file = BuildMovie(h, TwoFrames());
    Bytes expected{'F',  'W',  'S',  8,    0,    0,    0,    0, 0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0,
                   0x00, 0x00, 0x18, 0x02, 0x00, 0x43, 0x02, 1, 2,    3,    0x40, 0x00, 0x40, 0x00, 0x00, 0x00};
    expected[4] = static_cast<std::uint8_t>(expected.size());
    EXPECT_EQ(file, expected);
}

TEST(WriterMovie, CompressedInflatesToThePlainFile) {
    MovieHeader h;
    h.frameSize = Rect{0, 4000, 0, 2000};
    Bytes plain = BuildMovie(h, TwoFrames());
    h.compressed = true;
    Bytes packed = BuildMovie(h, TwoFrames());
    ASSERT_GT(packed.size(), 8u);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 3), (Bytes{'C', 'W', 'S'}));
    EXPECT_EQ(Bytes(packed.begin() + 3, packed.begin() + 8), Bytes(plain.begin() + 3, plain.begin() + 8));
    EXPECT_EQ(Inflate(Bytes(packed.begin() + 8, packed.end()), plain.size() - 8),
              Bytes(plain.begin() + 8, plain.end()));
}

TEST(WriterShapes, OutlinesReadBack) {
    ShapeBuilder s;
    auto red = s.AddFill(FillStyle::Solid(Rgba{255, 0, 0}));
    auto line = s.AddLine(LineStyle{40, Rgba{0, 0, 0}});
    s.Rectangle(Rect{-100, 300, 0, 200}, red, line);
    Bytes body = s.DefineShapeBody(7, 1);

    BitReader r(body);
    EXPECT_EQ(r.ReadU16(), 7);
    unsigned nbits = r.ReadUB(5);
    EXPECT_EQ(r.ReadSB(nbits), -120);  // bounds grow by half the line width
    EXPECT_EQ(r.ReadSB(nbits), 320);
    EXPECT_EQ(r.ReadSB(nbits), -20);
    EXPECT_EQ(r.ReadSB(nbits), 220);
    EXPECT_EQ(r.ReadU8(), 1);  // one fill
    EXPECT_EQ(r.ReadU8(), 0x00);
    EXPECT_EQ(r.ReadU8(), 255);
    EXPECT_EQ(r.ReadU8(), 0);
    EXPECT_EQ(r.ReadU8(), 0);
    EXPECT_EQ(r.ReadU8(), 1);  // one line
    EXPECT_EQ(r.ReadU16(), 40);
    r.ReadU8(), r.ReadU8(), r.ReadU8();
    unsigned fillBits = r.ReadUB(4), lineBits = r.ReadUB(4);
    EXPECT_EQ(fillBits, 1u);
    EXPECT_EQ(lineBits, 1u);
    Outline o = ReadRecords(r, fillBits, lineBits);
    ASSERT_EQ(o.paths.size(), 1u);
    EXPECT_EQ(o.paths[0], (std::vector<Point>{{-100, 0}, {300, 0}, {300, 200}, {-100, 200}, {-100, 0}}));
    EXPECT_EQ(o.fill0, 0u);
    EXPECT_EQ(o.fill1, 1u);
    EXPECT_EQ(o.line, 1u);
    r.Align();
    EXPECT_EQ(r.Position(), body.size());

    // Curved helpers close on their start point.
    for (int kind = 0; kind < 2; ++kind) {
        ShapeBuilder c;
        auto fill = c.AddFill(FillStyle::Radial(Rect{0, 1000, 0, 600}, {{0, Rgba{}}, {255, Rgba{255, 255, 255}}}));
        if (kind == 0)
            c.Ellipse(500, 300, 500, 300, fill);
        else
            c.RoundedRectangle(Rect{0, 1000, 0, 600}, 100, fill);
        Bytes b = c.DefineShapeBody(1, 3);
        // Skip id, bounds and the radial fill style to reach the records.
        BitReader cr(b);
        cr.ReadU16();
        unsigned n = cr.ReadUB(5);
        for (int i = 0; i < 4; ++i) cr.ReadSB(n);
        EXPECT_EQ(cr.ReadU8(), 1);
        EXPECT_EQ(cr.ReadU8(), 0x12);
        cr.Align();
        cr.ReadUB(1);  // matrix: has scale
        unsigned sb = cr.ReadUB(5);
        cr.ReadSB(sb), cr.ReadSB(sb);
        cr.ReadUB(1);
        unsigned tb = cr.ReadUB(5);
        cr.ReadSB(tb), cr.ReadSB(tb);
        EXPECT_EQ(cr.ReadU8(), 2);  // two stops
        for (int i = 0; i < 10; ++i) cr.ReadU8();
        EXPECT_EQ(cr.ReadU8(), 0);  // no lines
        unsigned fb = cr.ReadUB(4), lb = cr.ReadUB(4);
        Outline co = ReadRecords(cr, fb, lb);
        ASSERT_EQ(co.paths.size(), 1u);
        EXPECT_EQ(co.paths[0].front(), co.paths[0].back());
        EXPECT_EQ(co.curves, 8u);
        Rect bounds = c.EdgeBounds();
        EXPECT_LE(bounds.xMin, 0);
        EXPECT_GE(bounds.xMax, 1000);
    }
}

TEST(WriterShapes, MorphOutlinesFollowTheirOffset) {
    MorphShapeBuilder m;
    auto fill = m.AddFill(MorphFillStyle::Solid(Rgba{255, 0, 0}, Rgba{0, 0, 255, 100}));
    MorphLineStyle line;
    line.startWidth = 20;
    line.endWidth = 60;
    m.AddLine(line);
    m.Start().Rectangle(Rect{0, 400, 0, 400}, fill, 1);
    m.End().Rectangle(Rect{1000, 1800, 0, 400}, 0);
    Bytes body = m.DefineMorphShapeBody(9, 1);

    BitReader r(body);
    EXPECT_EQ(r.ReadU16(), 9);
    unsigned nbits = r.ReadUB(5);
    EXPECT_EQ(r.ReadSB(nbits), -10);  // start bounds grow by half the start width
    EXPECT_EQ(r.ReadSB(nbits), 410);
    r.ReadSB(nbits), r.ReadSB(nbits);
    r.Align();
    nbits = r.ReadUB(5);
    EXPECT_EQ(r.ReadSB(nbits), 970);  // end bounds by half the end width
    EXPECT_EQ(r.ReadSB(nbits), 1830);
    r.ReadSB(nbits), r.ReadSB(nbits);
    std::uint32_t offset = r.ReadU32();
    std::size_t endAt = r.Position() + offset;
    EXPECT_EQ(r.ReadU8(), 1);  // one fill: solid, start then end colour
    EXPECT_EQ(r.ReadU8(), 0x00);
    EXPECT_EQ((Bytes{r.ReadU8(), r.ReadU8(), r.ReadU8(), r.ReadU8(), r.ReadU8(), r.ReadU8(), r.ReadU8(), r.ReadU8()}),
              (Bytes{255, 0, 0, 255, 0, 0, 255, 100}));
    EXPECT_EQ(r.ReadU8(), 1);  // one line: both widths, both colours
    EXPECT_EQ(r.ReadU16(), 20);
    EXPECT_EQ(r.ReadU16(), 60);
    for (int i = 0; i < 8; ++i) r.ReadU8();
    unsigned fillBits = r.ReadUB(4), lineBits = r.ReadUB(4);
    Outline start = ReadRecords(r, fillBits, lineBits);
    EXPECT_EQ(start.fill1, 1u);
    EXPECT_EQ(start.line, 1u);
    r.Align();
    EXPECT_EQ(r.Position(), endAt);
    EXPECT_EQ(r.ReadUB(4), 0u);  // the end outline has no style indices
    EXPECT_EQ(r.ReadUB(4), 0u);
    Outline end = ReadRecords(r, 0, 0);
    ASSERT_EQ(end.paths.size(), 1u);
    EXPECT_EQ(end.paths[0], (std::vector<Point>{{1000, 0}, {1800, 0}, {1800, 400}, {1000, 400}, {1000, 0}}));
    r.Align();
    EXPECT_EQ(r.Position(), body.size());

    // A ratio and clip depth on a placement: flags 0x10 and 0x40, in file order.
    TagStream tags;
    PlaceObject place;
    place.depth = 2;
    place.move = true;
    place.ratio = 0x1234;
    place.clipDepth = 5;
    tags.PlaceObject2(place);
    std::vector<Tag> placed = ReadTags(tags.bytes(), 0);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].body, (Bytes{0x51, 2, 0, 0x34, 0x12, 5, 0}));
}

TEST(WriterShapes, BitmapFillStyles) {
    // Fill types 0x40..0x43: repeated or clipped, smoothed or not; then the
    // bitmap's id and its matrix.
    const struct {
        bool repeat, smooth;
        std::uint8_t type;
    } kinds[] = {{true, true, 0x40}, {false, true, 0x41}, {true, false, 0x42}, {false, false, 0x43}};
    for (const auto& kind : kinds) {
        ShapeBuilder s;
        Matrix m = Matrix::Transform(20, 40, 0, 100, -60);
        s.Rectangle(Rect{0, 400, 0, 200}, s.AddFill(FillStyle::Bitmap(0x1234, m, kind.repeat, kind.smooth)));
        Bytes body = s.DefineShapeBody(2, 3);
        BitReader r(body);
        r.ReadU16();
        unsigned n = r.ReadUB(5);
        for (int i = 0; i < 4; ++i) r.ReadSB(n);
        EXPECT_EQ(r.ReadU8(), 1);
        EXPECT_EQ(r.ReadU8(), kind.type);
        EXPECT_EQ(r.ReadU16(), 0x1234);
        r.Align();
        ASSERT_EQ(r.ReadUB(1), 1u);  // scale present, 16.16
        unsigned sb = r.ReadUB(5);
        EXPECT_EQ(r.ReadSB(sb), 20 << 16);
        EXPECT_EQ(r.ReadSB(sb), 40 << 16);
        EXPECT_EQ(r.ReadUB(1), 0u);  // no rotation
        unsigned tb = r.ReadUB(5);
        EXPECT_EQ(r.ReadSB(tb), 100);
        EXPECT_EQ(r.ReadSB(tb), -60);
        r.Align();
        EXPECT_EQ(r.ReadU8(), 0);  // no lines
        unsigned fb = r.ReadUB(4), lb = r.ReadUB(4);
        Outline o = ReadRecords(r, fb, lb);
        ASSERT_EQ(o.paths.size(), 1u);
        EXPECT_EQ(o.fill1, 1u);
    }
}

TEST(WriterFonts, BlockFontGlyphTable) {
    FontBuilder font = MakeBlockFont("Block", 1024);
    ASSERT_GE(font.size(), 26u + 26u + 10u + 1u);
    for (char c : std::string("AZaz09 .,!?")) EXPECT_GE(font.GlyphIndex(static_cast<unsigned char>(c)), 0) << c;
    EXPECT_EQ(font.GlyphIndex(0x263A), -1);

    Bytes body = font.DefineFontBody(3);
    BitReader r(body);
    EXPECT_EQ(r.ReadU16(), 3);
    EXPECT_EQ(r.ReadU8(), 0x84);  // layout, wide codes, narrow offsets
    EXPECT_EQ(r.ReadU8(), 1);
    std::uint8_t nameLength = r.ReadU8();
    EXPECT_EQ(nameLength, 5);
    for (int i = 0; i < nameLength; ++i) r.ReadU8();
    std::uint16_t glyphs = r.ReadU16();
    EXPECT_EQ(glyphs, font.size());
    std::size_t table = r.Position();
    std::vector<std::uint16_t> offsets;
    for (std::uint16_t i = 0; i <= glyphs; ++i) offsets.push_back(r.ReadU16());
    // Every glyph shape ends exactly where the next one starts.
    for (std::uint16_t i = 0; i < glyphs; ++i) {
        BitReader g = ReaderAt(body, table + offsets[i]);
        EXPECT_EQ(g.ReadUB(4), 1u);
        EXPECT_EQ(g.ReadUB(4), 0u);
        Outline o = ReadRecords(g, 1, 0);
        g.Align();
        EXPECT_EQ(g.Position(), table + offsets[i + 1]) << "glyph " << i;
        for (const auto& path : o.paths) EXPECT_EQ(path.front(), path.back());
        if (font.glyph(i).code == 'O') {
            EXPECT_EQ(o.paths.size(), 2u);  // outside and the hole
            EXPECT_EQ(o.fill1, 1u);
        }
    }
    BitReader codes = ReaderAt(body, table + offsets[glyphs]);
    for (std::uint16_t i = 0; i < glyphs; ++i) EXPECT_EQ(codes.ReadU16(), font.glyph(i).code);

    // Text: advances scale with the height; unknown characters are dropped.
    EXPECT_EQ(TextWidth(font, "AB", 1024), 2 * font.glyph(0).advance);
    EXPECT_EQ(TextWidth(font, "A\x01", 512), font.glyph(0).advance / 2);
}

TEST(WriterButtons, ConditionActionsFollowTheCharacters) {
    ActionAssembler release;
    release.ExternalInterfaceCall("close");
    Bytes code = release.Finish();
    Bytes body = DefineButton2Body(9, {ButtonRecord{kStateUp | kStateHitTest, 4, 1, {}, {}}},
                                   {ButtonAction{kOverDownToOverUp, code}, ButtonAction{kIdleToOverUp, {0x06}}});
    BitReader r(body);
    EXPECT_EQ(r.ReadU16(), 9);
    EXPECT_EQ(r.ReadU8(), 0);
    std::size_t offsetField = r.Position();
    std::uint16_t actionOffset = r.ReadU16();
    EXPECT_EQ(r.ReadU8(), kStateUp | kStateHitTest);
    EXPECT_EQ(r.ReadU16(), 4);
    EXPECT_EQ(r.ReadU16(), 1);
    std::size_t first = offsetField + actionOffset;
    std::uint16_t nextSize = static_cast<std::uint16_t>(body[first] | (body[first + 1] << 8));
    EXPECT_EQ(body[first + 2], 0x08);  // release
    EXPECT_EQ(body[first + 3], 0x00);
    EXPECT_EQ(Bytes(body.begin() + static_cast<std::ptrdiff_t>(first + 4),
                    body.begin() + static_cast<std::ptrdiff_t>(first + nextSize)),
              code);
    std::size_t second = first + nextSize;
    EXPECT_EQ(body[second], 0);  // last: size 0
    EXPECT_EQ(body[second + 1], 0);
    EXPECT_EQ(body[second + 2], 0x01);
    EXPECT_EQ(Bytes(body.begin() + static_cast<std::ptrdiff_t>(second + 4), body.end()), (Bytes{0x06, 0x00}));
}

namespace {

class NullTarget : public swf::ActionTarget {
public:
    void Play() override {}
    void Stop() override { ++stops; }
    void NextFrame() override {}
    void PrevFrame() override {}
    void GotoFrame(std::uint32_t) override {}
    bool GotoLabel(const std::string&) override { return false; }
    std::uint32_t CurrentFrame() const override { return 0; }
    std::uint32_t FrameCount() const override { return 1; }
    int stops = 0;
};

class RecordingHost : public swf::ActionHost {
public:
    void FSCommand(const std::string& c, const std::string& a) override { fscommands.push_back(c + " " + a); }
    std::string FlashCall(const std::string& request) override {
        requests.push_back(request);
        return "";
    }
    void GetURL(const std::string&, const std::string&) override {}
    std::vector<std::string> fscommands, requests;
};

const std::string kCloseRequest = "<invoke name=\"close\" returntype=\"xml\"><arguments></arguments></invoke>";

}  // namespace

TEST(Moviegen, DemoMovie) {
    Bytes demo = moviegen::BuildDemoMovie();
    EXPECT_EQ(demo, moviegen::BuildDemoMovie());  // deterministic
    Bytes plain = Plain(demo);
    EXPECT_EQ(demo[0], 'C');
    EXPECT_EQ(plain[3], 8);
    std::vector<Tag> tags = MovieTags(demo);
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ(tags.front().code, 69);  // FileAttributes first
    EXPECT_EQ(tags.back().code, 0);

    int sprites = 0, fonts = 0, buttons = 0, fields = 0, inputFields = 0, embeddedFields = 0, videos = 0;
    int exportedSprite = -1, initSprite = -1;
    for (const Tag& t : tags) {
        if (t.code == 39) ++sprites;
        if (t.code == 60) {  // DefineVideoStream: id, frames, width, height, flags, codec
            ++videos;
            ASSERT_EQ(t.body.size(), 10u);
            EXPECT_EQ(Bytes(t.body.begin() + 2, t.body.end()), (Bytes{0, 0, 0x90, 0x02, 0xF0, 0, 0x01, 6}));
        }
        if (t.code == 75) ++fonts;
        if (t.code == 34 || t.code == 7) ++buttons;
        if (t.code == 56) {  // ExportAssets: count, then (id, name) pairs
            ASSERT_GE(t.body.size(), 4u);
            EXPECT_EQ(t.body[0] | (t.body[1] << 8), 1);
            exportedSprite = t.body[2] | (t.body[3] << 8);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(t.body.data() + 4)), "GuideButton");
        }
        if (t.code == 59) initSprite = t.body[0] | (t.body[1] << 8);
        if (t.code == 37) {  // DefineEditText: id, bounds, then two bytes of flags
            ++fields;
            const std::size_t rectBytes = (5 + 4 * (t.body[2] >> 3) + 7) / 8;
            const std::uint8_t first = t.body[2 + rectBytes], second = t.body[3 + rectBytes];
            const bool readOnly = first & 0x08, border = second & 0x08, useOutlines = second & 0x01;
            if (!readOnly) {
                ++inputFields;
                EXPECT_TRUE(border);  // the search field shows its box
            }
            if (useOutlines) ++embeddedFields;
        }
    }
    EXPECT_EQ(sprites, 5);  // page holder, page card, animation, navigation button, recording page
    // The recording page's Video object: no frames of its own, 656 x 240,
    // smoothed, Screen Video 2.
    EXPECT_EQ(videos, 1);
    EXPECT_EQ(fonts, 1);
    // The navigation is clips of one exported symbol whose init actions
    // register its class, not button characters.
    EXPECT_EQ(buttons, 0);
    EXPECT_NE(exportedSprite, -1);
    EXPECT_EQ(initSprite, exportedSprite);
    // Guide title, page title, button label, counter, search label and field,
    // the recording's time read-out, the page's HTML body and its hidden
    // plain-text twin for the search: the guide title and the button label in
    // the embedded font, one input.
    EXPECT_EQ(fields, 9);
    EXPECT_EQ(embeddedFields, 2);
    EXPECT_EQ(inputFields, 1);
}

TEST(Moviegen, TestMovies) {
    auto frameScript = [](const Bytes& file) {
        for (const Tag& t : MovieTags(file))
            if (t.code == 12) return t.body;
        return Bytes{};
    };
    swf::actions::Vm vm;
    NullTarget target;
    RecordingHost host;
    Bytes flashcall = frameScript(moviegen::BuildFlashCallMovie());
    EXPECT_EQ(vm.Run(flashcall, target, host), swf::actions::RunStatus::Completed);
    Bytes fscommand = frameScript(moviegen::BuildFsCommandMovie());
    EXPECT_EQ(vm.Run(fscommand, target, host), swf::actions::RunStatus::Completed);
    EXPECT_EQ(host.requests, std::vector<std::string>{kCloseRequest});
    EXPECT_EQ(host.fscommands, std::vector<std::string>{"quit now"});
    EXPECT_EQ(target.stops, 2);

    Bytes solid = moviegen::BuildSolidMovie();
    EXPECT_EQ(solid[0], 'F');
    std::vector<Tag> tags = MovieTags(solid);
    ASSERT_GE(tags.size(), 3u);
    EXPECT_EQ(tags[1].code, 9);
    EXPECT_EQ(tags[1].body, (Bytes{255, 255, 255}));
    EXPECT_EQ(tags[2].code, 2);
    // After the id and the bounds: one solid red fill style.
    std::size_t rectBytes = (5 + 4 * (tags[2].body[2] >> 3) + 7) / 8;
    auto styles = tags[2].body.begin() + 2 + static_cast<std::ptrdiff_t>(rectBytes);
    EXPECT_EQ(Bytes(styles, styles + 5), (Bytes{1, 0x00, 255, 0, 0}));
}
