// Text fields as script objects: members, TextFormat ranges, createTextField
// and the bound variable, in movies whose frame scripts trace what they see.

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <memory>
#include <string>
#include <vector>

#include "tests/actions/script.h"
#include "swf/actions/vm.h"
#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/io/movie_parser.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/fields/field_binding.h"
#include "swf/player/fields/focus.h"
#include "swf/player/fields/focus_selection.h"
#include "swf/player/stage.h"
#include "swf/player/fields/text_extent.h"
#include "swf/player/scripting/vm_action_runner.h"
#include "swf/writer/button.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/shape.h"
#include "swf/writer/movie.h"

namespace swf {
namespace {

namespace w = swf::writer;
using namespace actions_test;
using actions_test::ActionAssembler;

constexpr std::uint8_t kInstanceOf = 0x54;

// A dynamic field "tf" at (10, 20) px: DejaVu Sans (_sans) at 20 px, a box of
// 200 x 60 px, bound to "v", showing "hello" in 0x336699.
w::EditTextField HelloField() {
    w::EditTextField f;
    f.bounds = {0, 4000, 0, 1200};
    f.fontClass = "_sans";
    f.fontHeight = 400;
    f.textColor = w::Rgba{0x33, 0x66, 0x99, 255};
    f.readOnly = true;
    f.variableName = "v";
    f.initialText = "hello";
    return f;
}

// Binds every field and raises its events as the player does.
struct Binder : FieldRegistry {
    VmActionRunner* runner = nullptr;
    Stage* stage = nullptr;
    void FieldCreated(EditTextInstance& field) override {
        BindFieldVariable(field, *runner);
        RaiseChangeEvents(field, *stage, *runner);
    }
    void FieldDestroyed(EditTextInstance&) override {}
};

// Plays a movie of one frame per script (the last one stops), with the field placed first.
struct FieldMovie {
    explicit FieldMovie(const std::vector<ActionAssembler>& frames, int version = 8,
                        const std::function<void(w::TagStream&)>& more = {}) {
        w::TagStream tags;
        tags.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(1, HelloField()));
        w::PlaceObject p;
        p.depth = 1;
        p.characterId = 1;
        p.name = "tf";
        p.hasMatrix = true;
        p.matrix = w::Matrix::Translate(200, 400);
        tags.PlaceObject2(p);
        if (more) more(tags);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            ActionAssembler code = frames[i];
            if (i + 1 == frames.size()) code.Action(w::ActionCode::Stop);
            tags.DoAction(code.Bytes());
            tags.ShowFrame();
        }
        w::MovieHeader header;
        header.version = static_cast<std::uint8_t>(version);
        header.frameSize = {0, 8000, 0, 6000};
        movie = ParseMovie(w::BuildMovie(header, tags));
        stage = std::make_unique<Stage>(movie);
        stage->SetFontProvider(&fonts);
        runner = std::make_unique<VmActionRunner>(version, stage->Root());
        stage->SetActionRunner(runner.get());
        binder.runner = runner.get();
        binder.stage = stage.get();
        focus = std::make_unique<FocusManager>(*stage);
        selection = std::make_unique<FocusSelection>(*focus);
        runner->Vm().SetSelectionHost(selection.get());
        measurer = std::make_unique<TextExtentMeasurer>(stage->Fonts());
        runner->Vm().SetTextMeasurer(measurer.get());
        RaiseFocusEvents(*focus, *stage, *runner);
        stage->SetFieldObserver(&binder);
        runner->Vm().SetTraceHandler([this](const std::string& line) { lines.push_back(line); });
        stage->RunQueuedActions();
        for (std::size_t i = 1; i < frames.size(); ++i) stage->Advance();
    }
    ~FieldMovie() { stage.reset(); }
    fonts::FreeTypeFontProvider fonts;
    Binder binder;
    std::shared_ptr<const MovieDefinition> movie;
    std::unique_ptr<FocusManager> focus;
    std::unique_ptr<FocusSelection> selection;
    std::unique_ptr<TextExtentMeasurer> measurer;
    std::unique_ptr<Stage> stage;
    std::unique_ptr<VmActionRunner> runner;
    Lines lines;
};

