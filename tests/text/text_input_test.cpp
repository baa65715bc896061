// Input into text fields: the restrict syntax, focus and Tab order, the caret
// and selection under keys and the mouse, typing limits, password fields, the
// clipboard, variables bound both ways, and links. Fields use _typewriter
// (DejaVu Sans Mono: every advance 1233/2048 em, from the font's hmtx table).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/player/fields/clipboard.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/focus.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/text/character_restriction.h"
#include "swf/text/html_text.h"
#include "swf/text/word_boundaries.h"
#include "swf/writer/button.h"
#include "swf/writer/shape.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/movie.h"
#include "tools/moviegen/movies.h"

namespace swf {
namespace {

namespace w = swf::writer;
using Bytes = std::vector<std::uint8_t>;
using text::CharacterRestriction;

constexpr double kCell = 400.0 * 1233 / 2048 / 20;  // px per character at a 20 px font
constexpr double kTextLeft = 102;                   // a field at x = 100 px, 2 px gutter

TEST(CharacterRestriction, RangesNegationAndEscapes) {
    const CharacterRestriction digits(U"0-9");
    EXPECT_TRUE(digits.Allows('0') && digits.Allows('5') && digits.Allows('9'));
    EXPECT_FALSE(digits.Allows('a') || digits.Allows('-') || digits.Allows('/'));

    // Leading '^': everything but what follows.
    const CharacterRestriction noDigits(U"^0-9");
    EXPECT_TRUE(noDigits.Allows('a') && noDigits.Allows(U'\u00e9'));
    EXPECT_FALSE(noDigits.Allows('3'));

    // A later '^' takes exceptions out of a range; a second one puts them back.
    const CharacterRestriction letters(U"A-Z^QX-Z^Y");
    EXPECT_TRUE(letters.Allows('A') && letters.Allows('P') && letters.Allows('Y'));
    EXPECT_FALSE(letters.Allows('Q') || letters.Allows('X') || letters.Allows('Z'));

    // Escapes make '-', '^' and '\' plain characters; a dash at an end is itself.
    const CharacterRestriction escaped(U"\\-\\^\\\\a-");
    EXPECT_TRUE(escaped.Allows('-') && escaped.Allows('^') && escaped.Allows('\\') && escaped.Allows('a'));
    EXPECT_FALSE(escaped.Allows('b'));
    EXPECT_TRUE(CharacterRestriction(U"-a").Allows('-'));

    // Nothing allowed by an empty text; a swapped range still covers its span.
    EXPECT_FALSE(CharacterRestriction(U"").Allows('a'));
    EXPECT_TRUE(CharacterRestriction(U"z-a").Allows('m'));

    // A letter refused in its case goes in in the other one.
    EXPECT_EQ(CharacterRestriction(U"A-Z").Admit('q'), U'Q');
    EXPECT_EQ(CharacterRestriction(U"a-z").Admit('Q'), U'q');
    EXPECT_EQ(CharacterRestriction(U"0-9").Admit('q'), 0u);
}

class FakeClipboard : public Clipboard {
public:
    std::optional<std::string> text;
    std::optional<std::string> html;
    std::optional<std::string> GetText() override { return text; }
    void SetText(const std::string& value) override {
        text = value;
        html.reset();
    }
    void SetTextAndHtml(const std::string& value, const std::string& markup) override {
        text = value;
        html = markup;
    }
};

class RecordingHost : public ActionHost {
public:
    std::vector<std::string> urls;
    std::string lastCommand;
    void FSCommand(const std::string& command, const std::string& args) override { lastCommand = command + ":" + args; }
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string& url, const std::string& target) override { urls.push_back(url + "|" + target); }
};

// A field at 100..300 x (y..y+50) px.
w::EditTextField Field(int y, const std::string& text = "") {
    w::EditTextField f;
    f.bounds = {2000, 6000, y * 20, (y + 50) * 20};
    f.fontClass = "_typewriter";
    f.fontHeight = 400;
    f.textColor = w::Rgba{0, 0, 0, 255};
    f.initialText = text;
    return f;
}

struct MovieSetup {
    std::vector<w::EditTextField> fields;
    Bytes script;         // the first frame's actions
    bool button = false;  // a button "btn" at 300..380 x 200..250 px, above the fields
};

// Fields at depths 1, 2, ... as listed; a 400 x 300 px stage.
Bytes Movie(const MovieSetup& setup) {
    w::TagStream tags;
    tags.SetBackgroundColor(w::Rgb{255, 255, 255});
    std::uint16_t id = 1;
    for (const w::EditTextField& f : setup.fields) {
        tags.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(id, f));
        w::PlaceObject p;
        p.depth = id;
        p.characterId = id;
        tags.PlaceObject2(p);
        ++id;
    }
    if (setup.button) {
        w::ShapeBuilder shape;
        shape.Rectangle({6000, 7600, 4000, 5000}, shape.AddFill(w::FillStyle::Solid(w::Rgba{0, 0, 255, 255})));
        tags.Add(w::TagCode::DefineShape3, shape.DefineShapeBody(id, 3));
        w::ButtonRecord record;
        record.states = w::kStateUp | w::kStateOver | w::kStateDown | w::kStateHitTest;
        record.characterId = id;
        tags.Add(w::TagCode::DefineButton2, w::DefineButton2Body(id + 1, {record}, {}));
        w::PlaceObject p;
        p.depth = id + 1;
        p.characterId = id + 1;
        p.name = "btn";
        tags.PlaceObject2(p);
    }
    if (!setup.script.empty()) tags.DoAction(setup.script);
    tags.ShowFrame();
    tags.ShowFrame();
    w::MovieHeader header;
    header.version = 8;
    header.frameSize = {0, 8000, 0, 6000};
    return w::BuildMovie(header, tags);
}

