#include "toolkit/core/form_description.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace toolkit {
namespace {

const char* const kSample =
    "// a sample window\n"
    "object MainForm: TMainForm\n"           // 2
    "  Left = -12\n"                         // 3
    "  Color = $000100FE\n"                  // 4
    "  Minus = $FFFFFFFF\n"                  // 5
    "  Lowest = -2147483648\n"               // 6
    "  Caption = 'It''s'#13#10'two'#$41\n"   // 7
    "  Hint = 'first half, ' +\n"            // 8
    "    'second half'\n"                    // 9
    "  Font.Style = [fsBold, fsItalic]\n"    // 10
    "  BorderIcons = []\n"                   // 11
    "  Visible = True\n"                     // 12
    "  OnCreate = FormCreate\n"              // 13
    "  Data = {\n"                           // 14
    "    0aFF 10\n"                          // 15
    "  }\n"                                  // 16
    "  object Panel: TPanel\n"               // 17
    "    Align = alTop\n"                    // 18
    "    object Picture: TImage\n"           // 19
    "      Picture = bitmap 'TITLESTRIP'\n"  // 20
    "    end\n"                              // 21
    "  end\n"                                // 22
    "  object Logo: TImage\n"                // 23
    "    Picture = icon 'LOGOICON'\n"        // 24
    "  end\n"                                // 25
    "end\n"
    "// trailing comment\n";

TEST(FormDescription, ReadsEveryKindOfValue) {
    std::string sample = kSample;
    FormNode root = ParseFormDescription(sample);
    EXPECT_EQ(root.Name, "MainForm");
    EXPECT_EQ(root.ClassName, "TMainForm");
    EXPECT_EQ(root.Line, 2);

    EXPECT_EQ(root.Integer("Left"), -12);
    EXPECT_EQ(root.Integer("Color"), 0x000100FE);
    EXPECT_EQ(root.Integer("Minus"), -1);
    EXPECT_EQ(root.Integer("Lowest"), INT32_MIN);
    EXPECT_EQ(root.String("Caption"), "It's\r\ntwoA");
    EXPECT_EQ(root.String("Hint"), "first half, second half");
    EXPECT_EQ(root.Set("Font.Style"), (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_TRUE(root.Set("BorderIcons").empty());
    EXPECT_TRUE(root.Boolean("Visible"));
    EXPECT_EQ(root.Identifier("OnCreate"), "FormCreate");
    EXPECT_EQ(root.Binary("Data"), (std::vector<std::uint8_t>{0x0A, 0xFF, 0x10}));

    // Properties keep their order and lines.
    ASSERT_EQ(root.Properties.size(), 11u);
    EXPECT_EQ(root.Properties[0].Name, "Left");
    EXPECT_EQ(root.Properties[0].Line, 3);
    EXPECT_EQ(root.Properties[5].Name, "Hint");
    EXPECT_EQ(root.Properties[10].Name, "Data");
    EXPECT_EQ(root.Properties[10].Line, 14);

    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_EQ(root.Children[0].Name, "Panel");
    EXPECT_EQ(root.Children[1].Name, "Logo");
    EXPECT_EQ(root.Children[1].Line, 23);
    const FormNode* picture = root.FindComponent("Picture");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Line, 19);
    EXPECT_EQ(picture->Picture("Picture"), (FormPicture{FormPictureKind::Bitmap, "TITLESTRIP"}));
    EXPECT_EQ(root.FindChild("Logo")->Picture("Picture"), (FormPicture{FormPictureKind::Icon, "LOGOICON"}));
    EXPECT_EQ(root.FindChild("Picture"), nullptr);  // not a direct child
    EXPECT_EQ(root.FindComponent("Nothing"), nullptr);
    EXPECT_EQ(root.FindProperty("Nothing"), nullptr);

    // Windows line ends read the same.
    std::string crlf;
    for (char c : sample) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    FormNode again = ParseFormDescription(crlf);
    EXPECT_EQ(again.String("Caption"), "It's\r\ntwoA");
    EXPECT_EQ(again.FindComponent("Picture")->Line, 19);
}

TEST(FormDescription, TypedGettersNameTheLine) {
    FormNode root = ParseFormDescription(kSample);
    auto message = [&](auto&& call) -> std::string {
        try {
            call();
        } catch (const FormDescriptionError& error) {
            return error.Message();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { root.String("Left"); }), "line 3: property Left of MainForm is an integer, not a string");
    EXPECT_EQ(message([&] { root.Integer("Font.Style"); }),
              "line 10: property Font.Style of MainForm is a set, not an integer");
    EXPECT_EQ(message([&] { root.Boolean("OnCreate"); }),
              "line 13: property OnCreate of MainForm is FormCreate, not True or False");
    EXPECT_EQ(message([&] { root.Picture("Caption"); }),
              "line 7: property Caption of MainForm is a string, not a picture");
    EXPECT_EQ(message([&] { root.FindChild("Panel")->Integer("Width"); }), "line 17: Panel has no property Width");
}

struct Malformed {
    const char* text;
    int line;
    const char* fragment;
};

TEST(FormDescription, MalformedDescriptionsNameTheirLine) {
    const Malformed cases[] = {
        {"", 1, "'object' expected but the end of the text found"},
        {"\n\nobject A: TA\n", 4, "'end' missing for object 'A' (line 3)"},
        {"object A: TA\n  Caption = 'open\nend\n", 2, "unterminated string"},
        {"object A: TA\n  Caption = 'open", 2, "unterminated string"},
        {"object A: TA\n  Data = {0A B}\nend\n", 2, "odd number of hex digits"},
        {"object A: TA\n  Data = {0A 0B\n\n", 2, "without closing '}'"},
        {"object A: TA\n  Data = {0A\n 0G}\nend\n", 3, "unexpected 'G' in binary data"},
        {"object A: TA\nend\nend\n", 3, "text after the final 'end'"},
        {"object A: TA\nend\nobject B: TB\nend\n", 3, "text after the final 'end'"},
        {"object A: TA\n  Left = 2147483648\nend\n", 2, "integer out of range: '2147483648'"},
        {"object A: TA\n  Left = -2147483649\nend\n", 2, "integer out of range"},
        {"object A: TA\n  Color = $100000000\nend\n", 2, "integer out of range"},
        {"object A: TA\n  Color = $\nend\n", 2, "hexadecimal digits expected"},
        {"object A: TA\n  Scale = 1.5\nend\n", 2, "malformed number '1.5'"},
        {"object A: TA\n  Width = 12px\nend\n", 2, "malformed number '12px'"},
        {"object A: TA\n  Left = @\nend\n", 2, "unexpected '@'"},
        {"object A: TA\n  Left 5\nend\n", 2, "'=' expected but the number 5 found"},
        {"object A: TA\n  Left =\nend\n", 3, "value expected but 'end' found"},
        {"object A: TA\n  Font. = 1\nend\n", 2, "incomplete name 'Font.'"},
        {"object A: TA\n  S = [a b]\nend\n", 2, "',' or ']' expected but 'b' found"},
        {"object A: TA\n  S = [a,]\nend\n", 2, "set element expected but ']' found"},
        {"object A: TA\n  S = [a\nend\n", 3, "',' or ']' expected but 'end' found"},
        {"object A: TA\n  P = bitmap\nend\n", 3, "picture resource name expected"},
        {"object A: TA\n  P = icon ''\nend\n", 2, "empty picture resource name"},
        {"object A: TA\n  C = 'a' +\nend\n", 3, "string after '+' expected"},
        {"object A: TA\n  C = #256\nend\n", 2, "character code above 255"},
        {"object A: TA\n  C = #\nend\n", 2, "character code expected"},
        {"object A: TA\n  Left = 1\n  Left = 2\nend\n", 3, "property 'Left' given twice"},
        {"object A: TA\n  object B: TB\n  end\n  object B: TC\n  end\nend\n", 4, "duplicate component name 'B'"},
        {"object A TA\nend\n", 1, "':' expected but 'TA' found"},
        {"object A.B: TA\nend\n", 1, "component name expected"},
        {"object A: TA\n  5 = 5\nend\n", 2, "property name, 'object' or 'end' expected"},
        {"object A: TA\n  Left = 1 // remark\nend\n", 2, "unexpected '/'"},
        {"object A: TA\n  Caption = \xC3\xA9\nend\n", 2, "unexpected character #195"},
        {"object A: TA\n  Data = {0A\n  // no comments in data\n  }\nend\n", 3, "unexpected '/' in binary data"},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseFormDescription(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const FormDescriptionError& error) {
            EXPECT_EQ(error.Line(), c.line) << error.Message();
            EXPECT_NE(error.Message().find("line " + std::to_string(c.line) + ": "), std::string::npos)
                << error.Message();
            EXPECT_NE(error.Message().find(c.fragment), std::string::npos) << error.Message();
        }
    }

    // A NUL byte outside a string is an error like any other stray character.
    using namespace std::string_literals;
    try {
        ParseFormDescription("object A: TA\n  Caption = 'a'\0'b'\nend\n"s);
        ADD_FAILURE() << "accepted";
    } catch (const FormDescriptionError& error) {
        EXPECT_EQ(error.Message(), "line 2: unexpected character #0");
    }
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "object C" + std::to_string(i) + ": TPanel\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
}

TEST(FormDescription, NestingDepthIsCapped) {
    FormNode deepest = ParseFormDescription(Nested(kMaxFormNestingDepth));
    EXPECT_NE(deepest.FindComponent("C" + std::to_string(kMaxFormNestingDepth - 1)), nullptr);
    try {
        ParseFormDescription(Nested(kMaxFormNestingDepth + 1));
        ADD_FAILURE() << "accepted";
    } catch (const FormDescriptionError& error) {
        EXPECT_EQ(error.Line(), kMaxFormNestingDepth + 1);
        EXPECT_NE(error.Message().find("nested more than"), std::string::npos);
    }
    // Far deeper nesting fails the same way, without exhausting the stack.
    EXPECT_THROW(ParseFormDescription(Nested(200000)), FormDescriptionError);
}

TEST(FormDescription, DamagedTextNeverCrashes) {
    // Every prefix and many random corruptions of a valid description either
    // parse or fail with a FormDescriptionError; the sanitizers watch the reads.
    const std::string sample = kSample;
    const std::size_t complete = sample.rfind("end\n") + 3;  // through the final "end"
    for (std::size_t size = 0; size < complete; ++size) {
        EXPECT_THROW(ParseFormDescription(std::string_view(sample).substr(0, size)), FormDescriptionError) << size;
    }
    EXPECT_NO_THROW(ParseFormDescription(std::string_view(sample).substr(0, complete)));

    std::mt19937 random(20240607);
    const char alphabet[] = "'#${}[]=:,+-/ \n\r\t0aZ.\x00\xFF";
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = sample;
        int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            damaged[random() % damaged.size()] = alphabet[random() % (sizeof alphabet - 1)];
        }
        try {
            ParseFormDescription(damaged);
        } catch (const FormDescriptionError& error) {
            EXPECT_EQ(error.Message().rfind("line ", 0), 0u) << error.Message();
        }
    }
}

}  // namespace
}  // namespace toolkit
