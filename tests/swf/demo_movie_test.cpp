// The demo guide played as the projector plays it: its variables from the
// Page_var.txt it ships with, the pointer and the keys at stage pixels. Its
// navigation is a registered button class attached by script; its titles,
// counter, page bodies (the HTML files it ships) and search field are text
// fields the script drives.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/files/file_host.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "tools/moviegen/movies.h"

namespace swf {
namespace {

constexpr int kEnter = 13, kBackspace = 8;
// Button centres and a point inside the search field, in stage pixels.
constexpr double kClose[] = {142, 492}, kPrevious[] = {490, 492}, kNext[] = {658, 492}, kSearchBox[] = {480, 536};
// The recording page's play / pause button.
constexpr double kPlay[] = {142, 422};

class DemoFiles : public FileHost {
public:
    std::vector<std::string> read;
    // The screen recording the demo build makes, served when asked for.
    bool serveRecording = false;
    // Page bodies (pageN.html, shipped beside Page_var.txt) left out.
    std::set<std::string> withheld;
    FileReadResult ReadFile(const std::string& path, std::size_t) override {
        read.push_back(path);
        const std::string folder = "UserGuide_Page_img/", name = path.substr(std::min(path.size(), folder.size()));
        const std::string shipped =
            std::string(DEMO_VARIABLES_FILE).substr(0, std::string(DEMO_VARIABLES_FILE).rfind('/') + 1);
        const bool body = path.starts_with(folder) && name.starts_with("page") && name.ends_with(".html");
        const std::string file = path == folder + "Page_var.txt"                      ? DEMO_VARIABLES_FILE
                                 : path == folder + "recording.flv" && serveRecording ? "media/recording.flv"
                                 : body && !withheld.contains(name)                   ? shipped + name
                                                                                      : "";
        if (file.empty()) return {false, {}, "not in this test"};
        std::ifstream in(file, std::ios::binary);
        if (!in) return {false, {}, file + " is missing (made by the build)"};
        return {true, std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), {}};
    }
};

class CallRecorder : public ActionHost {
public:
    std::vector<std::string> calls;
    void FSCommand(const std::string& command, const std::string&) override { calls.push_back("fscommand " + command); }
    std::string FlashCall(const std::string& request) override {
        calls.push_back(request);
        return {};
    }
    void GetURL(const std::string& url, const std::string&) override { calls.push_back("url " + url); }
};

class DemoGuide : public ::testing::Test {
protected:
    void SetUp() override {
        player_.SetHost(&host_);
        player_.SetFileHost(&files_);
        player_.SetViewportSize(800, 600);
        ASSERT_TRUE(player_.Load(moviegen::BuildDemoMovie())) << player_.LoadError();
    }

    std::string Text(const std::string& name) { return Text(*player_.Root(), name); }
    std::string Text(MovieClip& clip, const std::string& name) {
        const EditTextInstance* field = Field(clip, name);
        return field != nullptr ? field->Model().Text() : std::string();
    }
    const EditTextInstance* Field(MovieClip& clip, const std::string& name) {
        for (const auto& [depth, object] : clip.Children()) {
            if (object->Kind() == DisplayKind::EditText && object->GetPlacement().name == name)
                return static_cast<const EditTextInstance*>(object.get());
        }
        ADD_FAILURE() << "no field " << name;
        return nullptr;
    }
    MovieClip& Button(const std::string& name) { return Clip(name); }
    MovieClip& Clip(const std::string& name) {
        MovieClip* clip = player_.Root()->FindChild(name);
        if (clip == nullptr) throw std::runtime_error("no clip " + name);
        return *clip;
    }
    std::string ButtonLabel(const std::string& name) { return ButtonLabel(Button(name)); }
    std::string ButtonLabel(MovieClip& button) {
        for (const auto& [depth, object] : button.Children()) {
            if (object->Kind() == DisplayKind::EditText) return static_cast<EditTextInstance&>(*object).Model().Text();
        }
        return "(no label)";
    }
    void Click(const double (&at)[2]) {
        player_.PointerMove(at[0], at[1]);
        player_.PointerDown(at[0], at[1]);
        player_.PointerUp(at[0], at[1]);
        player_.AdvanceFrame();
    }
    void Type(const std::string& text) {
        for (const char c : text) player_.TextInput(static_cast<char32_t>(c));
    }
    // Enter as the control passes it on: to the focused field, then to Key
    // listeners, then the character it types.
    void PressEnter() {
        player_.TextKeyDown(kEnter, false, false);
        player_.KeyDown(kEnter, kEnter);
        player_.TextInput(U'\r');
        player_.KeyUp(kEnter, kEnter);
        player_.AdvanceFrame();
    }
    bool Requested(const std::string& file) const {
        return std::find(files_.read.begin(), files_.read.end(), "UserGuide_Page_img/" + file) != files_.read.end();
    }