class TextInput : public testing::Test {
protected:
    fonts::FreeTypeFontProvider fonts_;
    raster::Surface surface_{400, 300};
    FakeClipboard clipboard_;
    RecordingHost host_;
    Player player_;

    void Load(const MovieSetup& setup) {
        player_.SetFontProvider(&fonts_);
        player_.SetClipboard(&clipboard_);
        player_.SetHost(&host_);
        ASSERT_TRUE(player_.Load(Movie(setup))) << player_.LoadError();
        player_.Render(surface_);  // also sets the viewport: 1 px per 20 twips
    }
    EditTextInstance& FieldAt(std::uint16_t depth) {
        const auto& children = player_.Root()->Children();
        const auto it = children.find(depth);
        EXPECT_TRUE(it != children.end() && it->second->Kind() == DisplayKind::EditText);
        return static_cast<EditTextInstance&>(*it->second);
    }
    void Type(const std::u32string& s) {
        for (const char32_t c : s) player_.TextInput(c);
    }
    bool Key(int code, bool shift = false, bool control = false) { return player_.TextKeyDown(code, shift, control); }
    void Click(double x, double y) {
        player_.PointerMove(x, y);
        player_.PointerDown(x, y);
        player_.PointerUp(x, y);
    }
};

TEST_F(TextInput, TabOrderAndClickFocus) {
    w::EditTextField dynamic = Field(60, "read only");
    dynamic.readOnly = true;
    w::EditTextField unselectable = Field(240, "no select");
    unselectable.readOnly = true;
    unselectable.noSelect = true;
    Load({{Field(0), dynamic, Field(120), Field(180), unselectable}, {}});
    EditTextInstance& a = FieldAt(1);
    EditTextInstance& ro = FieldAt(2);
    EditTextInstance& b = FieldAt(3);
    EditTextInstance& c = FieldAt(4);
    EXPECT_FALSE(player_.HasTextFocus());

    // Input fields in display-list order, wrapping round; dynamic fields are skipped.
    EXPECT_TRUE(Key(keys::kTab));
    EXPECT_TRUE(a.Session().Focused());
    Key(keys::kTab);
    EXPECT_TRUE(b.Session().Focused());
    EXPECT_FALSE(a.Session().Focused());
    Key(keys::kTab);
    Key(keys::kTab);
    EXPECT_TRUE(a.Session().Focused());
    Key(keys::kTab, true);
    EXPECT_TRUE(c.Session().Focused());

    // Tab indices, once any field has one, decide the order alone.
    c.SetTabIndex(1);
    a.SetTabIndex(2);
    ro.SetTabIndex(3);
    Key(keys::kTab);
    EXPECT_TRUE(a.Session().Focused());
    Key(keys::kTab);
    EXPECT_TRUE(ro.Session().Focused());
    Key(keys::kTab);
    EXPECT_TRUE(c.Session().Focused());

    // A click focuses a selectable field; an unselectable one or the empty
    // stage takes the focus away.
    Click(150, 140);
    EXPECT_TRUE(b.Session().Focused());
    Click(150, 80);
    EXPECT_TRUE(ro.Session().Focused());
    Click(150, 260);
    EXPECT_FALSE(player_.HasTextFocus());
    Click(150, 140);
    Click(350, 20);
    EXPECT_FALSE(player_.HasTextFocus());
}

