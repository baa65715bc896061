// The start-up sequence seen from outside: window texts, error boxes and exit codes.

#include <gtest/gtest.h>

#include "tests/windows/driver/gui_driver.h"

namespace {

std::string g_probe;
std::string g_stub;

using namespace driver;

TEST(StartUpSequence, NormalRunShowsTheWindowAndEndsWithZero) {
    Process probe(g_probe, "normal");
    ASSERT_TRUE(probe.Started());
    HWND form = WaitFor([&] { return FindWindowOf(probe.Id(), "TProbeForm"); }, 20s);
    ASSERT_TRUE(form);
    EXPECT_EQ(TextOf(form), "ProbeForm created");

    HWND app = FindWindowOf(probe.Id(), "TApplication", false);
    ASSERT_TRUE(app);
    EXPECT_EQ(TextOf(app), "User Guide     ");
    EXPECT_FALSE(FindWindowOf(probe.Id(), "#32770"));

    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(probe.WaitForExit(20s), 0u);
}

TEST(StartUpSequence, TheLoopTakesItsQuitMessageSoALaterBoxWaits) {
    Process probe(g_probe, "box-after-loop");
    ASSERT_TRUE(probe.Started());
    HWND form = WaitFor([&] { return FindWindowOf(probe.Id(), "TProbeForm"); }, 20s);
    ASSERT_TRUE(form);
    PostMessageA(form, WM_CLOSE, 0, 0);
    auto box = WaitForMessageBox(probe.Id(), 20s);
    ASSERT_TRUE(box) << "the box after the loop never showed or closed at once";
    EXPECT_EQ(box->text, "After the loop");
    // Still there a moment later: nothing ended it but the answer.
    Sleep(1000);
    ASSERT_TRUE(ReadMessageBox(FindWindowOf(probe.Id(), "#32770")));
    PressOk(*box);
    EXPECT_EQ(probe.WaitForExit(20s), 0u);
}

TEST(StartUpSequence, FailingConstructionReportsOnceAndShowsNoWindow) {
    Process probe(g_probe, "construct-throws");
    auto box = WaitForMessageBox(probe.Id(), 20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    EXPECT_EQ(box->text, "Class not registered.");
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(FindWindowOf(probe.Id(), "TProbeForm"));

    PressOk(*box);
    EXPECT_EQ(probe.WaitForExit(20s), 0u);
}

TEST(StartUpSequence, ForeignThrowGivesAnEmptyReport) {
    Process probe(g_probe, "foreign-throw");
    auto box = WaitForMessageBox(probe.Id(), 20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    EXPECT_EQ(box->text, "");
    PressOk(*box);
    EXPECT_EQ(probe.WaitForExit(20s), 0u);
}

TEST(StartUpSequence, FailingCreationHandlerReportsThenTheWindowOpens) {
    Process probe(g_probe, "create-throws");
    auto box = WaitForMessageBox(probe.Id(), 20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "User Guide     ");
    EXPECT_EQ(box->text, "Range check error.");
    EXPECT_FALSE(FindWindowOf(probe.Id(), "TProbeForm"));  // not shown before the report is answered
    PressOk(*box);

    HWND form = WaitFor([&] { return FindWindowOf(probe.Id(), "TProbeForm"); }, 20s);
    ASSERT_TRUE(form);
    EXPECT_EQ(TextOf(form), "ProbeForm");  // the handler stopped before its own change
    Pause(300ms);
    EXPECT_FALSE(FindWindowOf(probe.Id(), "#32770"));  // exactly one report

    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(probe.WaitForExit(20s), 0u);
}

// The installer's reports, as provisioning shows them before any window: the
// program's own name as caption, the text with its line feed, one OK button;
// once answered, start-up goes on to the window.
TEST(StartUpSequence, InstallerReportsAreShownAndStartUpGoesOn) {
    struct Case {
        std::string arguments;
        const char* text;  // nullptr: no report
    };
    const Case cases[] = {
        {"installer " + g_stub + " 259", "Process is still active\n"},
        {"installer-no-wait " + g_stub, "Process is still active\n"},
        {"installer-no-query " + g_stub, "GetExitCodeProcess() failed\n"},
        {"installer " + g_stub + " 1603", nullptr},
        {"installer " + g_stub + " 3010", nullptr},
        {"installer Z:\\no\\such\\installer.exe 0", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Process probe(g_probe, c.arguments);
        ASSERT_TRUE(probe.Started());
        if (c.text) {
            auto box = WaitForMessageBox(probe.Id(), 20s);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->caption, "app_probe");
            EXPECT_EQ(box->text, c.text);
            EXPECT_FALSE(box->hasIcon);
            EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
            EXPECT_FALSE(FindWindowOf(probe.Id(), "TProbeForm"));
            PressOk(*box);
        }
        HWND form = WaitFor([&] { return FindWindowOf(probe.Id(), "TProbeForm"); }, 20s);
        ASSERT_TRUE(form);
        EXPECT_FALSE(FindWindowOf(probe.Id(), "#32770"));
        PostMessageA(form, WM_CLOSE, 0, 0);
        EXPECT_EQ(probe.WaitForExit(20s), 0u);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_sequence_test PROBE.EXE STUB_INSTALLER.EXE\n");
        return 2;
    }
    g_probe = argv[1];
    g_stub = argv[2];
    return RUN_ALL_TESTS();
}