    Player player_;
    CallRecorder host_;
    DemoFiles files_;
};

TEST_F(DemoGuide, ScriptSetsTitlesAndCounterAndTheButtonClassTurnsThePages) {
    // Before the variables arrive: the placeholder title, one page, no turning.
    EXPECT_EQ(Text("guideTitle"), "User Guide");
    EXPECT_EQ(Text("counter"), "Page 1 of 1");
    EXPECT_FALSE(Button("previousButton").Visible());
    EXPECT_FALSE(Button("nextButton").Visible());
    // The buttons' labels come from attachMovie's init objects.
    EXPECT_EQ(ButtonLabel("closeButton"), "Close");
    EXPECT_EQ(ButtonLabel("previousButton"), "Previous");
    EXPECT_EQ(ButtonLabel("nextButton"), "Next");

    player_.AdvanceFrame();  // Page_var.txt is read
    EXPECT_EQ(Text("guideTitle"), "Quick Start Guide");
    EXPECT_EQ(Text("pageTitle"), "Moving the window");
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    EXPECT_FALSE(Button("previousButton").Visible());
    EXPECT_TRUE(Button("nextButton").Visible());

    // The hidden Previous takes no click.
    Click(kPrevious);
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    EXPECT_TRUE(Requested("page1.jpg"));  // asked for once the variables came

    // Over and pressed, Next shows its other frames; released, the next page.
    MovieClip& next = Button("nextButton");
    EXPECT_EQ(next.CurrentFrame(), Button("closeButton").CurrentFrame());
    const auto upFrame = next.CurrentFrame();
    player_.PointerMove(kNext[0], kNext[1]);
    EXPECT_EQ(next.CurrentFrame(), upFrame + 1);  // over
    player_.PointerDown(kNext[0], kNext[1]);
    EXPECT_EQ(next.CurrentFrame(), upFrame + 2);  // down
    player_.PointerUp(kNext[0], kNext[1]);
    EXPECT_EQ(next.CurrentFrame(), upFrame + 1);
    player_.AdvanceFrame();
    EXPECT_EQ(Text("counter"), "Page 2 of 4");
    EXPECT_EQ(Text("pageTitle"), "Resizing the window");
    EXPECT_TRUE(Requested("page2.jpg"));
    EXPECT_TRUE(Button("previousButton").Visible());
    player_.PointerMove(10, 10);
    EXPECT_EQ(next.CurrentFrame(), upFrame);  // rolled out

    Click(kNext);
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    EXPECT_TRUE(Requested("page3.png"));
    Click(kNext);
    EXPECT_EQ(Text("counter"), "Page 4 of 4");
    EXPECT_EQ(Text("pageTitle"), "Watch how");
    EXPECT_FALSE(Button("nextButton").Visible());
    Click(kNext);  // hidden now
    EXPECT_EQ(Text("counter"), "Page 4 of 4");

    Click(kPrevious);
    Click(kPrevious);
    EXPECT_EQ(Text("counter"), "Page 2 of 4");
    EXPECT_EQ(Text("pageTitle"), "Resizing the window");
    EXPECT_TRUE(host_.calls.empty());

    // Close is the movie's only call to its host.
    Click(kClose);
    ASSERT_EQ(host_.calls.size(), 1u);
    EXPECT_NE(host_.calls[0].find("<invoke name=\"close\""), std::string::npos) << host_.calls[0];
    // Scripts ran through: the only warnings are the files this test does not serve.
    for (const std::string& warning : player_.Warnings())
        EXPECT_NE(warning.find("UserGuide_Page_img/"), std::string::npos) << warning;
}

TEST_F(DemoGuide, TheRecordingPagePlaysItsFileFromTheStartPausesAndClosesWhenLeft) {
    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) player_.AdvanceFrame();
    };
    player_.AdvanceFrame();
    MovieClip& recording = Clip("recording");
    EXPECT_FALSE(recording.Visible());  // not on the picture pages
    MovieClip* play = recording.FindChild("playButton");
    ASSERT_NE(play, nullptr);

    // A missing recording says so on its page.
    Click(kSearchBox);
    Type("watch");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 4 of 4");
    EXPECT_EQ(Text("pageTitle"), "Watch how");
    EXPECT_TRUE(Requested("recording.flv"));
    frames(2);
    EXPECT_TRUE(recording.Visible());
    EXPECT_EQ(Text(recording, "clock"), "The recording is missing");

    // Back and forth once the file is there: it plays from its start, its
    // length from the file's metadata (ffmpeg writes 9 s).
    files_.serveRecording = true;
    Click(kPrevious);
    EXPECT_FALSE(recording.Visible());
    Click(kNext);
    EXPECT_TRUE(recording.Visible());
    EXPECT_EQ(ButtonLabel(*play), "Pause");
    frames(6);
    EXPECT_EQ(Text(recording, "clock"), "0:00 / 0:09");
    frames(60);  // 2.5 s at 24 fps
    EXPECT_EQ(Text(recording, "clock"), "0:02 / 0:09");

    // Paused, the time stands; pressed again, it goes on.
    Click(kPlay);
    EXPECT_EQ(ButtonLabel(*play), "Play");
    frames(48);
    EXPECT_EQ(Text(recording, "clock"), "0:02 / 0:09");
    Click(kPlay);
    EXPECT_EQ(ButtonLabel(*play), "Pause");
    frames(24);
    EXPECT_EQ(Text(recording, "clock"), "0:03 / 0:09");

    // At its end it stops, showing its whole length, and Play starts it
    // again from the start.
    frames(24 * 8);
    EXPECT_EQ(ButtonLabel(*play), "Play");
    EXPECT_EQ(Text(recording, "clock"), "0:09 / 0:09");
    Click(kPlay);
    EXPECT_EQ(ButtonLabel(*play), "Pause");
    frames(6);
    EXPECT_EQ(Text(recording, "clock"), "0:00 / 0:09");

    // Leaving the page closes the stream: the read-out stops where it was,
    // and coming back starts from the start again.
    frames(48);
    Click(kPrevious);
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    EXPECT_FALSE(recording.Visible());
    const std::string left = Text(recording, "clock");
    frames(24);
    EXPECT_EQ(Text(recording, "clock"), left);
    Click(kNext);
    frames(6);
    EXPECT_EQ(Text(recording, "clock"), "0:00 / 0:09");
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(DemoGuide, ArrowAndPageKeysTurnThePagesButMoveTheCaretInTheSearchField) {
    player_.AdvanceFrame();
    ASSERT_EQ(Text("counter"), "Page 1 of 4");
    const auto press = [&](int key) {
        // As the control passes keys on: the focused field first, then Key listeners.
        if (!player_.TextKeyDown(key, false, false)) player_.KeyDown(key, 0);
        player_.KeyUp(key, 0);
        player_.AdvanceFrame();
    };
    constexpr int kLeft = 37, kRight = 39, kPageUp = 33, kPageDown = 34;
    press(kRight);
    EXPECT_EQ(Text("counter"), "Page 2 of 4");
    press(kPageDown);
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    press(kPageDown);
    press(kPageDown);  // no page after the last
    EXPECT_EQ(Text("counter"), "Page 4 of 4");
    press(kLeft);
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    press(kPageUp);
    press(kPageUp);
    press(kPageUp);  // none before the first
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    press(40);  // Down turns nothing
    EXPECT_EQ(Text("counter"), "Page 1 of 4");

    // In the search field the arrows move the caret: the page stays.
    Click(kSearchBox);
    ASSERT_TRUE(player_.HasTextFocus());
    Type("ab");
    player_.KeyDown(kLeft, 0);  // even when a host passes it on to the listeners as well
    player_.KeyUp(kLeft, 0);
    player_.AdvanceFrame();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
}

