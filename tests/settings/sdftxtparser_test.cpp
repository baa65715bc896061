#include "settings/Sdftxtparser_unit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

using Table = std::map<std::string, std::string>;

Table Parse(const std::string& text) {
    SDFTxtParser parser;
    parser.LoadFromText(text);
    return parser.Entries();
}

class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        path_ =
            std::filesystem::temp_directory_path() / ("sdf_" + std::to_string(std::random_device{}()) + "_" +
                                                      std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt");
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

TEST(SDFTxtParser, ReadsTheDocumentedExampleAndStopsAfterHeight) {
    EXPECT_EQ(Parse("&title=Quick Start Guide&\n&width=1024&\n&height=700&\n&extra=not read&\n"),
              (Table{{"height", "700"}, {"title", "Quick Start Guide"}, {"width", "1024"}}));
}

TEST(SDFTxtParser, PairBoundaries) {
    // A doubled '&' closes one pair and opens the next.
    EXPECT_EQ(Parse("&title=A&&width=1&"), (Table{{"title", "A"}, {"width", "1"}}));
    // Without its own opening '&' a key is read from position 0, which by then
    // holds the zero byte of the first '&'.
    EXPECT_EQ(Parse("&title=A&width=1&"), (Table{{"", "1"}, {"title", "A"}}));
    // No '&' at the start: the key runs from position 0.
    EXPECT_EQ(Parse("title=A&"), (Table{{"title", "A"}}));
    // A missing closing '&': the next line's '&' closes the pair.
    EXPECT_EQ(Parse("&title=A\n&width=800&"), (Table{{"", "800"}, {"title", "A\n"}}));
    // The latest '=' splits; the key ends at the first one.
    EXPECT_EQ(Parse("&a=b=c&"), (Table{{"a", "c"}}));
    // Blanks are kept on both sides.
    EXPECT_EQ(Parse("&title= A &&title =A&"), (Table{{"title", " A "}, {"title ", "A"}}));
    EXPECT_EQ(Parse("&=x&&title=&"), (Table{{"", "x"}, {"title", ""}}));
    // Text between pairs without '=' is ignored.
    EXPECT_EQ(Parse("junk &title=A& more junk\n&width=2&"), (Table{{"title", "A"}, {"width", "2"}}));
    // An '=' between pairs turns the next '&' into a closing one.
    // The pair that '&' was meant to open is keyed from position 0 as well,
    // and loses to the first value stored under the empty key.
    EXPECT_EQ(Parse("&title=A& x=y &width=2&"), (Table{{"", "y "}, {"title", "A"}}));
}

TEST(SDFTxtParser, FirstValueWinsAndHeightEndsTheScan) {
    EXPECT_EQ(Parse("&width=1&\n&width=2&"), (Table{{"width", "1"}}));
    EXPECT_EQ(Parse("&height=600&\n&title=B&"), (Table{{"height", "600"}}));
    // Only the exact key "height" stops the scan.
    EXPECT_EQ(Parse("&Height=600&&title=B&"), (Table{{"Height", "600"}, {"title", "B"}}));
    // A repeated "height" pair stops the scan even though it is not inserted.
    EXPECT_EQ(Parse("&height=1&&x=1&"), (Table{{"height", "1"}}));
}

TEST(SDFTxtParser, TextModeBytes) {
    // Carriage returns vanish, also inside values.
    EXPECT_EQ(Parse("&title=A\r\nB&\r\n&width=1\r&"), (Table{{"title", "A\nB"}, {"width", "1"}}));
    // 0x1A ends the text.
    EXPECT_EQ(Parse(std::string("&title=A&\x1A&width=1&")), (Table{{"title", "A"}}));
    // A zero byte ends a key or value early.
    EXPECT_EQ(Parse(std::string("&tit\0le=A&&width=1\0 2&", 22)), (Table{{"tit", "A"}, {"width", "1"}}));
    // Bytes above 0x7F are ordinary text and order after ASCII.
    auto table = Parse("&\xE9t\xE9=\xFC&&zz=1&");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.rbegin()->first, "\xE9t\xE9");
    EXPECT_EQ(table.rbegin()->second, "\xFC");
}

TEST(SDFTxtParser, NastyInputGivesNoEntriesOrOddOnes) {
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("no ampersand = at all").empty());
    EXPECT_TRUE(Parse(std::string(100, '\0')).empty());
    EXPECT_TRUE(Parse("&&&&&&").empty());
    EXPECT_TRUE(Parse("=====").empty());
    EXPECT_EQ(Parse("=&"), (Table{{"", ""}}));

    const std::string longKey(200000, 'k');
    const std::string longValue(300000, 'v');
    auto table = Parse("&" + longKey + "=" + longValue + "&");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.begin()->first, longKey);
    EXPECT_EQ(table.begin()->second, longValue);
}

TEST(SDFTxtParser, GetValueAddsMissingKeys) {
    SDFTxtParser parser;
    parser.LoadFromText("&title=T&");
    EXPECT_EQ(parser.GetValue("title"), "T");
    EXPECT_EQ(parser.GetValue("width"), "");
    EXPECT_EQ(parser.Entries().size(), 2u);
    EXPECT_EQ(parser.Entries().at("width"), "");
    EXPECT_EQ(parser.GetValue("width"), "");
    EXPECT_EQ(parser.Entries().size(), 2u);
}

TEST(SDFTxtParser, LoadFromFileReadsBytesAndAddsOnlyNewKeys) {
    TempFile first("&title=One\r\n&\r\n&width=-1&\r\n");
    TempFile second("&title=Two&&height=5&");
    SDFTxtParser parser;
    parser.LoadFromFile(first.Path());
    parser.LoadFromFile(second.Path());
    EXPECT_EQ(parser.Entries(), (Table{{"height", "5"}, {"title", "One\n"}, {"width", "-1"}}));
}

TEST(SDFTxtParser, UnreadableFileLeavesAUsableParser) {
    SDFTxtParser parser;
    parser.LoadFromFile((std::filesystem::temp_directory_path() / "no such dir" / "Page_var.txt").string());
    EXPECT_TRUE(parser.Entries().empty());
    parser.LoadFromFile(std::filesystem::temp_directory_path().string());  // a folder
    EXPECT_TRUE(parser.Entries().empty());
    EXPECT_EQ(parser.GetValue("width"), "");
    TempFile empty("");
    parser.LoadFromFile(empty.Path());
    EXPECT_EQ(parser.Entries().size(), 1u);
}

}  // namespace