Expr Tf() { return V("tf"); }
Expr TfM(const std::string& member) { return M(Tf(), member); }

TEST(TextFieldObject, MembersOfAPlacedField) {
    ActionAssembler a;
    for (const char* member : {"text", "length", "_x", "_y", "_width", "_name", "type", "variable", "maxChars",
                               "textColor", "html", "autoSize", "selectable", "border"})
        Trace(a, TfM(member));
    Trace(a, CallM(Tf(), "getDepth"));
    Trace(a, Op(kInstanceOf, Tf(), V("TextField")));
    Trace(a, M(TfM("_parent"), "_target"));
    Trace(a, TypeOf(M(V("TextField"), "prototype")));
    // Settable members read back as set, in their own types.
    SetM(a, Tf(), "type", S("INPUT"));
    SetM(a, Tf(), "maxChars", N(4));
    SetM(a, Tf(), "restrict", S("a-z"));
    SetM(a, Tf(), "autoSize", B(true));
    SetM(a, Tf(), "border", N(1));
    SetM(a, Tf(), "borderColor", N(0xFF00FF));
    SetM(a, Tf(), "textColor", N(0x010203));
    SetM(a, Tf(), "length", N(99));  // read-only
    // Colours wrap to 32 bits as integers do: 1e19 mod 2^32 = 0x89E80000, of which 0xE80000 is the colour.
    SetM(a, Tf(), "backgroundColor", N(1e19));
    Trace(a, TfM("backgroundColor"));
    for (const char* member :
         {"type", "maxChars", "restrict", "autoSize", "border", "borderColor", "textColor", "length"})
        Trace(a, TfM(member));
    SetM(a, Tf(), "maxChars", Null());
    SetM(a, Tf(), "restrict", Null());
    Trace(a, TfM("maxChars"));
    Trace(a, TfM("restrict"));
    // The prototype takes new methods; `this` is the field.
    ActionAssembler body;
    Return(body, Add(M(V("this"), "text"), S("!")));
    SetM(a, M(V("TextField"), "prototype"), "shout", Fn({}, body));
    Trace(a, CallM(Tf(), "shout"));
    FieldMovie m({a});
    EXPECT_EQ(m.lines, (Lines{"hello",    "5",       "10",       "20",    "200",  "tf",    "dynamic", "v",
                              "null",     "3368601", "false",    "none",  "true", "false", "-16383",  "true",
                              "/",        "object",  "15204352", "input", "4",    "a-z",   "left",    "true",
                              "16711935", "66051",   "5",        "null",  "null", "hello!"}));
    auto* field = static_cast<EditTextInstance*>(m.stage->Root().Children().at(1).get());
    EXPECT_TRUE(field->Session().Editable());
    EXPECT_EQ(field->Model().Runs().front().format.color, (Rgba{1, 2, 3, 255}));
}

