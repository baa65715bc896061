// What scripts reach outside the VM: the host (fscommand, GetURL,
// ExternalInterface) and the timelines (play, stop, goto, targets).

#include <gtest/gtest.h>

#include "tests/actions/fakes.h"
#include "swf/actions/external_interface.h"

using namespace actions_test;
using swf::actions::RunStatus;
using swf::writer::ActionAssembler;
using swf::writer::ActionCode;
using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(ActionHost, FsCommandAndGetUrl) {
    Machine m;
    ActionAssembler a;
    a.FsCommand("quit", "now");
    a.GetURL("fscommand:fullscreen", "true");  // the prefix is matched without regard to case
    a.GetURL("http://example.com/", "_blank");
    // GetURL2 takes the URL and the target from the stack.
    a.PushString("FSCommand:").PushString("show").Action(ActionCode::StringAdd).PushString("menu").GetURL2(0);
    a.PushString("page.html").PushString("_self").GetURL2(0);
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.host.fscommands, (Pairs{{"quit", "now"}, {"fullscreen", "true"}, {"show", "menu"}}));
    EXPECT_EQ(m.host.urls, (Pairs{{"http://example.com/", "_blank"}, {"page.html", "_self"}}));
}

TEST(ActionHost, ExternalInterfaceCallRequests) {
    Machine m;
    ActionAssembler close;
    close.ExternalInterfaceCall("close");
    EXPECT_EQ(m.Run(close), RunStatus::Completed);

    // call("say", "a<b & \"c\" 'd'>", 42, true, false, 1.5, null, undefined)
    ActionAssembler say;
    say.PushUndefined().PushNull().PushNumber(1.5).PushBool(false).PushBool(true).PushNumber(42);
    say.PushString("a<b & \"c\" 'd'>").PushString("say").PushNumber(8);
    say.PushString("flash").Action(ActionCode::GetVariable).PushString("external").Action(ActionCode::GetMember);
    say.PushString("ExternalInterface").Action(ActionCode::GetMember).PushString("call").Action(ActionCode::CallMethod);
    say.Action(ActionCode::Pop);
    EXPECT_EQ(m.Run(say), RunStatus::Completed);

    // Arrays and objects nest as properties.
    ActionAssembler nested;
    nested.PushString("k&").PushString("v").PushNumber(1).Action(ActionCode::InitObject);
    nested.PushString("x").PushNumber(7).PushNumber(2).Action(ActionCode::InitArray);
    nested.PushString("data").PushNumber(3);
    nested.PushString("flash.external.ExternalInterface").Action(ActionCode::GetVariable);
    nested.PushString("call").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    EXPECT_EQ(m.Run(nested), RunStatus::Completed);

    ASSERT_EQ(m.host.requests.size(), 3u);
    EXPECT_EQ(m.host.requests[0], "<invoke name=\"close\" returntype=\"xml\"><arguments></arguments></invoke>");
    EXPECT_EQ(m.host.requests[1],
              "<invoke name=\"say\" returntype=\"xml\"><arguments>"
              "<string>a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;</string><number>42</number><true/><false/>"
              "<number>1.5</number><null/><undefined/></arguments></invoke>");
    EXPECT_EQ(m.host.requests[2],
              "<invoke name=\"data\" returntype=\"xml\"><arguments>"
              "<array><property id=\"0\"><number>7</number></property><property id=\"1\"><string>x</string>"
              "</property></array><object><property id=\"k&amp;\"><string>v</string></property></object>"
              "</arguments></invoke>");
}

