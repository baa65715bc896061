// Text fields in movies built with the writer: DefineEditText and the font
// tags read back, and fields and device-font static text drawn by the player.

#include <gtest/gtest.h>

#include <cmath>

#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/io/movie_parser.h"
#include "swf/model/edit_text.h"
#include "swf/model/font.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/movie.h"
#include "swf/writer/text.h"

namespace swf {
namespace {

namespace w = swf::writer;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A 400 x 300 px stage with a white background; the fields come first.
Bytes Movie(const std::function<void(w::TagStream&)>& define, int version = 8) {
    w::TagStream tags;
    tags.SetBackgroundColor(w::Rgb{255, 255, 255});
    define(tags);
    tags.ShowFrame();
    w::MovieHeader header;
    header.version = static_cast<std::uint8_t>(version);
    header.frameSize = {0, 8000, 0, 6000};
    return w::BuildMovie(header, tags);
}

void Place(w::TagStream& tags, std::uint16_t depth, std::uint16_t id) {
    w::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    tags.PlaceObject2(p);
}

void AddField(w::TagStream& tags, std::uint16_t id, const w::EditTextField& field, std::uint16_t depth) {
    tags.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(id, field));
    Place(tags, depth, id);
}

// A device-font field at 100..300 x 100..150 px.
w::EditTextField SansField(const std::string& text) {
    w::EditTextField f;
    f.bounds = {2000, 6000, 2000, 3000};
    f.fontClass = "_sans";
    f.fontHeight = 400;
    f.textColor = w::Rgba{0, 0, 0, 255};
    f.initialText = text;
    return f;
}

EditTextInstance* FieldAt(Player& player, std::uint16_t depth) {
    const auto& children = player.Root()->Children();
    const auto it = children.find(depth);
    if (it == children.end() || it->second->Kind() != DisplayKind::EditText) return nullptr;
    return static_cast<EditTextInstance*>(it->second.get());
}

std::vector<std::uint32_t> Pixels(const raster::Surface& s) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s.height(); ++y) out.insert(out.end(), s.row(y), s.row(y) + s.width());
    return out;
}

struct Ink {
    int inside = 0;
    int outside = 0;
};

// Pixels other than white inside and outside a box (pixels).
Ink CountInk(const raster::Surface& s, int x0, int y0, int x1, int y1) {
    Ink ink;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (s.pixel(x, y) == kWhite) continue;
            (x >= x0 && x < x1 && y >= y0 && y < y1 ? ink.inside : ink.outside)++;
        }
    }
    return ink;
}

