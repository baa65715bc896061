// The start-up sequence seen from outside: window texts, error boxes and exit codes.

#include <gtest/gtest.h>

#include "gui_driver.h"

namespace {

std::string g_probe;

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

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: app_sequence_test PROBE.EXE\n");
        return 2;
    }
    g_probe = argv[1];
    return RUN_ALL_TESTS();
}