TEST_F(TextInput, TypingCaretAndSelection) {
    Load({{Field(0)}, {}});
    EditTextInstance& field = FieldAt(1);
    // Keys and characters go nowhere without a focused field.
    EXPECT_FALSE(player_.TextInput('x'));
    EXPECT_FALSE(Key(keys::kLeft));
    Click(150, 20);
    Type(U"hello world");
    EXPECT_EQ(field.Model().Text(), "hello world");
    EXPECT_EQ(field.Session().Caret(), 11u);

    // Left, then shift+left three times: "orl" selected, from its end backwards.
    Key(keys::kLeft);
    Key(keys::kLeft, true);
    Key(keys::kLeft, true);
    Key(keys::kLeft, true);
    EXPECT_EQ(field.Session().SelectionBegin(), 7u);
    EXPECT_EQ(field.Session().SelectionEnd(), 10u);
    Type(U"X");
    EXPECT_EQ(field.Model().Text(), "hello wXd");
    Key(keys::kBackspace);
    Key(keys::kBackspace);
    EXPECT_EQ(field.Model().Text(), "hello d");
    Key(keys::kHome);
    EXPECT_EQ(field.Session().Caret(), 0u);
    Key(keys::kDelete);
    EXPECT_EQ(field.Model().Text(), "ello d");
    Key(keys::kEnd, true);
    EXPECT_EQ(field.Session().SelectionBegin(), 0u);
    EXPECT_EQ(field.Session().SelectionEnd(), 6u);
    // Without shift an arrow collapses the selection to its near end.
    Key(keys::kLeft);
    EXPECT_EQ(field.Session().Caret(), 0u);
    EXPECT_EQ(field.Session().SelectionEnd(), 0u);
    Key(keys::kA, false, true);
    EXPECT_EQ(field.Session().SelectionEnd() - field.Session().SelectionBegin(), 6u);
    Key(keys::kBackspace);
    EXPECT_EQ(field.Model().Text(), "");
    EXPECT_FALSE(field.Session().UserDelete(false));  // nothing left to delete

    // Enter: ignored by a single-line field, a new paragraph in a multiline one.
    Type(U"ab");
    Key(keys::kEnter);
    EXPECT_EQ(field.Model().Text(), "ab");
    field.Model().SetMultiline(true);
    Key(keys::kEnter);
    Type(U"cd");
    EXPECT_EQ(field.Model().Text(), "ab\rcd");
    Key(keys::kUp);
    EXPECT_EQ(field.Session().Caret(), 2u);  // the same column on the line above
    Key(keys::kDown);
    EXPECT_EQ(field.Session().Caret(), 5u);
    Key(keys::kHome);
    EXPECT_EQ(field.Session().Caret(), 3u);  // the start of the second line
    // Control characters typed as characters (Ctrl+A, backspace) add nothing.
    EXPECT_FALSE(player_.TextInput(U'\x01'));
    player_.TextInput(U'\b');
    EXPECT_EQ(field.Model().Text(), "ab\rcd");

    // Clicks and drags place the caret between characters.
    field.Model().SetText("abcdefgh");
    Click(kTextLeft + 3 * kCell + 2, 20);
    EXPECT_EQ(field.Session().Caret(), 3u);
    Click(kTextLeft + 5 * kCell - 2, 20);
    EXPECT_EQ(field.Session().Caret(), 5u);
    player_.PointerDown(kTextLeft + 1 * kCell, 20);
    player_.PointerMove(kTextLeft + 4 * kCell, 20);
    player_.PointerUp(kTextLeft + 4 * kCell, 20);
    EXPECT_EQ(field.Session().Anchor(), 1u);
    EXPECT_EQ(field.Session().Caret(), 4u);
    // Past the end of the text: the end.
    Click(290, 20);
    EXPECT_EQ(field.Session().Caret(), 8u);
}