TEST(TextFieldObject, TextFormatRangesAndNewTextFormat) {
    ActionAssembler a;
    SetM(a, Tf(), "text", S("abcdef"));
    Let(a, "bold", New("TextFormat"));
    SetM(a, V("bold"), "bold", B(true));
    Do(a, CallM(Tf(), "setTextFormat", {N(1), N(3), V("bold")}));     // [1, 3)
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(0), N(1)}), "bold"));  // false
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(1), N(3)}), "bold"));  // true
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(2)}), "bold"));        // one character: true
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(0), N(3)}), "bold"));  // mixed: null
    Trace(a, M(CallM(Tf(), "getTextFormat"), "bold"));                // whole text: null
    Trace(a, M(CallM(Tf(), "getTextFormat"), "size"));                // same everywhere: 20
    Trace(a, M(CallM(Tf(), "getTextFormat"), "font"));
    // One index: that character only.
    Let(a, "it", New("TextFormat"));
    SetM(a, V("it"), "italic", B(true));
    SetM(a, V("it"), "color", N(0xFF0000));
    Do(a, CallM(Tf(), "setTextFormat", {N(5), V("it")}));
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(5)}), "italic"));
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(4)}), "italic"));
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(5)}), "color"));
    // Paragraph attributes go to the whole paragraph.
    Let(a, "centre", New("TextFormat"));
    SetM(a, V("centre"), "align", S("center"));
    SetM(a, V("centre"), "leftMargin", N(7));
    Do(a, CallM(Tf(), "setTextFormat", {N(2), N(3), V("centre")}));
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(0)}), "align"));
    Trace(a, M(CallM(Tf(), "getTextFormat"), "leftMargin"));
    // The constructor's arguments; members not given are null.
    Let(a, "made", New("TextFormat", {S("Arial"), N(14), N(255)}));
    Trace(a, M(V("made"), "font"));
    Trace(a, M(V("made"), "size"));
    Trace(a, M(V("made"), "color"));
    Trace(a, M(V("made"), "bold"));
    // New text takes the new text format.
    Trace(a, M(CallM(Tf(), "getNewTextFormat"), "bold"));
    Do(a, CallM(Tf(), "setNewTextFormat", {V("bold")}));
    SetM(a, Tf(), "text", S("q"));
    Trace(a, M(CallM(Tf(), "getTextFormat", {N(0)}), "bold"));
    Trace(a, M(CallM(Tf(), "getNewTextFormat"), "bold"));
    // replaceText and replaceSel edit in place.
    SetM(a, Tf(), "text", S("abcdef"));
    Do(a, CallM(Tf(), "replaceText", {N(1), N(3), S("XYZ")}));
    Trace(a, TfM("text"));
    Do(a, CallM(Tf(), "replaceSel", {S(">")}));
    Trace(a, TfM("text"));
    FieldMovie m({a});
    EXPECT_EQ(m.lines, (Lines{"false", "true",  "true",     "null",   "null", "20",      "_sans",
                              "true",  "false", "16711680", "center", "7",    "Arial",   "14",
                              "255",   "null",  "false",    "true",   "true", "aXYZdef", ">aXYZdef"}));
}

TEST(TextFieldObject, VariableAndFieldStayInStep) {
    ActionAssembler first;
    Trace(first, V("v"));  // the field's text is not pushed into an unset variable
    SetM(first, Tf(), "text", S("typed by script"));
    Trace(first, V("v"));  // the field's text reaches the variable at once
    Let(first, "v", S("from v"));
    Trace(first, TfM("text"));  // the field waits for the next refresh
    ActionAssembler second;
    Trace(second, TfM("text"));
    // Another variable, named by script.
    SetM(second, Tf(), "variable", S("other"));
    Let(second, "other", S("from other"));
    Let(second, "v", S("ignored"));
    ActionAssembler third;
    Trace(third, TfM("text"));
    Trace(third, TfM("variable"));
    SetM(third, Tf(), "variable", Null());
    Trace(third, TfM("variable"));
    FieldMovie m({first, second, third});
    EXPECT_EQ(m.lines,
              (Lines{"undefined", "typed by script", "typed by script", "from v", "from other", "other", "null"}));
}

TEST(TextFieldObject, ScrollValuesFollowTheLayout) {
    // DejaVu Sans at 20 px: lines of 23.3 px; a 60 px box less its 2-pixel gutters shows two whole lines.
    ActionAssembler a;
    SetM(a, Tf(), "multiline", B(true));
    SetM(a, Tf(), "text", S("1\r2\r3\r4\r5\r6\r7\r8\r9\r10"));
    for (const char* member : {"scroll", "maxscroll", "bottomScroll", "maxhscroll"}) Trace(a, TfM(member));
    SetM(a, Tf(), "scroll", N(100));
    Trace(a, TfM("scroll"));
    Trace(a, TfM("bottomScroll"));
    SetM(a, Tf(), "scroll", N(4));
    Trace(a, TfM("bottomScroll"));
    // A line longer than the box scrolls sideways.
    SetM(a, Tf(), "text", S("a single line that is much wider than the two hundred pixel box"));
    Trace(a, Op(0x67, TfM("maxhscroll"), N(0)));
    Trace(a, Op(0x67, TfM("textWidth"), N(200)));
    FieldMovie m({a});
    EXPECT_EQ(m.lines, (Lines{"1", "9", "2", "0", "9", "10", "5", "true", "true"}));
}