TEST(EditText, DefinitionFieldsReadBack) {
    w::EditTextField f;
    f.bounds = {-40, 2000, 20, 400};
    f.wordWrap = f.multiline = f.password = f.readOnly = f.autoSize = f.noSelect = f.border = f.wasStatic = f.html =
        f.useOutlines = true;
    f.fontId = 7;
    f.fontHeight = 360;
    f.textColor = w::Rgba{1, 2, 3, 4};
    f.maxLength = 12;
    f.hasLayout = true;
    f.align = w::FieldAlign::Justify;
    f.leftMargin = 10;
    f.rightMargin = 20;
    f.indent = 30;
    f.leading = -40;
    f.variableName = "_root.v\xC3\xA9";
    f.initialText = "<b>hi</b>";
    const auto movie =
        ParseMovie(Movie([&](w::TagStream& t) { t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(3, f)); }));
    const auto* d = FindCharacter<EditTextDefinition>(movie->dictionary, 3);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->bounds, (Rect{-40, 2000, 20, 400}));
    EXPECT_TRUE(d->wordWrap && d->multiline && d->password && d->readOnly && d->autoSize && d->noSelect && d->border &&
                d->wasStatic && d->html && d->useOutlines);
    EXPECT_EQ(d->fontId, 7);
    EXPECT_EQ(d->fontHeight, 360);
    EXPECT_EQ(d->textColor, (Rgba{1, 2, 3, 4}));
    EXPECT_EQ(d->maxLength, 12);
    EXPECT_TRUE(d->hasLayout);
    EXPECT_EQ(d->align, TextAlign::Justify);
    EXPECT_EQ(d->leftMargin, 10);
    EXPECT_EQ(d->rightMargin, 20);
    EXPECT_EQ(d->indent, 30);
    EXPECT_EQ(d->leading, -40);
    EXPECT_EQ(d->variableName, "_root.v\xC3\xA9");
    EXPECT_EQ(d->initialText, "<b>hi</b>");

    // No flags: nothing optional is present; a font class carries a height too.
    w::EditTextField bare;
    bare.fontClass = "MyFont";
    bare.fontHeight = 100;
    // Before version 6 strings are Latin-1.
    bare.variableName = "caf\xE9";
    const auto old = ParseMovie(
        Movie([&](w::TagStream& t) { t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(4, bare)); }, 5));
    const auto* b = FindCharacter<EditTextDefinition>(old->dictionary, 4);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->fontId.has_value());
    EXPECT_EQ(b->fontClass, "MyFont");
    EXPECT_EQ(b->fontHeight, 100);
    EXPECT_FALSE(b->textColor || b->maxLength || b->initialText || b->hasLayout || b->border);
    EXPECT_EQ(b->variableName, "caf\xC3\xA9");

    // Cut short: the tag is skipped with a warning.
    Bytes body = w::DefineEditTextBody(5, f);
    body.resize(body.size() - 4);
    const auto cut = ParseMovie(Movie([&](w::TagStream& t) { t.Add(w::TagCode::DefineEditText, body); }));
    EXPECT_EQ(FindCharacter<EditTextDefinition>(cut->dictionary, 5), nullptr);
    EXPECT_EQ(cut->warnings.size(), 1u);
}

TEST(EditText, FontInfoNameKerningAndHintingTags) {
    // DefineFont: one glyph (an empty shape: 1 fill bit, end record), then its code from DefineFontInfo.
    const Bytes font = {9, 0, 2, 0, 0x10, 0x00};
    // id 9, name "Arial", flags: bold + wide codes, code 'A'.
    const Bytes info = {9, 0, 5, 'A', 'r', 'i', 'a', 'l', 0x03, 'A', 0};
    // DefineFontInfo2: italic, 8-bit codes, a language byte, code 0xE9.
    const Bytes info2 = {9, 0, 2, 'F', 'n', 0x04, 1, 0xE9};
    const Bytes name = {9, 0, 'N', 'a', 'm', 'e', 0, '(', 'c', ')', 0};
    const Bytes zones = {9, 0, 0x40};
    const Bytes csm = {9, 0, 0x48, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto read = [&](std::vector<std::pair<std::uint16_t, Bytes>> tags) {
        return ParseMovie(Movie([&](w::TagStream& t) {
            for (const auto& [code, body] : tags) t.Add(static_cast<w::TagCode>(code), body);
        }));
    };
    auto movie = read({{10, font}, {13, info}, {73, zones}, {74, csm}});
    const FontDefinition* f = FindCharacter<FontDefinition>(movie->dictionary, 9);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->name, "Arial");
    EXPECT_TRUE(f->bold);
    EXPECT_FALSE(f->italic);
    EXPECT_EQ(f->codes, (std::vector<std::uint16_t>{'A'}));
    EXPECT_EQ(f->GlyphIndex('A'), 0);
    EXPECT_TRUE(f->IsDeviceFont());
    EXPECT_TRUE(movie->warnings.empty());  // the hinting tags are read quietly

    movie = read({{10, font}, {62, info2}, {88, name}});
    f = FindCharacter<FontDefinition>(movie->dictionary, 9);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->name, "Name");
    EXPECT_EQ(f->copyright, "(c)");
    EXPECT_TRUE(f->italic);
    EXPECT_EQ(f->codes, (std::vector<std::uint16_t>{0xE9}));

    // Information for a font that is not there is dropped with a warning.
    movie = read({{13, info}});
    EXPECT_EQ(movie->warnings.size(), 1u);

    // DefineFont2 kerning pairs.
    w::FontBuilder block = w::MakeBlockFont("Block", 1024);
    block.AddKerning('A', 'V', -50);
    block.AddKerning('T', 'o', -80);
    movie = ParseMovie(Movie([&](w::TagStream& t) { t.Add(w::TagCode::DefineFont2, block.DefineFontBody(1)); }));
    f = FindCharacter<FontDefinition>(movie->dictionary, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Kerning('A', 'V'), -50);
    EXPECT_EQ(f->Kerning('T', 'o'), -80);
    EXPECT_EQ(f->Kerning('V', 'A'), 0);
    EXPECT_FALSE(f->IsDeviceFont());

    // A tag that ends before its kerning table keeps the font and its advances.
    Bytes cut = block.DefineFontBody(1);
    cut.resize(cut.size() - 8);
    movie = ParseMovie(Movie([&](w::TagStream& t) { t.Add(w::TagCode::DefineFont2, cut); }));
    f = FindCharacter<FontDefinition>(movie->dictionary, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->kerning.empty());
    EXPECT_EQ(f->advances.size(), block.size());
    EXPECT_TRUE(movie->warnings.empty());
}