TEST_F(TextInput, RestrictMaxCharsAndDynamicFields) {
    w::EditTextField limited = Field(0);
    limited.maxLength = 5;
    w::EditTextField dynamic = Field(60, "fixed text");
    dynamic.readOnly = true;
    Load({{limited, dynamic}, {}});
    EditTextInstance& field = FieldAt(1);
    field.Session().SetRestrict("a-z0-9");
    Key(keys::kTab);
    Type(U"a-B c9!xyz");
    // '-', ' ' and '!' refused, 'B' taken as 'b', then no room after five.
    EXPECT_EQ(field.Model().Text(), "abc9x");
    // A paste is cut to the room left in place of the selection.
    clipboard_.text = "12345678";
    field.Session().SetSelection(1, 3);
    Key(keys::kV, false, true);
    EXPECT_EQ(field.Model().Text(), "a129x");
    // Line breaks never get into a single-line field.
    field.Model().SetText("");
    clipboard_.text = "1\r\n2";
    Key(keys::kV, false, true);
    EXPECT_EQ(field.Model().Text(), "12");

    // A dynamic field can be selected and copied but not changed.
    EditTextInstance& fixed = FieldAt(2);
    Click(kTextLeft + 0.2 * kCell, 80);
    EXPECT_TRUE(fixed.Session().Focused());
    Type(U"zz");
    Key(keys::kBackspace);
    Key(keys::kEnd, true);
    Key(keys::kX, false, true);
    EXPECT_EQ(fixed.Model().Text(), "fixed text");
    EXPECT_EQ(clipboard_.text, "fixed text");
    Key(keys::kV, false, true);
    EXPECT_EQ(fixed.Model().Text(), "fixed text");
}

TEST_F(TextInput, ClipboardAndPassword) {
    w::EditTextField multi = Field(0);
    multi.multiline = true;
    w::EditTextField secret = Field(60);
    secret.password = true;
    Load({{multi, secret}, {}});
    EditTextInstance& field = FieldAt(1);
    Key(keys::kTab);
    Type(U"one");
    field.Model().SetMultiline(true);
    Key(keys::kEnter);
    Type(U"two");
    // Copy: paragraph ends go out as CR LF; cut removes; paste puts back.
    Key(keys::kA, false, true);
    Key(keys::kC, false, true);
    EXPECT_EQ(clipboard_.text, "one\r\ntwo");
    EXPECT_EQ(field.Model().Text(), "one\rtwo");
    field.Session().SetSelection(0, 4);
    Key(keys::kX, false, true);
    EXPECT_EQ(clipboard_.text, "one\r\n");
    EXPECT_EQ(field.Model().Text(), "two");
    Key(keys::kEnd, false, true);
    Key(keys::kV, false, true);
    EXPECT_EQ(field.Model().Text(), "twoone\r");
    clipboard_.text = "caf\xC3\xA9";
    Key(keys::kV, false, true);
    EXPECT_EQ(field.Model().Text(), "twoone\rcaf\xC3\xA9");
    clipboard_.text.reset();  // an empty clipboard pastes nothing
    Key(keys::kV, false, true);
    EXPECT_EQ(field.Model().Length(), 11u);

    // A password field keeps what is typed, shows asterisks, and gives nothing to copy.
    EditTextInstance& password = FieldAt(2);
    Key(keys::kTab);
    EXPECT_TRUE(password.Session().Focused());
    Type(U"pw1");
    EXPECT_EQ(password.Model().Text(), "pw1");
    std::u32string shown;
    for (const auto& line : password.Model().Layout().lines) {
        for (const auto& g : line.glyphs) shown.push_back(g.character);
    }
    EXPECT_EQ(shown, U"***");
    clipboard_.text = "before";
    Key(keys::kA, false, true);
    Key(keys::kC, false, true);
    Key(keys::kX, false, true);
    EXPECT_EQ(clipboard_.text, "before");
    EXPECT_EQ(password.Model().Text(), "pw1");
}

