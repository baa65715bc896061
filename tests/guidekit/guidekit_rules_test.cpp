// The rules a guide's name, title, size and settings text follow, against
// what Windows file names and the settings reader allow.
#include <gtest/gtest.h>

#include <string>

#include "settings/Sdftxtparser_unit.h"
#include "tools/guidekit/command_line.h"
#include "tools/guidekit/guide_rules.h"
#include "tools/guidekit/settings_text.h"

namespace guidekit {
namespace {

TEST(GuideRules, NamesWindowsCannotUseAreRefusedWithTheReason) {
    for (const std::string name : {"Guide", "User Guide 2", "COM10", "Console", "nul-free", "a.b"}) {
        EXPECT_FALSE(CheckGuideName(name)) << name;
    }
    const std::pair<std::string, std::string> refused[] = {
        {"", "empty"},
        {"CON", "device name"},
        {"nul.txt", "device name"},
        {"Com1", "device name"},
        {"LPT9", "device name"},
        {"aux .x", "device name"},
        {"a<b", "'<'"},
        {"a:b", "':'"},
        {"a/b", "'/'"},
        {"a\\b", "'\\'"},
        {"a|b", "'|'"},
        {"a?b", "'?'"},
        {"a*b", "'*'"},
        {"a\"b", "'\"'"},
        {"a>b", "'>'"},
        {"tab\tname", "0x09"},
        {"Guide.", "ends in '.'"},
        {"Guide ", "ends in ' '"},
        {std::string(247, 'g'), "too long"},
    };
    for (const auto& [name, reason] : refused) {
        const auto why = CheckGuideName(name);
        ASSERT_TRUE(why) << name;
        EXPECT_NE(why->find(reason), std::string::npos) << name << ": " << *why;
    }
    // 246 + "_Page_img" is 255, the longest folder name.
    EXPECT_FALSE(CheckGuideName(std::string(246, 'g')));
}

TEST(GuideRules, SettingsPathsStayInsideTheProgramsBuffer) {
    EXPECT_EQ(SettingsPathFor("/guides/out", "Intro"), "\\guides\\out\\Intro_Page_img\\Page_var.txt");
    EXPECT_EQ(SettingsPathFor("", "Intro"), "Intro_Page_img\\Page_var.txt");
    // 1023 characters and the terminator fill the buffer exactly.
    EXPECT_FALSE(CheckSettingsPath(std::string(1023, 'p')));
    const auto why = CheckSettingsPath(std::string(1024, 'p'));
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("1024 characters"), std::string::npos) << *why;
}

TEST(GuideRules, TitlesKeepClearOfTheSettingsSeparators) {
    EXPECT_FALSE(CheckTitle("Quick Start Guide: part 1 (of 2)"));
    EXPECT_FALSE(CheckTitle(""));
    const std::pair<std::string, std::string> refused[] = {
        {"Tips & Tricks", "'&'"},     {"a=b", "'='"},     {"one\ntwo", "line break"},
        {"one\r\ntwo", "line break"}, {"x\x1Ay", "0x1A"}, {"bell\x07", "0x07"},
    };
    for (const auto& [title, reason] : refused) {
        const auto why = CheckTitle(title);
        ASSERT_TRUE(why) << title;
        EXPECT_NE(why->find(reason), std::string::npos) << *why;
    }
    // Windows-1252 places: é at 0xE9, € at 0x80, ’ at 0x92 (the code page's table).
    std::string bad;
    EXPECT_EQ(ToWindows1252("Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x99", &bad), std::string("Caf\xE9 \x80 \x92"));
    EXPECT_FALSE(ToWindows1252("\xD1\x84", &bad));  // Cyrillic ef has no place
    EXPECT_EQ(bad, "\xD1\x84");
    EXPECT_FALSE(ToWindows1252("\xFF\xFE", &bad));
}

TEST(GuideRules, SizesAreWhatTheWindowTakes) {
    EXPECT_EQ(ParseSize("800x600"), (WindowSize{800, 600}));
    EXPECT_EQ(ParseSize("-1x0"), (WindowSize{-1, 0}));
    for (const char* text : {"800", "800x", "x600", "800x600px", " 800x600", "8.5x600", "axb"}) {
        EXPECT_FALSE(ParseSize(text)) << text;
    }
    EXPECT_FALSE(CheckWindowSize({300, 329}));
    EXPECT_FALSE(CheckWindowSize({-1, 0}));  // the work area: the height is not read
    EXPECT_FALSE(CheckWindowSize({32767, 32767}));
    EXPECT_TRUE(CheckWindowSize({299, 600}));
    EXPECT_TRUE(CheckWindowSize({800, 328}));
    EXPECT_TRUE(CheckWindowSize({0, 600}));
    EXPECT_TRUE(CheckWindowSize({32768, 600}));
    EXPECT_EQ(DefaultWindowSize(160, 120), (WindowSize{300, 329}));
    EXPECT_EQ(DefaultWindowSize(800, 600), (WindowSize{800, 600}));
}

TEST(GuideRules, TheSettingsReaderGetsTitleAndSizeAndTheMovieKeepsItsPairs) {
    const std::string assets = "&title=Old title&\r\n&pages=2&\n&page1=one.jpg&\r\n&width=10&\n&title1=First & best&";
    const std::string text = SettingsText("Caf\xE9 guide", {1024, 700}, assets);
    SDFTxtParser parser;
    parser.LoadFromText(text);
    EXPECT_EQ(parser.GetValue("title"), "Caf\xE9 guide");
    EXPECT_EQ(parser.GetValue("width"), "1024");
    EXPECT_EQ(parser.GetValue("height"), "700");
    // The program stops after "height"; the movie's own pairs follow it.
    EXPECT_EQ(parser.GetValue("pages"), "");
    EXPECT_NE(text.find("&pages=2&"), std::string::npos);
    EXPECT_NE(text.find("&page1=one.jpg&"), std::string::npos);
    EXPECT_EQ(text.find("Old title"), std::string::npos);
    EXPECT_EQ(text.find("&width=10&"), std::string::npos);
    EXPECT_NE(text.find("&title1=First &"), std::string::npos);
    // The work area: a negative width, as the reader hands it on.
    SDFTxtParser full;
    full.LoadFromText(SettingsText("T", {-1, 0}));
    EXPECT_EQ(full.GetValue("width"), "-1");
}

TEST(GuideRules, CommandLinesTakeOptionsWithValuesAndRefuseUnknownOnes) {
    std::string why;
    const auto parsed = ParseArguments({"movie.swf", "--size", "-1x0", "--force", "--out", "dir"}, {"--size", "--out"},
                                       {"--force"}, &why);
    ASSERT_TRUE(parsed) << why;
    EXPECT_EQ(parsed->positional, std::vector<std::string>{"movie.swf"});
    EXPECT_EQ(parsed->Value("--size"), "-1x0");
    EXPECT_EQ(parsed->Value("--out"), "dir");
    EXPECT_TRUE(parsed->flags.contains("--force"));
    EXPECT_FALSE(ParseArguments({"--bogus"}, {}, {}, &why));
    EXPECT_EQ(why, "unknown option --bogus");
    EXPECT_FALSE(ParseArguments({"--out"}, {"--out"}, {}, &why));
    EXPECT_FALSE(ParseArguments({"--out", "a", "--out", "b"}, {"--out"}, {}, &why));
    EXPECT_EQ(ParseCount("12", 1, 20), 12);
    EXPECT_FALSE(ParseCount("0", 1, 20));
    EXPECT_FALSE(ParseCount("12x", 1, 20));
}

}  // namespace
}  // namespace guidekit