TEST_F(DemoGuide, EnterInTheSearchFieldGoesToTheFirstPageWhoseTitleHasTheWord) {
    player_.AdvanceFrame();
    // Enter with no field focused searches nothing.
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");

    Click(kSearchBox);
    ASSERT_TRUE(player_.HasTextFocus());
    Type("CLOS");                               // in "Closing the guide", whatever the case
    EXPECT_EQ(Text("counter"), "Page 1 of 4");  // not before Enter
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    EXPECT_EQ(Text("pageTitle"), "Closing the guide");
    EXPECT_TRUE(Requested("page3.png"));

    // The first match wins: "window" is in pages 1 and 2.
    for (int i = 0; i < 4; ++i) player_.TextKeyDown(kBackspace, false, false);
    Type("window");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    for (int i = 0; i < 6; ++i) player_.TextKeyDown(kBackspace, false, false);
    Type("Resiz");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 2 of 4");

    // A page number goes to that page; one past the last is searched as a word.
    for (int i = 0; i < 5; ++i) player_.TextKeyDown(kBackspace, false, false);
    Type("1");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    player_.TextKeyDown(kBackspace, false, false);
    Type("5");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    EXPECT_EQ(Text("pageTitle"), "No page matches \"5\"");

    // A miss says so and stays on the page; typing again brings the title back.
    player_.TextKeyDown(kBackspace, false, false);
    Type("zebra");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 1 of 4");
    EXPECT_EQ(Text("pageTitle"), "No page matches \"zebra\"");
    Type("s");
    EXPECT_EQ(Text("pageTitle"), "Moving the window");
    EXPECT_TRUE(host_.calls.empty());
}