TEST_F(TextInput, CaretAndSelectionAreDrawn) {
    Load({{Field(0, "abc")}, {}});
    player_.Render(surface_);
    const std::uint32_t white = 0xFFFFFFFFu;
    // Unfocused: nothing at the caret's place after the text.
    const int caretX = static_cast<int>(kTextLeft + 3 * kCell);
    for (int x = caretX; x < caretX + 3; ++x) EXPECT_EQ(surface_.pixel(x, 12), white);
    Click(kTextLeft + 3 * kCell + 1, 20);
    player_.Render(surface_);
    int dark = 0;
    for (int x = caretX - 1; x < caretX + 3; ++x) dark += surface_.pixel(x, 12) != white;
    EXPECT_GT(dark, 0);
    // A selection is a dark band over the selected characters.
    Key(keys::kA, false, true);
    player_.Render(surface_);
    int band = 0;
    for (int x = 103; x < static_cast<int>(kTextLeft + 3 * kCell) - 1; ++x) band += surface_.pixel(x, 4) == 0xFF000000u;
    EXPECT_GT(band, static_cast<int>(2 * kCell));
}

TEST(WordBoundaries, WordsAreLettersAndDigitsOrRunsOfOtherMarks) {
    //                         0123456789012345
    const std::u32string text = U"foo  bar.baz\rqux";
    // Forward: past the rest of the word, then past the spaces after it.
    std::vector<std::size_t> next;
    for (std::size_t i : {0, 1, 5, 8, 9, 13, 16, 99}) next.push_back(text::NextWordStart(text, i));
    EXPECT_EQ(next, (std::vector<std::size_t>{5, 5, 8, 9, 13, 16, 16, 16}));
    // Backward: past the spaces before, then to the start of that word.
    std::vector<std::size_t> previous;
    for (std::size_t i : {16, 15, 13, 9, 8, 5, 2, 0, 99}) previous.push_back(text::PreviousWordStart(text, i));
    EXPECT_EQ(previous, (std::vector<std::size_t>{13, 13, 9, 8, 5, 0, 0, 0, 13}));

    auto word = [](const std::u32string& s, std::size_t i) {
        const text::Span span = text::WordAt(s, i);
        return std::make_pair(span.begin, span.end);
    };
    EXPECT_EQ(word(text, 6), std::make_pair(std::size_t{5}, std::size_t{8}));
    EXPECT_EQ(word(text, 3), std::make_pair(std::size_t{3}, std::size_t{5}));     // the spaces themselves
    EXPECT_EQ(word(text, 8), std::make_pair(std::size_t{8}, std::size_t{9}));     // the lone full stop
    EXPECT_EQ(word(text, 16), std::make_pair(std::size_t{13}, std::size_t{16}));  // at the end: the last word
    EXPECT_EQ(word(U"", 0), std::make_pair(std::size_t{0}, std::size_t{0}));
    // Accented letters belong to their words.
    EXPECT_EQ(word(U"caf\u00e9 d\u00e9j\u00e0", 1), std::make_pair(std::size_t{0}, std::size_t{4}));
    EXPECT_EQ(text::NextWordStart(U"caf\u00e9 d\u00e9j\u00e0", 0), 5u);
}