class FieldRender : public testing::Test {
protected:
    fonts::FreeTypeFontProvider fonts_;
    raster::Surface surface_{400, 300};

    void Load(Player& player, const Bytes& movie, bool withFonts = true) {
        if (withFonts) player.SetFontProvider(&fonts_);
        ASSERT_TRUE(player.Load(movie)) << player.LoadError();
        player.Render(surface_);
    }
};

TEST_F(FieldRender, DeviceTextShowsInsideItsFieldOnly) {
    Player player;
    // Text wider than the field: what spills over is clipped.
    Load(player, Movie([](w::TagStream& t) { AddField(t, 1, SansField("HELLO WORLD, THIS LINE IS LONG"), 1); }));
    const Ink ink = CountInk(surface_, 100, 100, 300, 150);
    EXPECT_GT(ink.inside, 200);
    EXPECT_EQ(ink.outside, 0);
    // Text starts 2 px in: nothing in the gutter's first column.
    for (int y = 100; y < 150; ++y) EXPECT_EQ(surface_.pixel(100, y), kWhite);

    // Another field's box, drawn first where this text spills over, does not
    // let it show there.
    Player two;
    Load(two, Movie([](w::TagStream& t) {
             w::EditTextField beside = SansField("");
             beside.bounds = {6200, 7800, 1800, 3200};
             AddField(t, 1, beside, 1);
             AddField(t, 2, SansField("HELLO WORLD, THIS LINE IS LONG"), 2);
         }));
    EXPECT_EQ(CountInk(surface_, 100, 100, 300, 150).outside, 0);

    // Without a provider device text is not drawn.
    Player bare;
    Load(bare, Movie([](w::TagStream& t) { AddField(t, 1, SansField("HELLO"), 1); }), false);
    EXPECT_EQ(CountInk(surface_, 0, 0, 400, 300).inside, 0);
}

TEST_F(FieldRender, BorderAndBackground) {
    Player player;
    w::EditTextField f = SansField("");
    f.border = true;
    Load(player, Movie([&](w::TagStream& t) {
             t.SetBackgroundColor(w::Rgb{0, 0, 255});
             AddField(t, 1, f, 1);
         }));
    EXPECT_EQ(surface_.pixel(200, 125), kWhite);          // background inside
    EXPECT_EQ(surface_.pixel(50, 50), 0xFF0000FFu);       // stage outside
    const std::uint32_t edge = surface_.pixel(200, 100);  // the border's top line
    EXPECT_LT(edge & 0xFF, 0x80u);
    EXPECT_LT((edge >> 8) & 0xFF, 0x80u);

    // Colours set later replace black and white.
    EditTextInstance* field = FieldAt(player, 1);
    ASSERT_NE(field, nullptr);
    field->Model().SetBackgroundColor({0, 255, 0, 255});
    field->Model().SetBorderColor({255, 0, 0, 255});
    player.Render(surface_);
    EXPECT_EQ(surface_.pixel(200, 125), 0xFF00FF00u);
    EXPECT_GT((surface_.pixel(200, 100) >> 16) & 0xFF, 0x80u);
}