// The run of the page body holding `words`, or null.
const text::FormattedRun* RunWith(const EditTextInstance& field, const std::u32string& words) {
    for (const text::FormattedRun& run : field.Model().Runs())
        if (run.text.find(words) != std::u32string::npos) return &run;
    return nullptr;
}

TEST_F(DemoGuide, EachPageShowsItsHtmlBodyAndTheSearchFindsWordsOfTheBodiesAfterTheTitles) {
    player_.AdvanceFrame();  // Page_var.txt, then the bodies it names
    player_.AdvanceFrame();
    EXPECT_TRUE(Requested("page1.html"));
    EXPECT_TRUE(Requested("page3.html"));
    EXPECT_FALSE(Requested("page4.html"));  // the recording page names none
    // The markup is read, not shown: plain words in the text, bold where <b> says.
    const std::string body1 = Text("pageBody");
    EXPECT_NE(body1.find("Press on the title bar and drag it to move the window"), std::string::npos) << body1;
    EXPECT_EQ(body1.find('<'), std::string::npos) << body1;
    const EditTextInstance* field = Field(*player_.Root(), "pageBody");
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->Model().Html());
    const text::FormattedRun* bold = RunWith(*field, U"title bar");
    ASSERT_NE(bold, nullptr);
    EXPECT_TRUE(bold->format.bold);
    EXPECT_EQ(bold->format.face, "_sans");
    ASSERT_NE(RunWith(*field, U"The logo"), nullptr);
    EXPECT_FALSE(RunWith(*field, U"The logo")->format.bold);
    ASSERT_NE(RunWith(*field, U"Next"), nullptr);
    EXPECT_TRUE(RunWith(*field, U"Next")->format.italic);

    // Turning the pages shows each page's body; the recording page has none.
    Click(kNext);
    EXPECT_NE(Text("pageBody").find("Drag the small grip at the lower right corner"), std::string::npos);
    Click(kNext);
    EXPECT_NE(Text("pageBody").find("Press Close below the page"), std::string::npos);
    Click(kNext);
    EXPECT_EQ(Text("counter"), "Page 4 of 4");
    EXPECT_EQ(Text("pageBody"), "");

    // Words of a body only, whatever their case and across its tags.
    const auto search = [&](const std::string& word) {
        Click(kSearchBox);
        for (int i = 0; i < 40; ++i) player_.TextKeyDown(kBackspace, false, false);
        Type(word);
        PressEnter();
        return Text("counter");
    };
    EXPECT_EQ(search("GRIP"), "Page 2 of 4");
    EXPECT_EQ(Text("pageTitle"), "Resizing the window");
    EXPECT_NE(Text("pageBody").find("grip"), std::string::npos);
    EXPECT_EQ(search("grip at the lower"), "Page 2 of 4");
    EXPECT_EQ(search("caption"), "Page 1 of 4");
    EXPECT_EQ(search("maximise"), "Page 2 of 4");
    // A title wins over an earlier page's body: "guide" is in page 1's text
    // and in page 3's title.
    EXPECT_EQ(search("guide"), "Page 3 of 4");
    // The markup itself is not searched.
    EXPECT_EQ(search("b>"), "Page 3 of 4");
    EXPECT_EQ(Text("pageTitle"), "No page matches \"b>\"");
    EXPECT_EQ(search("font"), "Page 3 of 4");
    EXPECT_EQ(Text("pageTitle"), "No page matches \"font\"");
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(DemoGuide, AMissingBodyLeavesItsPageWithoutTextAndThePagingAndSearchGoOn) {
    files_.withheld = {"page2.html"};
    player_.AdvanceFrame();
    player_.AdvanceFrame();
    EXPECT_TRUE(Requested("page2.html"));
    EXPECT_NE(Text("pageBody").find("title bar"), std::string::npos);
    Click(kNext);
    EXPECT_EQ(Text("counter"), "Page 2 of 4");
    EXPECT_EQ(Text("pageTitle"), "Resizing the window");
    EXPECT_EQ(Text("pageBody"), "");  // page 1's text is not left behind
    Click(kNext);
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    EXPECT_NE(Text("pageBody").find("Previous goes back a page"), std::string::npos);

    Click(kSearchBox);
    Type("grip");
    PressEnter();
    EXPECT_EQ(Text("counter"), "Page 3 of 4");
    EXPECT_EQ(Text("pageTitle"), "No page matches \"grip\"");
    Click(kPrevious);
    EXPECT_EQ(Text("counter"), "Page 2 of 4");
    for (const std::string& warning : player_.Warnings())
        EXPECT_NE(warning.find("UserGuide_Page_img/"), std::string::npos) << warning;
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

// A WAV file of 16-bit mono PCM at 22 kHz: `frames` samples at `level`.
std::vector<std::uint8_t> Wav(std::uint32_t frames, std::int16_t level) {
    std::vector<std::uint8_t> w;
    const auto put = [&](const char* text) { w.insert(w.end(), text, text + 4); };
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) w.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto u16 = [&](std::uint16_t v) {
        w.push_back(static_cast<std::uint8_t>(v));
        w.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    put("RIFF");
    u32(36 + 2 * frames);
    put("WAVE");
    put("fmt ");
    u32(16);
    u16(1), u16(1), u32(22050), u32(44100), u16(2), u16(16);
    put("data");
    u32(2 * frames);
    for (std::uint32_t i = 0; i < frames; ++i) u16(static_cast<std::uint16_t>(level));
    return w;
}

}  // namespace