TEST_F(TextInput, WordMovesWordDeletesAndMultipleClicks) {
    w::EditTextField multi = Field(60, "ab cd\rgh");
    multi.multiline = true;
    w::EditTextField secret = Field(120);
    secret.password = true;
    w::EditTextField fixed = Field(180, "fixed text");
    fixed.readOnly = true;
    Load({{Field(0), multi, secret, fixed}, {}});
    EditTextInstance& field = FieldAt(1);
    Click(150, 20);
    Type(U"hello big world");
    // Ctrl+arrows go from word start to word start; with shift they select.
    Key(keys::kLeft, false, true);
    EXPECT_EQ(field.Session().Caret(), 10u);
    Key(keys::kLeft, false, true);
    EXPECT_EQ(field.Session().Caret(), 6u);
    Key(keys::kLeft, true, true);
    EXPECT_EQ(field.Session().Anchor(), 6u);
    EXPECT_EQ(field.Session().Caret(), 0u);
    Key(keys::kRight, false, true);
    EXPECT_EQ(field.Session().SelectionBegin(), 6u);
    EXPECT_EQ(field.Session().SelectionEnd(), 6u);
    Key(keys::kRight, true, true);
    EXPECT_EQ(field.Session().Anchor(), 6u);
    EXPECT_EQ(field.Session().Caret(), 10u);
    // Ctrl+Backspace takes a selection as it is, else the word before the caret.
    Key(keys::kBackspace, false, true);
    EXPECT_EQ(field.Model().Text(), "hello world");
    EXPECT_EQ(field.Session().Caret(), 6u);
    Key(keys::kBackspace, false, true);
    EXPECT_EQ(field.Model().Text(), "world");
    Key(keys::kDelete, false, true);
    EXPECT_EQ(field.Model().Text(), "");

    // A double click selects the word under the pointer, a third click its line.
    field.Model().SetText("abc defgh ij");
    player_.PointerDown(kTextLeft + 5.5 * kCell, 20, 2);
    player_.PointerUp(kTextLeft + 5.5 * kCell, 20);
    EXPECT_EQ(field.Session().SelectionBegin(), 4u);
    EXPECT_EQ(field.Session().SelectionEnd(), 9u);
    EditTextInstance& lines = FieldAt(2);
    for (int clicks = 1; clicks <= 3; ++clicks) {
        player_.PointerDown(kTextLeft + 1.5 * kCell, 70, clicks);
        player_.PointerUp(kTextLeft + 1.5 * kCell, 70);
    }
    EXPECT_TRUE(lines.Session().Focused());
    EXPECT_EQ(lines.Session().SelectionBegin(), 0u);
    EXPECT_EQ(lines.Session().SelectionEnd(), 5u);

    // A password is one word: word moves go to its ends and show nothing of it.
    EditTextInstance& password = FieldAt(3);
    Click(150, 140);
    Type(U"ab cd");
    Key(keys::kLeft, false, true);
    EXPECT_EQ(password.Session().Caret(), 0u);
    Key(keys::kRight, false, true);
    EXPECT_EQ(password.Session().Caret(), 5u);
    Key(keys::kBackspace, false, true);
    EXPECT_EQ(password.Model().Text(), "");

    // A dynamic field moves by words but keeps its text.
    EditTextInstance& dynamic = FieldAt(4);
    Click(kTextLeft + 10.5 * kCell, 200);
    Key(keys::kLeft, false, true);
    EXPECT_EQ(dynamic.Session().Caret(), 6u);
    Key(keys::kBackspace, false, true);
    Key(keys::kDelete, false, true);
    EXPECT_EQ(dynamic.Model().Text(), "fixed text");
}

TEST_F(TextInput, CursorShowsWhatThePointerIsOver) {
    w::EditTextField selectable = Field(60, "selectable");
    selectable.readOnly = true;
    w::EditTextField plain = Field(120, "plain");
    plain.readOnly = true;
    plain.noSelect = true;
    w::EditTextField links = Field(180, "<a href=\"http://example.com/\">link</a> text");
    links.html = true;
    links.readOnly = true;
    links.noSelect = true;
    MovieSetup setup{{Field(0), selectable, plain, links}, {}, true};
    Load(setup);
    auto cursorAt = [&](double x, double y) {
        player_.PointerMove(x, y);
        return player_.Cursor();
    };
    EXPECT_EQ(cursorAt(150, 20), PointerCursor::IBeam);                       // input
    EXPECT_EQ(cursorAt(150, 80), PointerCursor::IBeam);                       // dynamic but selectable
    EXPECT_EQ(cursorAt(150, 140), PointerCursor::Arrow);                      // neither
    EXPECT_EQ(cursorAt(kTextLeft + 1.5 * kCell, 200), PointerCursor::Hand);   // a link
    EXPECT_EQ(cursorAt(kTextLeft + 6.5 * kCell, 200), PointerCursor::Arrow);  // beside it
    EXPECT_EQ(cursorAt(340, 225), PointerCursor::Hand);                       // a button
    EXPECT_EQ(cursorAt(390, 290), PointerCursor::Arrow);                      // the empty stage
}

TEST_F(TextInput, ButtonsWithoutTheHandShowTheArrow) {
    w::ActionAssembler script;
    script.PushString("btn").Action(w::ActionCode::GetVariable).PushString("useHandCursor").PushBool(false);
    script.Action(w::ActionCode::SetMember).Action(w::ActionCode::Stop);
    MovieSetup setup{{}, script.Finish(), true};
    Load(setup);
    player_.PointerMove(340, 225);
    EXPECT_EQ(player_.Cursor(), PointerCursor::Arrow);
    EXPECT_TRUE(player_.PointerOverButton());  // still a button: it still takes presses
}

