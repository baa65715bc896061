// Which names a movie may load: its folder and below, nothing else.

#include <gtest/gtest.h>

#include <string>

#include "swf/files/movie_path.h"

namespace swf {
namespace {

std::string Accepted(const std::string& url) {
    std::string why;
    std::string path = ConfineMoviePath(url, &why);
    EXPECT_FALSE(path.empty()) << url << ": " << why;
    EXPECT_TRUE(why.empty()) << url;
    return path;
}

TEST(MoviePath, RelativeNamesAndRelativeFileUrlsAreAccepted) {
    EXPECT_EQ(Accepted("page1.jpg"), "page1.jpg");
    EXPECT_EQ(Accepted("UserGuide_Page_img/Page_var.txt"), "UserGuide_Page_img/Page_var.txt");
    EXPECT_EQ(Accepted("sub\\x.png"), "sub/x.png");
    EXPECT_EQ(Accepted("./a.txt"), "a.txt");
    EXPECT_EQ(Accepted("a/./b//c.txt"), "a/b/c.txt");
    EXPECT_EQ(Accepted("file:page1.jpg"), "page1.jpg");
    EXPECT_EQ(Accepted("FILE:sub/page%201.jpg"), "sub/page 1.jpg");
    EXPECT_EQ(Accepted("page1.jpg?x=1"), "page1.jpg");
    EXPECT_EQ(Accepted("50%.txt"), "50%.txt");        // a '%' that escapes nothing stays
    EXPECT_EQ(Accepted("%252e%252e/a"), "%2e%2e/a");  // decoded once: a folder named "%2e%2e"
    EXPECT_EQ(Accepted("console.txt"), "console.txt");
    EXPECT_EQ(Accepted("COM10.txt"), "COM10.txt");
    EXPECT_EQ(Accepted("auxiliary/nully.png"), "auxiliary/nully.png");
    EXPECT_EQ(Accepted("..a/b..c/.d"), "..a/b..c/.d");
    EXPECT_EQ(Accepted("Seite_\xC3\xBC.jpg"), "Seite_\xC3\xBC.jpg");
}

TEST(MoviePath, EverythingThatCouldLeadOutsideIsRefused) {
    const char* refused[] = {
        // empty and NUL
        "",
        "?x=1",
        ".",
        "./",
        "a\\..\\..",
        "%00",
        "a%00.txt",
        // absolute
        "/etc/passwd",
        "\\x",
        "\\windows\\win.ini",
        "file:/etc/passwd",
        "file:///etc/passwd",
        "file:///C:/x.txt",
        "file://server/share/x",
        "file:\\\\server\\share\\x",
        "%2fetc%2fpasswd",
        "%5cx",
        // drive letters
        "C:x",
        "C:\\x",
        "c:/x",
        "file:C:/x",
        "C%3a\\x",
        "sub/C:x",
        // parent segments, also encoded and with mixed separators
        "..",
        "../x",
        "a/../../x",
        "a\\..\\x",
        "a/..\\x",
        "%2e%2e/x",
        "%2E%2E%2Fx",
        "a%2f..%5cx",
        "file:../x",
        "..%2fx",
        ". ./x",
        ".. /x",
        "... /x",
        "a/.../x",
        "x.",
        "x ",
        // UNC
        "\\\\server\\share",
        "//server",
        "//server/share/x",
        "\\\\?\\C:\\x",
        "\\\\.\\PhysicalDrive0",
        // devices, any case, with extensions, in any segment
        "CON",
        "con",
        "Con.txt",
        "PRN",
        "AUX.png",
        "NUL",
        "nul.jpg",
        "COM1",
        "com9.txt",
        "LPT1",
        "lpt9.log",
        "sub/CON",
        "sub/aux.txt/x",
        "CONIN$",
        "conout$",
        "NUL /x",
        "COM\xC2\xB9",
        // alternate data streams
        "a.txt:hidden",
        "a.txt::$DATA",
        "sub:stream/x",
        // other schemes
        "http://example.com/a.txt",
        "https://x/y",
        "ftp://x/y",
        "javascript:alert(1)",
        "asfunction:f,a",
        "mailto:a@b",
        "HTTP:a.txt",
        "%68ttp://x",
        // characters Windows names cannot hold
        "a*.txt",
        "a|b",
        "a<b",
        "a>b",
        "a\"b",
        "a\tb",
        "a\nb",
    };
    for (const char* url : refused) {
        std::string why;
        EXPECT_EQ(ConfineMoviePath(url, &why), "") << url;
        EXPECT_FALSE(why.empty()) << url;
    }
    std::string why;
    EXPECT_EQ(ConfineMoviePath(std::string("a\0b", 3), &why), "");
    EXPECT_EQ(ConfineMoviePath(std::string(2000, 'a'), &why), "");
}

}  // namespace
}  // namespace swf