TEST(DemoGuideSound, ButtonsClickAndSoundOffMutesTheGuide) {
    const moviegen::DemoSounds sounds{{}, Wav(2205, 3000)};
    Player player;
    player.SetViewportSize(800, 600);
    ASSERT_TRUE(player.Load(moviegen::BuildDemoMovie(&sounds))) << player.LoadError();
    const auto mixed = [&](std::size_t frames) {
        std::vector<std::int16_t> out(2 * frames);
        player.MixAudio(out);
        return out;
    };
    MovieClip* button = player.Root()->FindChild("soundButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(mixed(100)[2 * 50], 0);  // no intro given: quiet
    // Pressing shows the button's "down" frame, which clicks.
    player.PointerMove(630, 108);
    player.PointerDown(630, 108);
    EXPECT_EQ(mixed(1000)[2 * 800], 3000);
    // Letting go mutes the guide: the click goes quiet, and the next press is silent.
    player.PointerUp(630, 108);
    player.AdvanceFrame();
    EXPECT_EQ(mixed(1000)[2 * 800], 0);
    player.PointerDown(630, 108);
    EXPECT_EQ(mixed(1000)[2 * 800], 0);
    // Sound on again (once the silent clicks have played out): the click is heard.
    player.PointerUp(630, 108);
    player.AdvanceFrame();
    mixed(5000);
    player.PointerDown(630, 108);
    EXPECT_EQ(mixed(1000)[2 * 800], 3000);
}

}  // namespace swf