TEST_F(TextInput, CaretBlinksAndOnlyItsRectangleIsRedrawn) {
    Load({{Field(0, "abc"), Field(60)}, {}});
    constexpr double kBlink = 500;
    player_.SetCaretBlinkTime(kBlink);
    // Nothing blinks without a focused input field.
    EXPECT_FALSE(player_.UpdateCaretBlink(0));
    EXPECT_LT(player_.MillisecondsToCaretBlink(), 0);
    Click(kTextLeft + 3 * kCell + 1, 20);
    EditTextInstance& field = FieldAt(1);
    player_.UpdateCaretBlink(1000);
    EXPECT_TRUE(field.Session().CaretShown());
    EXPECT_DOUBLE_EQ(player_.MillisecondsToCaretBlink(), kBlink);
    player_.RenderChanges(surface_);
    // Half-way through the interval: no change; after it, hidden; after two, shown.
    EXPECT_FALSE(player_.UpdateCaretBlink(1250));
    EXPECT_DOUBLE_EQ(player_.MillisecondsToCaretBlink(), 250);
    EXPECT_TRUE(player_.UpdateCaretBlink(1500));
    EXPECT_FALSE(field.Session().CaretShown());
    const std::vector<raster::PixelRect> hidden = player_.RenderChanges(surface_);
    // Only the caret's place changed: a narrow column at its x, a line high.
    ASSERT_EQ(hidden.size(), 1u);
    const int caretX = static_cast<int>(kTextLeft + 3 * kCell);
    EXPECT_LE(hidden[0].left, caretX);
    EXPECT_GE(hidden[0].right, caretX + 1);
    EXPECT_LE(hidden[0].width(), 6);
    EXPECT_LE(hidden[0].bottom - hidden[0].top, 32);
    EXPECT_EQ(surface_.pixel(caretX, 12), 0xFFFFFFFFu);
    EXPECT_TRUE(player_.UpdateCaretBlink(2000));
    EXPECT_EQ(player_.RenderChanges(surface_).size(), 1u);
    // Typing shows the caret at once and starts the interval again.
    EXPECT_TRUE(player_.UpdateCaretBlink(2600));
    EXPECT_FALSE(field.Session().CaretShown());
    Type(U"d");
    EXPECT_TRUE(player_.UpdateCaretBlink(2700));
    EXPECT_TRUE(field.Session().CaretShown());
    EXPECT_DOUBLE_EQ(player_.MillisecondsToCaretBlink(), kBlink);
    // So does moving the focus; a blink time of 0 keeps the caret shown.
    EXPECT_TRUE(player_.UpdateCaretBlink(3200));
    Key(keys::kTab);
    player_.UpdateCaretBlink(3300);
    EXPECT_TRUE(FieldAt(2).Session().CaretShown());
    player_.SetCaretBlinkTime(0);
    EXPECT_FALSE(player_.UpdateCaretBlink(9999));
    EXPECT_TRUE(FieldAt(2).Session().CaretShown());
    EXPECT_LT(player_.MillisecondsToCaretBlink(), 0);
}

TEST_F(TextInput, CopyFromAnHtmlFieldGivesItsMarkupToo) {
    w::EditTextField rich = Field(0, "<b>bold</b> plain");
    rich.html = true;
    rich.readOnly = true;
    Load({{rich, Field(60)}, {}});
    Click(kTextLeft + 0.2 * kCell, 20);
    FieldAt(1).Session().SetSelection(2, 7);
    Key(keys::kC, false, true);
    EXPECT_EQ(clipboard_.text, "ld pl");
    ASSERT_TRUE(clipboard_.html.has_value());
    // The markup reads back as the same characters in the same styles.
    const text::FormattedText runs = text::ParseHtmlText(*clipboard_.html, text::TextFormat{});
    EXPECT_EQ(text::PlainText(runs), U"ld pl");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0].format.bold);
    EXPECT_EQ(runs[0].text, U"ld");
    EXPECT_FALSE(runs[1].format.bold);

    // A plain field copies text alone.
    Click(150, 80);
    Type(U"<b>x</b>");
    Key(keys::kA, false, true);
    Key(keys::kC, false, true);
    EXPECT_EQ(clipboard_.text, "<b>x</b>");
    EXPECT_FALSE(clipboard_.html.has_value());
}