TEST(TextFieldObject, CreateTextFieldAndRemoveTextField) {
    ActionAssembler a;
    Let(a, "r", CallM(V("_root"), "createTextField", {S("made"), N(5), N(10), N(20), N(100), N(30)}));
    Trace(a, Op(kInstanceOf, V("r"), V("TextField")));
    Trace(a, M(V("made"), "_x"));
    Trace(a, M(V("made"), "_y"));
    Trace(a, M(V("made"), "_width"));
    Trace(a, M(V("made"), "_height"));
    Trace(a, CallM(V("made"), "getDepth"));
    Trace(a, M(V("made"), "type"));
    Trace(a, M(V("made"), "text"));
    SetM(a, V("made"), "text", S("hi"));
    Trace(a, M(V("r"), "text"));
    // A field the timeline placed stays; one a script made goes.
    Do(a, CallM(Tf(), "removeTextField"));
    Trace(a, TypeOf(Tf()));
    Do(a, CallM(V("made"), "removeTextField"));
    Trace(a, TypeOf(V("made")));
    FieldMovie m({a, ActionAssembler()});
    EXPECT_EQ(m.lines, (Lines{"true", "10", "20", "100", "30", "5", "dynamic", "", "hi", "object", "undefined"}));

    // Before version 8 the call makes the field but returns nothing.
    ActionAssembler old;
    Trace(old, TypeOf(CallM(V("_root"), "createTextField", {S("made"), N(1), N(0), N(0), N(10), N(10)})));
    Trace(old, M(V("made"), "_name"));
    FieldMovie m7({old}, 7);
    EXPECT_EQ(m7.lines, (Lines{"undefined", "made"}));
}

// p == null ? "null" : p._name (register 1 holds p).
Expr NameOrNull(const std::string& p) {
    return [p](ActionAssembler& a) {
        a.PushString(p).Action(w::ActionCode::GetVariable).StoreRegister(1).Action(w::ActionCode::Pop);
        a.PushRegister(1).PushNull().Action(w::ActionCode::Equals2).If("null" + p);
        a.PushRegister(1).PushString("_name").Action(w::ActionCode::GetMember).Jump("done" + p);
        a.Label("null" + p).PushString("null");
        a.Label("done" + p);
    };
}

// A function tracing `prefix` followed by its arguments' names (or null).
Expr Tracer(const std::string& prefix, int params) {
    ActionAssembler body;
    Expr line = S(prefix);
    std::vector<std::string> names;
    for (int i = 0; i < params; ++i) {
        names.push_back("p" + std::to_string(i));
        line = Add(Add(line, S(" ")), NameOrNull(names.back()));
    }
    Trace(body, line);
    return Fn(names, body);
}

