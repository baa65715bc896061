// The edit session on a model of its own, without a display list: the
// selection stays inside text replaced through the model, what the user may
// type (input fields only, restrict, line breaks, maxChars), the format new
// text takes, deleting at the ends, and the edit listener.

#include <gtest/gtest.h>

#include <string>

#include "swf/model/character.h"
#include "swf/model/edit_text.h"
#include "swf/player/fields/edit_session.h"
#include "swf/player/fields/text_field_model.h"
#include "swf/player/fields/text_fonts.h"

namespace swf {
namespace {

struct SmallField {
    explicit SmallField(EditTextDefinition d)
        : definition(std::move(d)), model(definition, fonts), session(model, definition) {
        session.SetEditListener([this] { ++edits; });
    }
    Dictionary dictionary;
    TextFonts fonts{dictionary};
    EditTextDefinition definition;
    TextFieldModel model;
    EditSession session;
    int edits = 0;
};

EditTextDefinition Input(const std::string& text, bool multiline = false) {
    EditTextDefinition d;
    d.bounds = {0, 4000, 0, 2000};
    d.multiline = multiline;
    d.initialText = text;
    return d;
}

TEST(EditSession, SelectionStaysInsideTextReplacedThroughTheModel) {
    SmallField f(Input("hello world"));
    f.session.SetSelection(3, 11);
    f.model.SetText("hi");
    EXPECT_EQ(f.session.Anchor(), 2u);
    EXPECT_EQ(f.session.Caret(), 2u);
    // Longer text later does not bring the old selection back.
    f.model.SetText("hello again");
    EXPECT_EQ(f.session.SelectionBegin(), 2u);
    EXPECT_EQ(f.session.SelectionEnd(), 2u);
    f.session.SetSelection(40, 1);
    EXPECT_EQ(f.session.Anchor(), 11u);
    EXPECT_EQ(f.session.SelectedText(), U"ello again");
    f.model.SetHtml(true);
    f.model.SetHtmlText("<b>ab</b>");
    EXPECT_EQ(f.session.Anchor(), 2u);
    EXPECT_EQ(f.session.Caret(), 1u);
    EXPECT_EQ(f.edits, 0);
}

TEST(EditSession, TypingKeepsOnlyWhatTheFieldAdmits) {
    SmallField single(Input("ab"));
    single.session.SetSelection(2, 2);
    EXPECT_TRUE(single.session.UserInput(U"c\r\nd\ne"));
    EXPECT_EQ(single.model.Text(), "abcde");  // no line breaks in a single-line field
    EXPECT_EQ(single.session.Caret(), 5u);

    SmallField lines(Input("", true));
    EXPECT_TRUE(lines.session.UserInput(U"x\r\ny\nz"));
    EXPECT_EQ(lines.model.Text(), "x\ry\rz");

    SmallField digits(Input("7"));
    digits.session.SetRestrict(std::string("0-9"));
    digits.session.SetSelection(1, 1);
    EXPECT_TRUE(digits.session.UserInput(U"a1b2"));
    EXPECT_EQ(digits.model.Text(), "712");
    EXPECT_FALSE(digits.session.UserInput(U"xyz"));  // nothing admitted, nothing selected
    EXPECT_EQ(digits.edits, 1);

    // The selection's characters make room: 5 - (4 - 2) leaves 3.
    SmallField limited(Input("abcd"));
    limited.session.SetMaxChars(5);
    limited.session.SetSelection(1, 3);
    EXPECT_TRUE(limited.session.UserInput(U"WXYZ"));
    EXPECT_EQ(limited.model.Text(), "aWXYd");
    EXPECT_EQ(limited.session.Caret(), 4u);
    // Full: typing over nothing changes nothing; over a selection it still deletes it.
    EXPECT_FALSE(limited.session.UserInput(U"Q"));
    limited.session.SetSelection(0, 1);
    EXPECT_TRUE(limited.session.UserInput(U"QR"));
    EXPECT_EQ(limited.model.Text(), "QWXYd");
    EXPECT_EQ(limited.edits, 2);

    EditTextDefinition readOnly = Input("fixed");
    readOnly.readOnly = true;
    SmallField dynamic(readOnly);
    EXPECT_FALSE(dynamic.session.UserInput(U"x"));
    EXPECT_FALSE(dynamic.session.UserDelete(false));
    EXPECT_EQ(dynamic.model.Text(), "fixed");
    EXPECT_EQ(dynamic.edits, 0);
}

TEST(EditSession, NewTextTakesTheFormatOfWhatItReplacesOrFollows) {
    EditTextDefinition d = Input("<b>ab</b>cd");
    d.html = true;
    SmallField f(d);
    ASSERT_EQ(f.model.Text(), "abcd");
    f.session.SetSelection(2, 2);
    f.session.ReplaceSelection(U"X");  // after "b": bold
    f.session.SetSelection(3, 5);
    f.session.ReplaceSelection(U"Y");  // over "cd": plain
    f.session.SetSelection(0, 0);
    f.session.ReplaceSelection(U"Z");  // at the start: the first character's format
    ASSERT_EQ(f.model.Text(), "ZabXY");
    std::u32string bold, plain;
    for (const text::FormattedRun& run : f.model.Runs()) (run.format.bold ? bold : plain) += run.text;
    EXPECT_EQ(bold, U"ZabX");
    EXPECT_EQ(plain, U"Y");
    EXPECT_EQ(f.session.Caret(), 1u);
    EXPECT_EQ(f.edits, 0);  // replacing is not an edit by the user
}

TEST(EditSession, DeletingStopsAtTheEndsOfTheText) {
    SmallField f(Input("abc"));
    f.session.SetSelection(0, 0);
    EXPECT_FALSE(f.session.UserDelete(false));
    EXPECT_TRUE(f.session.UserDelete(true));
    EXPECT_EQ(f.model.Text(), "bc");
    f.session.SetSelection(2, 2);
    EXPECT_FALSE(f.session.UserDelete(true));
    EXPECT_TRUE(f.session.UserDelete(false));
    EXPECT_EQ(f.model.Text(), "b");
    EXPECT_EQ(f.session.Caret(), 1u);
    f.session.SetSelection(1, 0);
    EXPECT_TRUE(f.session.UserDelete(true));  // a selection goes whichever way the key points
    EXPECT_EQ(f.model.Text(), "");
    EXPECT_EQ(f.edits, 3);
}

}  // namespace
}  // namespace swf