TEST(ActionHost, ExternalInterfaceAnswers) {
    auto ask = [](const std::string& answer) {
        Machine m;
        m.host.answer = answer;
        return m.Eval([](ActionAssembler& a) {
            a.PushString("ask")
                .PushNumber(1)
                .PushString("flash.external.ExternalInterface")
                .Action(ActionCode::GetVariable);
            a.PushString("call").Action(ActionCode::CallMethod);
        });
    };
    EXPECT_EQ(ask("<string>ok &amp; done</string>"), "string:ok & done");
    EXPECT_EQ(ask(" <number>-7.5</number>\n"), "number:-7.5");
    EXPECT_EQ(ask("<true/>"), "boolean:true");
    EXPECT_EQ(ask("<false/>"), "boolean:false");
    EXPECT_EQ(ask("<null/>"), "null");
    EXPECT_EQ(ask(""), "undefined");
    EXPECT_EQ(ask("<number>abc</number>"), "undefined");
    EXPECT_EQ(ask("<string>unterminated"), "undefined");
    // Arrays and objects arrive as script values; a malformed one is undefined.
    EXPECT_EQ(ask("<array><property id=\"0\"><number>1</number></property><property id=\"1\"><string>b</string>"
                  "</property></array>"),
              "object:1,b");
    EXPECT_EQ(ask("<object></object>"), "object:[object Object]");
    EXPECT_EQ(ask("<array>"), "undefined");

    EXPECT_EQ(swf::actions::UnescapeXml("&lt;&amp;amp;&gt;&bogus;"), "<&amp;>&bogus;");
}

TEST(ActionHost, TimelineControl) {
    Machine m;
    m.target.labels["intro"] = 6;
    ActionAssembler a;
    a.Action(ActionCode::Stop).Action(ActionCode::Play).Action(ActionCode::NextFrame).Action(ActionCode::PrevFrame);
    a.GotoFrame(3).GotoLabel("intro").GotoLabel("nowhere");
    a.PushNumber(5).GotoFrame2(true);          // gotoAndPlay(5): frames count from 1 here
    a.PushString("intro").GotoFrame2(false);   // gotoAndStop("intro")
    a.PushString("2").GotoFrame2(false);       // numeric text is a frame number
    a.PushNumber(2).GotoFrame2(true, 10);      // scene bias
    a.PushString("missing").GotoFrame2(true);  // unknown label: nothing happens
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.target.calls,
              (std::vector<std::string>{"main.stop", "main.play", "main.next", "main.prev", "main.goto 3",
                                        "main.label intro", "main.label nowhere (missing)", "main.goto 4", "main.play",
                                        "main.label intro", "main.stop", "main.goto 1", "main.stop", "main.goto 11",
                                        "main.play", "main.label missing (missing)"}));

    // Clip methods and frame properties.
    m.target.calls.clear();
    m.target.frame = 4;
    ActionAssembler b;
    b.PushString("f").PushString("_currentframe").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    b.PushString("t").PushString("this._totalframes").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    b.PushString("intro").PushNumber(1).PushString("this").Action(ActionCode::GetVariable);
    b.PushString("gotoAndStop").Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    b.PushNumber(0)
        .PushString("_root")
        .Action(ActionCode::GetVariable)
        .PushString("play")
        .Action(ActionCode::CallMethod);
    EXPECT_EQ(m.Run(b), RunStatus::Completed);
    EXPECT_EQ(m.Var("f"), "number:5");
    EXPECT_EQ(m.Var("t"), "number:10");
    EXPECT_EQ(m.target.calls, (std::vector<std::string>{"main.label intro", "main.stop", "main.play"}));
}

TEST(ActionHost, ToggleQuality) {
    Machine m;
    ActionAssembler toggle;
    toggle.Action(0x08);
    toggle.PushString("q").PushString("_quality").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(toggle), RunStatus::Completed);
    EXPECT_EQ(m.Var("q"), "string:LOW");  // the player starts at high quality
    EXPECT_EQ(m.Run(toggle), RunStatus::Completed);
    EXPECT_EQ(m.Var("q"), "string:HIGH");
    m.vm.displaySettings().quality = "BEST";
    EXPECT_EQ(m.Run(toggle), RunStatus::Completed);
    EXPECT_EQ(m.Var("q"), "string:LOW");
}