TEST_F(FieldRender, PasswordFieldsShowAsterisks) {
    Player secret;
    w::EditTextField f = SansField("kiwi");
    f.password = true;
    Load(secret, Movie([&](w::TagStream& t) { AddField(t, 1, f, 1); }));
    EditTextInstance* field = FieldAt(secret, 1);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Model().Text(), "kiwi");
    std::u32string shown;
    for (const auto& g : field->Model().Layout().lines.at(0).glyphs) shown.push_back(g.character);
    EXPECT_EQ(shown, U"****");
    const std::vector<std::uint32_t> masked = Pixels(surface_);
    EXPECT_GT(CountInk(surface_, 0, 0, 400, 300).inside, 0);

    // The same pixels as a plain field that holds the asterisks.
    Player plain;
    Load(plain, Movie([](w::TagStream& t) { AddField(t, 1, SansField("****"), 1); }));
    EXPECT_EQ(masked, Pixels(surface_));
}

TEST_F(FieldRender, DeviceFontStaticTextDraws) {
    // A font without outlines: its glyphs carry codes and advances only.
    w::FontBuilder font("_sans", 1024, 900, 200);
    for (const char c : std::string("HIT")) font.AddGlyph({static_cast<std::uint16_t>(c), {}, 700});
    w::TextLine line;
    line.text = "HIT";
    line.x = 2000;
    line.y = 3000;
    line.height = 600;
    line.color = w::Rgb{0, 0, 0};
    const Bytes movie = Movie([&](w::TagStream& t) {
        t.Add(w::TagCode::DefineFont2, font.DefineFontBody(1));
        t.Add(w::TagCode::DefineText, w::DefineTextBody(2, font, 1, {line}));
        Place(t, 1, 2);
    });
    Player player;
    Load(player, movie);
    // Capitals stand on the baseline at y = 150 px, about 22 px high, from x = 100 px.
    const Ink ink = CountInk(surface_, 100, 120, 170, 151);
    EXPECT_GT(ink.inside, 150);
    EXPECT_EQ(ink.outside, 0);

    Player bare;
    Load(bare, movie, false);
    EXPECT_EQ(CountInk(surface_, 0, 0, 400, 300).inside, 0);

    // DefineFont's empty glyph with its code from DefineFontInfo ("Arial", 'A').
    w::FontBuilder codes("Arial", 1024, 900, 200);
    codes.AddGlyph({'A', {}, 700});
    line.text = "AAA";
    const Bytes fromInfo = Movie([&](w::TagStream& t) {
        t.Add(w::TagCode::DefineFont, Bytes{9, 0, 2, 0, 0x10, 0x00});
        t.Add(static_cast<w::TagCode>(13), Bytes{9, 0, 5, 'A', 'r', 'i', 'a', 'l', 0x01, 'A', 0});
        t.Add(w::TagCode::DefineText, w::DefineTextBody(2, codes, 9, {line}));
        Place(t, 1, 2);
    });
    Player info;
    Load(info, fromInfo);
    const Ink infoInk = CountInk(surface_, 100, 120, 170, 151);
    EXPECT_GT(infoInk.inside, 150);
    EXPECT_EQ(infoInk.outside, 0);
}

TEST_F(FieldRender, EmbeddedFontFieldsUseTheFontsAdvancesWithoutAProvider) {
    const w::FontBuilder block = w::MakeBlockFont("Block", 1024);
    w::EditTextField f;
    f.bounds = {2000, 6000, 2000, 3000};
    f.fontId = 1;
    f.fontHeight = 400;
    f.useOutlines = true;
    f.initialText = "AB";
    Player player;
    Load(player, Movie([&](w::TagStream& t) {
             t.Add(w::TagCode::DefineFont2, block.DefineFontBody(1));
             AddField(t, 2, f, 1);
         }),
         false);
    EditTextInstance* field = FieldAt(player, 1);
    ASSERT_NE(field, nullptr);
    const auto& glyphs = field->Model().Layout().lines.at(0).glyphs;
    ASSERT_EQ(glyphs.size(), 2u);
    const double advance = block.glyph(static_cast<std::size_t>(block.GlyphIndex('A'))).advance * 400.0 / 1024;
    EXPECT_DOUBLE_EQ(glyphs[1].x - glyphs[0].x, advance);
    EXPECT_DOUBLE_EQ(glyphs[0].x, 2040);
    const Ink ink = CountInk(surface_, 100, 100, 300, 150);
    EXPECT_GT(ink.inside, 50);
    EXPECT_EQ(ink.outside, 0);
}