TEST(TextFieldObject, SelectionFocusAndFieldEvents) {
    ActionAssembler a;
    SetM(a, Tf(), "onSetFocus", Tracer("set", 1));
    SetM(a, Tf(), "onKillFocus", Tracer("kill", 1));
    SetM(a, Tf(), "onChanged", Tracer("changed", 1));
    Let(a, "watcher", Obj({{"onSetFocus", Tracer("selection", 2)}}));
    Do(a, CallM(V("Selection"), "addListener", {V("watcher")}));
    Trace(a, CallM(V("Selection"), "getFocus"));
    Trace(a, CallM(V("Selection"), "getBeginIndex"));
    Trace(a, CallM(V("Selection"), "setFocus", {Tf()}));
    Trace(a, CallM(V("Selection"), "getFocus"));
    Do(a, CallM(V("Selection"), "setSelection", {N(1), N(3)}));
    Trace(a, CallM(V("Selection"), "getBeginIndex"));
    Trace(a, CallM(V("Selection"), "getEndIndex"));
    Trace(a, CallM(V("Selection"), "getCaretIndex"));
    Do(a, CallM(V("Selection"), "setSelection", {N(4), N(2)}));
    Trace(a, CallM(V("Selection"), "getBeginIndex"));
    Trace(a, CallM(V("Selection"), "getCaretIndex"));
    SetM(a, Tf(), "text", S("set by script"));               // no onChanged
    Trace(a, CallM(V("Selection"), "setFocus", {S("tf")}));  // already there: no events
    Trace(a, CallM(V("Selection"), "setFocus", {Null()}));
    Trace(a, CallM(V("Selection"), "getFocus"));
    Trace(a, CallM(V("Selection"), "setFocus", {V("_root")}));  // not a field
    Trace(a, CallM(V("Selection"), "setFocus", {S("tf")}));
    FieldMovie m({a});
    EXPECT_EQ(m.lines, (Lines{"null",
                              "-1",
                              "set null",
                              "selection null tf",
                              "true",
                              "_level0.tf",
                              "1",
                              "3",
                              "3",
                              "2",
                              "2",
                              "true",
                              "kill null",
                              "selection tf null",
                              "true",
                              "null",
                              "false",
                              "set null",
                              "selection null tf",
                              "true"}));
    // The user types: the handler hears it, and the field's variable has the text.
    m.lines.clear();
    m.focus->SetFocus(static_cast<EditTextInstance*>(m.stage->Root().Children().at(1).get()));
    m.lines.clear();
    auto* field = m.focus->Focused();
    ASSERT_NE(field, nullptr);
    field->Session().SetEditable(true);
    field->Session().SetSelection(0, 0);
    EXPECT_TRUE(field->Session().UserInput(U"!"));
    EXPECT_EQ(m.lines, (Lines{"changed tf"}));
    EXPECT_EQ(m.runner->Vm().ToText(m.runner->Vm().GetVariable(m.stage->Root(), "v")), "!set by script");
}

TEST(TextFieldObject, OnScrollerHearsScrollMovesOncePerFrame) {
    ActionAssembler first;
    SetM(first, Tf(), "onScroller", Tracer("scroller", 1));
    SetM(first, Tf(), "multiline", B(true));
    ActionAssembler second;
    Trace(second, S("frame 2"));
    SetM(second, Tf(), "text", S("1\r2\r3\r4"));  // maxscroll 1 -> 3
    ActionAssembler third;
    Trace(third, S("frame 3"));
    SetM(third, Tf(), "scroll", N(2));
    SetM(third, Tf(), "scroll", N(3));
    ActionAssembler fourth;
    Trace(fourth, S("frame 4"));
    FieldMovie m({first, second, third, fourth});
    EXPECT_EQ(m.lines, (Lines{"frame 2", "scroller tf", "frame 3", "scroller tf", "frame 4"}));
}

// DejaVu Sans Mono (what _typewriter is here) as FreeType reads it: one
// advance for every character, and the Windows ascent and descent.
struct MonoFontFacts {
    MonoFontFacts() {
        FT_Library library = nullptr;
        FT_Face face = nullptr;
        EXPECT_EQ(FT_Init_FreeType(&library), 0);
        const std::string file = std::string(fonts::FreeTypeFontProvider::kDefaultFolder) + "/DejaVuSansMono.ttf";
        if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
            EXPECT_EQ(FT_Load_Char(face, 'h', FT_LOAD_NO_SCALE), 0);
            const double em = face->units_per_EM;
            advance = face->glyph->advance.x / em;
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            EXPECT_NE(os2, nullptr);
            if (os2) {
                ascent = os2->usWinAscent / em;
                descent = os2->usWinDescent / em;
            }
            FT_Done_Face(face);
        } else {
            ADD_FAILURE() << "cannot open " << file;
        }
        FT_Done_FreeType(library);
    }
    // Per pixel of font size.
    double advance = 0, ascent = 0, descent = 0;
};