// Writes a variable from the first frame's script, and stops there.
Bytes SetVariable(const std::string& name, const std::string& value) {
    w::ActionAssembler a;
    a.PushString(name).PushString(value).Action(w::ActionCode::SetVariable).Action(w::ActionCode::Stop);
    return a.Finish();
}

TEST_F(TextInput, VariableBindingBothWays) {
    w::EditTextField input = Field(0);
    input.variableName = "entry";
    w::EditTextField echo = Field(60);
    echo.readOnly = true;
    echo.variableName = "_root.entry";
    Load({{input, echo}, SetVariable("entry", "start")});
    EditTextInstance& field = FieldAt(1);
    EditTextInstance& mirror = FieldAt(2);
    player_.AdvanceFrame();
    EXPECT_EQ(field.Model().Text(), "start");
    EXPECT_EQ(mirror.Model().Text(), "start");
    // What the user types reaches the variable, and through it the other field.
    Key(keys::kTab);
    Key(keys::kEnd);
    Type(U"ed");
    EXPECT_EQ(field.Model().Text(), "started");
    player_.AdvanceFrame();
    EXPECT_EQ(mirror.Model().Text(), "started");
    EXPECT_EQ(field.Session().Caret(), 7u);  // the refresh did not reset the field
}

TEST_F(TextInput, LinksCallScriptsOrTheHost) {
    w::EditTextField links = Field(0,
                                   "<a href=\"asfunction:show,7\">AAAA</a> <a href=\"http://example.com/\" "
                                   "target=\"_blank\">BBBB</a> CC");
    links.html = true;
    links.readOnly = true;
    w::EditTextField out = Field(60);
    out.readOnly = true;
    out.variableName = "got";
    // function show(arg) { got = arg; }
    w::ActionAssembler body;
    body.PushString("got").PushString("arg").Action(w::ActionCode::GetVariable).Action(w::ActionCode::SetVariable);
    w::ActionAssembler script;
    script.DefineFunction("show", {"arg"}, body).Action(w::ActionCode::Stop);
    Load({{links, out}, script.Finish()});
    const double y = 20;
    player_.PointerMove(kTextLeft + 1.5 * kCell, y);
    EXPECT_TRUE(player_.PointerOverLink());
    player_.PointerMove(kTextLeft + 11.5 * kCell, y);  // "CC"
    EXPECT_FALSE(player_.PointerOverLink());

    Click(kTextLeft + 1.5 * kCell, y);
    player_.AdvanceFrame();
    EXPECT_EQ(FieldAt(2).Model().Text(), "7");
    EXPECT_TRUE(host_.urls.empty());
    Click(kTextLeft + 6.5 * kCell, y);
    EXPECT_EQ(host_.urls, std::vector<std::string>{"http://example.com/|_blank"});
    // A press that ends off the link follows nothing.
    player_.PointerDown(kTextLeft + 6.5 * kCell, y);
    player_.PointerUp(kTextLeft + 11.5 * kCell, y);
    EXPECT_EQ(host_.urls.size(), 1u);
    // Nor does rendering or advancing ever open one.
    player_.Render(surface_);
    player_.AdvanceFrame();
    EXPECT_EQ(host_.urls.size(), 1u);
}

// The movie the control's test types into under Wine, played here the same way.
TEST_F(TextInput, TextInputMovieReportsWhatIsTyped) {
    player_.SetFontProvider(&fonts_);
    player_.SetClipboard(&clipboard_);
    player_.SetHost(&host_);
    ASSERT_TRUE(player_.Load(moviegen::BuildTextInputMovie())) << player_.LoadError();
    raster::Surface surface(400, 200);
    player_.Render(surface);
    for (int i = 0; i < 3; ++i) player_.AdvanceFrame();
    EXPECT_EQ(host_.lastCommand, "state:|");
    Click(100, 75);
    Type(U"Hi");
    Key(keys::kTab);
    Type(U"x");
    for (int i = 0; i < 3; ++i) player_.AdvanceFrame();
    EXPECT_EQ(host_.lastCommand, "state:Hi|x");
    EXPECT_EQ(FieldAt(1).Model().Text(), "Typed: Hi");
}

}  // namespace
}  // namespace swf