TEST_F(FieldRender, TextApiScrollAutoSizeAndVariables) {
    w::EditTextField f = SansField("one");
    f.bounds.yMax = 3200;  // 60 px: two lines of 23.3 px (DejaVu Sans at 20 px) show
    f.multiline = true;
    f.variableName = "v";
    w::EditTextField sized = SansField("HELLO");
    sized.autoSize = true;
    sized.bounds = {2000, 2100, 4000, 4100};
    Player player;
    Load(player, Movie([&](w::TagStream& t) {
             AddField(t, 1, f, 1);
             AddField(t, 2, sized, 2);
         }));
    EditTextInstance* field = FieldAt(player, 1);
    EditTextInstance* autoSized = FieldAt(player, 2);
    ASSERT_NE(field, nullptr);
    ASSERT_NE(autoSized, nullptr);

    // Auto-sized: the box is the text's size plus the 2-pixel gutters.
    const Rect box = autoSized->Model().Bounds();
    EXPECT_EQ(box.xMin, 2000);
    EXPECT_EQ(box.Width(), static_cast<int>(std::ceil(autoSized->Model().TextWidth() * 20 + 80)));
    EXPECT_EQ(box.Height(), static_cast<int>(std::ceil(autoSized->Model().TextHeight() * 20 + 80)));
    EXPECT_GT(autoSized->Model().TextWidth(), 40);

    // Ten lines in a box that shows two.
    field->Model().SetText("1\n2\r3\r\n4\r5\r6\r7\r8\r9\r10");
    EXPECT_EQ(field->Model().Text(), "1\r2\r3\r4\r5\r6\r7\r8\r9\r10");
    EXPECT_EQ(field->Model().Scroll(), 1);
    EXPECT_EQ(field->Model().BottomScroll(), 2);
    EXPECT_EQ(field->Model().MaxScroll(), 9);
    field->Model().SetScroll(100);
    EXPECT_EQ(field->Model().Scroll(), 9);
    EXPECT_EQ(field->Model().BottomScroll(), 10);
    field->Model().SetScroll(-3);
    EXPECT_EQ(field->Model().Scroll(), 1);
    EXPECT_EQ(field->Model().MaxHScroll(), 0);
    player.Render(surface_);
    const std::vector<std::uint32_t> top = Pixels(surface_);
    field->Model().SetScroll(5);
    player.Render(surface_);
    EXPECT_NE(top, Pixels(surface_));
    // Partly shown lines stay inside the box.
    for (int x = 0; x < 400; ++x) {
        for (int y = 0; y < 100; ++y) ASSERT_EQ(surface_.pixel(x, y), kWhite);
        for (int y = 160; y < 200; ++y) ASSERT_EQ(surface_.pixel(x, y), kWhite);
    }

    // HTML only where the field is HTML.
    field->Model().SetHtmlText("<b>x</b>");
    EXPECT_EQ(field->Model().Text(), "<b>x</b>");
    field->Model().SetHtml(true);
    field->Model().SetHtmlText("<b>x</b>&amp;y");
    EXPECT_EQ(field->Model().Text(), "x&y");
    EXPECT_TRUE(field->Model().Runs().front().format.bold);

    // A bound field shows its variable's text from the next frame on.
    EXPECT_EQ(field->VariableName(), "v");
    std::optional<std::string> value = "from the variable";
    field->SetVariableSource([&] { return value; });
    player.AdvanceFrame();
    EXPECT_EQ(field->Model().Text(), "from the variable");
    value.reset();  // unset: the text stays
    player.AdvanceFrame();
    EXPECT_EQ(field->Model().Text(), "from the variable");
}

}  // namespace
}  // namespace swf