TEST(TextFormatObject, GetTextExtentMeasuresTheTextAsAFieldLaysItOut) {
    const MonoFontFacts mono;
    const char* kMembers[] = {"width", "height", "ascent", "descent", "textFieldWidth", "textFieldHeight"};
    auto traceExtent = [&](ActionAssembler& a, const std::vector<Expr>& args) {
        Let(a, "e", CallM(V("fmt"), "getTextExtent", args));
        for (const char* member : kMembers) Trace(a, M(V("e"), member));
    };
    ActionAssembler a;
    Let(a, "fmt", New("TextFormat", {S("_typewriter"), N(20)}));
    traceExtent(a, {S("hello")});
    // A hard break makes two lines; the widest one counts.
    traceExtent(a, {S("ab\rcdef")});
    // Wrapping at ten characters' width breaks after "bbbb"; leading adds below the first line.
    SetM(a, V("fmt"), "leading", N(2));
    traceExtent(a, {S("aaaa bbbb cccc"), N(10 * 20 * mono.advance + 1)});
    // Markup is measured as it stands.
    traceExtent(a, {S("<b>x</b>")});
    FieldMovie m({a});
    ASSERT_EQ(m.lines.size(), 24u);

    const double adv = 20 * mono.advance, asc = 20 * mono.ascent, desc = 20 * mono.descent;
    const double expected[4][4] = {
        {5 * adv, asc + desc, asc, desc},
        {4 * adv, 2 * (asc + desc), asc, desc},
        {9 * adv, 2 * (asc + desc) + 2, asc, desc},
        {8 * adv, asc + desc, asc, desc},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        std::vector<double> got;
        for (std::size_t j = 0; j < 6; ++j) got.push_back(std::stod(m.lines[i * 6 + j]));
        for (std::size_t j = 0; j < 4; ++j)
            EXPECT_NEAR(got[j], expected[i][j], 0.01) << kMembers[j] << " of case " << i;
        // A field needs the 2-pixel gutter on every side.
        EXPECT_DOUBLE_EQ(got[4], got[0] + 4) << "case " << i;
        EXPECT_DOUBLE_EQ(got[5], got[1] + 4) << "case " << i;
    }
}

// A 100 x 50 px button "btn" at (100, 200) px.
void AddButton(w::TagStream& tags) {
    w::ShapeBuilder shape;
    shape.Rectangle({0, 2000, 0, 1000}, shape.AddFill(w::FillStyle::Solid(w::Rgba{0, 0, 255, 255})));
    tags.Add(w::TagCode::DefineShape3, shape.DefineShapeBody(2, 3));
    w::ButtonRecord record;
    record.states = w::kStateUp | w::kStateOver | w::kStateDown | w::kStateHitTest;
    record.characterId = 2;
    tags.Add(w::TagCode::DefineButton2, w::DefineButton2Body(3, {record}, {}));
    w::PlaceObject p;
    p.depth = 2;
    p.characterId = 3;
    p.name = "btn";
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(2000, 4000);
    tags.PlaceObject2(p);
}

TEST(ButtonObject, NamedButtonsAreScriptObjectsWithHandlers) {
    ActionAssembler a;
    Expr btn = V("btn");
    for (const char* member : {"_name", "_x", "_width", "enabled", "useHandCursor"}) Trace(a, M(btn, member));
    Trace(a, TypeOf(btn));
    Trace(a, Op(kInstanceOf, btn, V("Button")));
    SetM(a, btn, "_x", N(150));
    Trace(a, M(btn, "_x"));
    SetM(a, btn, "onPress", Tracer("press", 0));
    SetM(a, btn, "onRelease", Tracer("release", 0));
    FieldMovie m({a}, 8, AddButton);
    EXPECT_EQ(m.lines, (Lines{"btn", "100", "100", "true", "true", "object", "true", "150"}));

    // Inside the moved button: 160..260 x 200..250 px.
    m.lines.clear();
    const Point inside{3400, 4400};
    m.stage->PointerMove(inside);
    m.stage->PointerDown(inside);
    m.stage->PointerUp(inside);
    EXPECT_EQ(m.lines, (Lines{"press", "release"}));

    // A disabled button ignores the pointer.
    ActionAssembler disable;
    SetM(disable, V("btn"), "enabled", B(false));
    m.lines.clear();
    m.stage->PointerMove(Point{0, 0});
    m.stage->RunScript([&] { m.runner->Run(disable.Finish(), m.stage->Root()); });
    m.stage->PointerMove(inside);
    m.stage->PointerDown(inside);
    m.stage->PointerUp(inside);
    EXPECT_TRUE(m.lines.empty());
}

}  // namespace
}  // namespace swf
