// The XML value form hosts and movies exchange through ExternalInterface,
// read back into script values, and the host's calls into the functions a
// movie registers with addCallback.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "swf/actions/external_interface.h"
#include "swf/actions/interpreter.h"
#include "swf/writer/script_expressions.h"
#include "tests/actions/fakes.h"

namespace {

using namespace actions_test;
using swf::actions::DecodeInvokeRequest;
using swf::actions::DecodeXmlValue;
using swf::actions::EncodeXmlValue;
using swf::actions::Interpreter;
using swf::actions::InvokeRequest;
using swf::actions::Value;
using swf::writer::ActionAssembler;
namespace s = swf::writer::script;

// Decodes `xml` and encodes the value again; "error: ..." when it is refused.
std::string RoundTrip(Machine& m, const std::string& xml) {
    Interpreter in(m.vm, m.host);
    Value v;
    std::string error;
    if (!DecodeXmlValue(xml, in, v, error)) return "error: " + error;
    return EncodeXmlValue(v, m.vm.swfVersion());
}

std::string Nested(const std::string& open, const std::string& close, int depth, const std::string& inner) {
    std::string xml;
    for (int i = 0; i < depth; ++i) xml += open;
    xml += inner;
    for (int i = 0; i < depth; ++i) xml += close;
    return xml;
}

TEST(ExternalInterfaceXml, ValuesOfEveryKindSurviveARoundTripWithTheirEscapes) {
    Machine m;
    const std::string all =
        "<array><property id=\"0\"><string>a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;</string></property>"
        "<property id=\"1\"><number>-2.5</number></property><property id=\"2\"><true/></property>"
        "<property id=\"3\"><false/></property><property id=\"4\"><null/></property>"
        "<property id=\"5\"><undefined/></property><property id=\"6\"><object><property id=\"k&amp;\">"
        "<array><property id=\"0\"><object></object></property></array></property></object></property></array>";
    EXPECT_EQ(RoundTrip(m, all), all);
    // White space between tags, empty tags and single quotes read the same.
    EXPECT_EQ(RoundTrip(m, " <object>\n <property id='x'> <string/> </property>\n</object> "),
              "<object><property id=\"x\"><string></string></property></object>");
    EXPECT_EQ(RoundTrip(m, "<array/>"), "<array></array>");
    // Numeric references name characters, written back as the characters (UTF-8).
    EXPECT_EQ(RoundTrip(m, "<string>&#65;&#x42;&#x263a;&#128512;</string>"),
              "<string>AB\xE2\x98\xBA\xF0\x9F\x98\x80</string>");
    // References to no character, and unknown names, stay as written.
    EXPECT_EQ(RoundTrip(m, "<string>&#0;&#xD800;&#x110000;&bogus;&#12</string>"),
              "<string>&amp;#0;&amp;#xD800;&amp;#x110000;&amp;bogus;&amp;#12</string>");
    // Sparse ids leave undefined in between; the array's length follows the highest.
    EXPECT_EQ(RoundTrip(m, "<array><property id=\"2\"><number>7</number></property></array>"),
              "<array><property id=\"0\"><undefined/></property><property id=\"1\"><undefined/></property>"
              "<property id=\"2\"><number>7</number></property></array>");
    EXPECT_EQ(RoundTrip(m, "<number> NaN </number>"), "<number>NaN</number>");
    EXPECT_EQ(RoundTrip(m, ""), "<undefined/>");
}

TEST(ExternalInterfaceXml, MalformedDeepOrHugeInputIsRefusedWithAReason) {
    Machine m;
    const std::vector<std::string> bad = {
        "<string>open",
        "<string>a</number>",
        "<number>12abc</number>",
        "<widget/>",
        "<array><property><null/></property></array>",
        "<array><property id=\"-1\"><null/></property></array>",
        "<array><property id=\"x\"><null/></property></array>",
        "<object><property id=\"a\"><null/></property>",
        "<object><item id=\"a\"><null/></item></object>",
        "<true/><false/>",
        "<true",
        "<",
        "</true>",
        "<null/> trailing",
        "<string a=\"1\" b></string>",
        "<string a=\"x<y\"></string>",
        "<array><property id=\"999999999\"><null/></property></array>",
    };
    for (const std::string& xml : bad) {
        const std::string answer = RoundTrip(m, xml);
        EXPECT_EQ(answer.rfind("error: ", 0), 0u) << xml << " -> " << answer;
        EXPECT_GT(answer.size(), 7u) << xml;
    }
    // Nesting is capped: the limit itself reads, one more is refused, and
    // 200,000 levels are refused without recursing that deep.
    const std::string open = "<array><property id=\"0\">", close = "</property></array>";
    const int limit = swf::actions::kMaxXmlValueDepth;
    EXPECT_EQ(RoundTrip(m, Nested(open, close, limit - 1, "<null/>")).rfind("<array>", 0), 0u);
    EXPECT_EQ(RoundTrip(m, Nested(open, close, limit, "<null/>")), "error: malformed XML: values nest too deeply");
    EXPECT_EQ(RoundTrip(m, Nested(open, close, 200'000, "<null/>")), "error: malformed XML: values nest too deeply");
    EXPECT_EQ(RoundTrip(m, std::string(swf::actions::kMaxXmlBytes + 1, ' ')), "error: the answer is too long");
}

TEST(ExternalInterfaceXml, InvokeRequestsNameTheFunctionAndCarryItsArguments) {
    Machine m;
    Interpreter in(m.vm, m.host);
    InvokeRequest request;
    std::string error;
    ASSERT_TRUE(DecodeInvokeRequest(
        "<?xml version=\"1.0\"?> <invoke name=\"go&amp;see\" returntype=\"xml\"><arguments><number>1</number>"
        "<string>two</string><array><property id=\"0\"><true/></property></array></arguments></invoke>",
        in, request, error))
        << error;
    EXPECT_EQ(request.name, "go&see");
    ASSERT_EQ(request.args.size(), 3u);
    EXPECT_EQ(Show(m.vm, request.args[0]), "number:1");
    EXPECT_EQ(Show(m.vm, request.args[1]), "string:two");
    EXPECT_EQ(EncodeXmlValue(request.args[2], 8), "<array><property id=\"0\"><true/></property></array>");
    for (const char* empty : {"<invoke name=\"f\"/>", "<invoke name=\"f\" returntype=\"xml\"><arguments/></invoke>",
                              "<invoke name=\"f\"></invoke>"}) {
        EXPECT_TRUE(DecodeInvokeRequest(empty, in, request, error)) << empty << ": " << error;
        EXPECT_EQ(request.name, "f");
        EXPECT_TRUE(request.args.empty());
    }
    for (const char* bad : {"", "<call name=\"f\"/>", "<invoke/>", "<invoke name=\"\"/>",
                            "<invoke name=\"f\"><arguments><number>1</number></invoke>",
                            "<invoke name=\"f\"><arguments></arguments></invoke><invoke name=\"g\"/>"}) {
        EXPECT_FALSE(DecodeInvokeRequest(bad, in, request, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// Registers callbacks the way a movie's script does:
// ExternalInterface.addCallback(name, instance, function).
void AddCallback(ActionAssembler& a, const std::string& name, s::Expr instance, s::Expr function) {
    s::Let(a, "added_" + name,
           s::CallM(s::V("flash.external.ExternalInterface"), "addCallback", {s::S(name), instance, function}));
}

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

TEST(ExternalInterfaceCallbacks, TheHostCallsRegisteredFunctionsWithTheirInstanceAsThis) {
    Machine m;
    ActionAssembler a;
    s::Let(a, "owner", s::Obj({{"name", s::S("first")}}));
    AddCallback(a, "who", s::V("owner"),
                s::Fn({}, Body([](ActionAssembler& b) { s::Return(b, s::M(s::V("this"), "name")); })));
    AddCallback(a, "sum", s::Null(),
                s::Fn({"x", "y"}, Body([](ActionAssembler& b) { s::Return(b, s::Add(s::V("x"), s::V("y"))); })));
    AddCallback(a, "notAFunction", s::Null(), s::N(3));
    AddCallback(a, "fail", s::Null(), s::Fn({}, Body([](ActionAssembler& b) { s::Throw(b, s::S("no")); })));
    ASSERT_EQ(m.Run(a), swf::actions::RunStatus::Completed);
    EXPECT_EQ(m.Var("added_who"), "boolean:true");
    EXPECT_EQ(m.Var("added_notAFunction"), "boolean:false");

    std::string error;
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"who\"/>", m.host, error), "<string>first</string>");
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"sum\"><arguments><number>2</number><number>3.5</number>"
                                    "</arguments></invoke>",
                                    m.host, error),
              "<number>5.5</number>");
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"nobody\"/>", m.host, error), std::nullopt);
    EXPECT_EQ(error, "the movie has no callback named \"nobody\"");
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"who\"", m.host, error), std::nullopt);
    EXPECT_NE(error.find("malformed"), std::string::npos) << error;
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"fail\"/>", m.host, error), std::nullopt);
    EXPECT_EQ(error, "the callback threw an exception");

    // A later registration replaces the first, and garbage collection keeps
    // what only the registry holds.
    ActionAssembler again;
    s::Let(again, "owner", s::Null());
    AddCallback(again, "who", s::Obj({{"name", s::S("second")}}),
                s::Fn({}, Body([](ActionAssembler& b) { s::Return(b, s::M(s::V("this"), "name")); })));
    ASSERT_EQ(m.Run(again), swf::actions::RunStatus::Completed);
    for (int i = 0; i < 3000; ++i) m.Run(Body([](ActionAssembler& b) { s::Let(b, "junk", s::Obj({})); }));
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"who\"/>", m.host, error), "<string>second</string>");

    // Refused: neither registrations nor calls.
    m.vm.SetExternalInterface(false, false);
    ASSERT_EQ(m.Run(Body([](ActionAssembler& b) { AddCallback(b, "late", s::Null(), s::Fn({}, ActionAssembler())); })),
              swf::actions::RunStatus::Completed);
    EXPECT_EQ(m.Var("added_late"), "boolean:false");
    EXPECT_EQ(m.vm.CallHostCallback("<invoke name=\"who\"/>", m.host, error), std::nullopt);
    EXPECT_FALSE(error.empty());
}