TEST(ActionHost, SetTargetAndRoot) {
    Machine m;
    FakeTarget child("child");
    m.target.children["child"] = &child;
    m.vm.SetRoot(&m.target);
    ActionAssembler a;
    a.SetTarget("child").Action(ActionCode::Play);
    a.PushString("inChild").PushNumber(1).Action(ActionCode::SetVariable);
    a.SetTarget("nowhere").Action(ActionCode::Stop);  // an unknown target swallows timeline actions
    a.SetTarget("").Action(ActionCode::NextFrame);
    a.PushString("child:viaPath").PushNumber(2).Action(ActionCode::SetVariable);
    a.PushString("_root").Action(0x20).Action(ActionCode::Stop);  // SetTarget2 from the stack
    EXPECT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(child.calls, (std::vector<std::string>{"child.play"}));
    EXPECT_EQ(m.target.calls, (std::vector<std::string>{"main.next", "main.stop"}));
    EXPECT_EQ(m.vm.ToText(m.vm.GetVariable(child, "inChild")), "1");
    EXPECT_EQ(m.vm.ToText(m.vm.GetVariable(child, "viaPath")), "2");
    EXPECT_EQ(m.Var("inChild"), "undefined");

    // Code running on the child sees the main timeline as _root.
    ActionAssembler b;
    b.PushString("_root")
        .Action(ActionCode::GetVariable)
        .PushString("fromChild")
        .PushString("hi")
        .Action(ActionCode::SetMember);
    auto bytes = b.Finish();
    EXPECT_EQ(m.vm.Run(bytes, child, m.host), RunStatus::Completed);
    EXPECT_EQ(m.Var("fromChild"), "string:hi");

    // Named children and _parent read as members of a timeline.
    child.children["_parent"] = &m.target;
    child.calls.clear();
    ActionAssembler members;
    members.PushNumber(0)
        .PushString("child")
        .Action(ActionCode::GetVariable)
        .PushString("play")
        .Action(ActionCode::CallMethod);
    members.PushString("childFrames")
        .PushString("child._totalframes")
        .Action(ActionCode::GetVariable)
        .Action(ActionCode::SetVariable);
    members.PushString("nobody").PushString("ghost").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    EXPECT_EQ(m.Run(members), RunStatus::Completed);
    EXPECT_EQ(child.calls, (std::vector<std::string>{"child.play"}));
    EXPECT_EQ(m.Var("childFrames"), "number:10");
    EXPECT_EQ(m.Var("nobody"), "undefined");
    ActionAssembler up;
    up.PushString("_parent")
        .Action(ActionCode::GetVariable)
        .PushString("viaParent")
        .PushNumber(3)
        .Action(ActionCode::SetMember);
    bytes = up.Finish();
    EXPECT_EQ(m.vm.Run(bytes, child, m.host), RunStatus::Completed);
    EXPECT_EQ(m.Var("viaParent"), "number:3");

    // A forgotten timeline is never called again, even through saved references.
    ActionAssembler keep;
    keep.PushString("saved").PushString("this").Action(ActionCode::GetVariable).Action(ActionCode::SetVariable);
    bytes = keep.Finish();
    ASSERT_EQ(m.vm.Run(bytes, child, m.host), RunStatus::Completed);
    ActionAssembler copy;
    copy.PushString("_root").Action(ActionCode::GetVariable).PushString("kept");
    copy.PushString("saved").Action(ActionCode::GetVariable).Action(ActionCode::SetMember);
    bytes = copy.Finish();
    ASSERT_EQ(m.vm.Run(bytes, child, m.host), RunStatus::Completed);
    m.vm.Forget(child);
    child.calls.clear();
    ActionAssembler c;
    c.PushNumber(0)
        .PushString("kept")
        .Action(ActionCode::GetVariable)
        .PushString("play")
        .Action(ActionCode::CallMethod);
    EXPECT_EQ(m.Run(c), RunStatus::Completed);
    EXPECT_TRUE(child.calls.empty());
}