// Answers every ExternalInterface.call by calling back into the movie.
class ReenteringHost : public FakeHost {
public:
    std::string FlashCall(const std::string&) override {
        ++calls;
        std::string error;
        const auto answer = vm->CallHostCallback("<invoke name=\"again\"/>", *this, error);
        if (!answer) errors.push_back(error);
        return answer.value_or("");
    }
    swf::actions::Vm* vm = nullptr;
    int calls = 0;
    std::vector<std::string> errors;
};

TEST(ExternalInterfaceCallbacks, CallsBetweenHostAndMovieNestOnlySoDeep) {
    swf::actions::Vm vm;
    FakeTarget target;
    ReenteringHost host;
    host.vm = &vm;
    // again() { return ExternalInterface.call("loop"); }: each call comes back.
    ActionAssembler a;
    AddCallback(a, "again", s::Null(),
                s::Fn({}, Body([](ActionAssembler& b) {
                          s::Return(b, s::CallM(s::V("flash.external.ExternalInterface"), "call", {s::S("loop")}));
                      })));
    ASSERT_EQ(vm.Run(a.Finish(), target, host), swf::actions::RunStatus::Completed);
    std::string error;
    EXPECT_EQ(vm.CallHostCallback("<invoke name=\"again\"/>", host, error), "<undefined/>");
    EXPECT_EQ(host.calls, swf::actions::Vm::kMaxHostNesting);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "calls between the host and the movie nest too deeply");
}

}  // namespace
