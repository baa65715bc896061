// The built-in classes and global functions, each checked against what the
// language defines for it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/actions/script.h"
#include "swf/actions/documented_methods.h"
#include "swf/actions/local_time_zone.h"

using namespace actions_test;
using swf::actions::RunStatus;

namespace {

ActionAssembler Body(const std::function<void(ActionAssembler&)>& build) {
    ActionAssembler a;
    build(a);
    return a;
}

Lines TraceLines(Machine& m, const ActionAssembler& a) {
    Traced t = RunTraced(m, a);
    EXPECT_EQ(t.status, RunStatus::Completed);
    return t.lines;
}

}  // namespace

TEST(ActionBuiltins, StringMethods) {
    Machine m;
    ActionAssembler a;
    Let(a, "s", S("Hello, World"));
    Trace(a, CallM(V("s"), "charAt", {N(4)}));
    Trace(a, CallM(V("s"), "charCodeAt", {N(0)}));
    Trace(a, CallM(V("s"), "charAt", {N(99)}));
    Trace(a, CallM(V("s"), "indexOf", {S("o")}));
    Trace(a, CallM(V("s"), "indexOf", {S("o"), N(5)}));
    Trace(a, CallM(V("s"), "lastIndexOf", {S("o")}));
    Trace(a, CallM(V("s"), "lastIndexOf", {S("o"), N(7)}));
    Trace(a, CallM(V("s"), "slice", {N(-5)}));
    Trace(a, CallM(V("s"), "slice", {N(0), N(-7)}));
    Trace(a, CallM(V("s"), "substring", {N(7), N(0)}));  // arguments swap
    Trace(a, CallM(V("s"), "substr", {N(-5), N(3)}));
    Trace(a, CallM(V("s"), "toUpperCase"));
    Trace(a, CallM(V("s"), "toLowerCase"));
    Trace(a, CallM(V("s"), "concat", {S("!"), N(1)}));
    Trace(a, M(V("s"), "length"));
    Trace(a, CallM(CallM(S("a,b,,c"), "split", {S(",")}), "join", {S("|")}));
    Trace(a, M(CallM(S("a,b,,c"), "split", {S(","), N(2)}), "length"));
    Trace(a, CallM(CallM(S("abc"), "split", {S("")}), "join", {S("-")}));
    Trace(a, M(CallM(S("abc"), "split"), "length"));
    Trace(a, CallM(V("String"), "fromCharCode", {N(72), N(105), N(0x263A)}));
    Trace(a, M(S("\xE2\x98\xBA!"), "length"));  // characters, not bytes
    Trace(a, CallM(S("\xE2\x98\xBA!"), "charAt", {N(1)}));
    Let(a, "w", New("String", {S("wrapped")}));
    Trace(a, M(V("w"), "length"));
    Trace(a, CallM(V("w"), "toUpperCase"));
    Trace(a, TypeOf(V("w")));
    EXPECT_EQ(TraceLines(m, a), (Lines{"o",
                                       "72",
                                       "",
                                       "4",
                                       "8",
                                       "8",
                                       "4",
                                       "World",
                                       "Hello",
                                       "Hello, ",
                                       "Wor",
                                       "HELLO, WORLD",
                                       "hello, world",
                                       "Hello, World!1",
                                       "12",
                                       "a|b||c",
                                       "2",
                                       "a-b-c",
                                       "1",
                                       "Hi\xE2\x98\xBA",
                                       "2",
                                       "!",
                                       "7",
                                       "WRAPPED",
                                       "object"}));
}

TEST(ActionBuiltins, ArrayMethods) {
    Machine m;
    ActionAssembler a;
    Let(a, "a", Arr({N(1), N(2), N(3)}));
    Trace(a, CallM(V("a"), "push", {N(4), N(5)}));
    Trace(a, CallM(V("a"), "pop"));
    Trace(a, CallM(V("a"), "shift"));
    Trace(a, CallM(V("a"), "unshift", {N(0), N(1)}));
    Trace(a, V("a"));
    Trace(a, CallM(V("a"), "splice", {N(1), N(2), S("x"), S("y"), S("z")}));  // removed [1, 2]
    Trace(a, V("a"));
    Trace(a, CallM(V("a"), "slice", {N(1), N(-1)}));
    Trace(a, CallM(V("a"), "concat", {Arr({N(8), Arr({N(9)})}), N(10)}));
    Trace(a, CallM(CallM(V("a"), "reverse"), "join", {S(" ")}));
    SetM(a, V("a"), "length", N(2));
    Trace(a, V("a"));
    Trace(a, M(New("Array", {N(3)}), "length"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"5", "5", "1", "5", "0,1,2,3,4", "1,2", "0,x,y,z,3,4", "x,y,z,3",
                                       "0,x,y,z,3,4,8,9,10", "4 3 z y x 0", "4,3", "3"}));
}

TEST(ActionBuiltins, ArraySortAndSortOn) {
    Machine m;
    ActionAssembler a;
    Let(a, "n", Arr({N(10), N(9), N(100), N(1)}));
    Trace(a, CallM(V("n"), "sort"));  // as text by default
    Trace(a, CallM(V("n"), "sort", {M(V("Array"), "NUMERIC")}));
    Trace(a, CallM(V("n"), "sort", {N(16 | 2)}));  // NUMERIC | DESCENDING
    Trace(a, CallM(V("n"), "sort", {N(16 | 8)}));  // RETURNINDEXEDARRAY leaves n
    Trace(a, V("n"));
    Trace(a, CallM(Arr({N(1), N(2), N(1)}), "sort", {N(4)}));  // UNIQUESORT with a tie: 0
    Trace(a, CallM(Arr({S("b"), S("C"), S("a")}), "sort"));
    Trace(a, CallM(Arr({S("b"), S("C"), S("a")}), "sort", {N(1)}));  // CASEINSENSITIVE
    // A comparator: longest first.
    Trace(a, CallM(Arr({S("aa"), S("a"), S("aaa")}), "sort", {Fn({"x", "y"}, Body([](ActionAssembler& b) {
                                                                     Return(b, Op(0x0B, M(V("y"), "length"),
                                                                                  M(V("x"), "length")));
                                                                 }))}));
    // sortOn by one field, then by two with per-field options.
    Let(a, "people",
        Arr({Obj({{"name", S("bob")}, {"age", N(30)}}), Obj({{"name", S("al")}, {"age", N(30)}}),
             Obj({{"name", S("cy")}, {"age", N(4)}})}));
    Do(a, CallM(V("people"), "sortOn", {S("age"), N(16)}));
    Trace(a, M(CallM(V("people"), "shift"), "name"));
    Do(a, CallM(V("people"), "unshift", {Obj({{"name", S("cy")}, {"age", N(4)}})}));
    Do(a, CallM(V("people"), "sortOn", {Arr({S("age"), S("name")}), Arr({N(16 | 2), N(0)})}));
    Trace(a, Add(Add(M(M(V("people"), "0"), "name"), M(M(V("people"), "1"), "name")), M(M(V("people"), "2"), "name")));
    EXPECT_EQ(TraceLines(m, a), (Lines{"1,10,100,9", "1,9,10,100", "100,10,9,1", "3,2,1,0", "100,10,9,1", "0", "C,a,b",
                                       "a,b,C", "aaa,aa,a", "cy", "albobcy"}));
}

TEST(ActionBuiltins, NumberBooleanMathAndGlobals) {
    Machine m;
    ActionAssembler a;
    Trace(a, CallM(N(255), "toString", {N(16)}));
    Trace(a, CallM(N(-10), "toString", {N(2)}));
    Trace(a, CallM(N(0.5), "toString"));
    Trace(a, M(V("Number"), "MAX_VALUE"));
    Trace(a, M(V("Number"), "POSITIVE_INFINITY"));
    Trace(a, Op(0x66, M(V("Number"), "MIN_VALUE"), N(4.9406564584124654e-324)));
    Trace(a, CallM(New("Boolean", {S("")}), "toString"));
    Trace(a, CallF("Boolean", {N(2)}));
    Trace(a, CallM(V("Math"), "max", {N(1), N(7), N(3)}));
    Trace(a, CallM(V("Math"), "min"));
    Trace(a, CallM(V("Math"), "round", {N(-2.5)}));
    Trace(a, CallM(V("Math"), "atan2", {N(1), N(1)}));
    Trace(a, M(V("Math"), "SQRT2"));
    Trace(a, CallM(V("Math"), "pow", {N(2), N(10)}));
    Trace(a, CallF("parseInt", {S("0x1F")}));
    Trace(a, CallF("parseInt", {S("z1"), N(36)}));
    Trace(a, CallF("parseInt", {S("12px")}));
    Trace(a, CallF("parseFloat", {S(" 3.25e2xyz")}));
    Trace(a, CallF("parseFloat", {S(".5")}));
    Trace(a, CallF("isNaN", {S("abc")}));
    Trace(a, CallF("isFinite", {N(1)}));
    Trace(a, CallF("escape", {S("a b&c/\xC3\xA9")}));
    Trace(a, CallF("unescape", {S("a%20b%26%u263A")}));
    Trace(a, CallF("Number", {S("0x10")}));
    Trace(a, CallF("String", {B(true)}));
    // Math.random stays in [0, 1).
    Let(a, "r", CallM(V("Math"), "random"));
    Trace(a, Op(0x10, Op(0x48, V("r"), N(1)), Not(Op(0x48, V("r"), N(0)))));
    EXPECT_EQ(TraceLines(m, a), (Lines{"ff",
                                       "-1010",
                                       "0.5",
                                       "1.79769313486232e+308",
                                       "Infinity",
                                       "true",
                                       "false",
                                       "true",
                                       "7",
                                       "Infinity",
                                       "-2",
                                       "0.785398163397448",
                                       "1.4142135623731",
                                       "1024",
                                       "31",
                                       "1261",
                                       "12",
                                       "325",
                                       "0.5",
                                       "true",
                                       "true",
                                       "a%20b%26c%2F%C3%A9",
                                       "a b&\xE2\x98\xBA",
                                       "16",
                                       "true",
                                       "true"}));
}

TEST(ActionBuiltins, DateFieldsAndFormat) {
    Machine m;
    m.vm.SetTimeZoneOffset(60);  // one hour east of UTC
    ActionAssembler a;
    // 2026-12-08 12:00:00 UTC, a Tuesday.
    Let(a, "t", CallM(V("Date"), "UTC", {N(2026), N(11), N(8), N(12)}));
    Trace(a, V("t"));
    Let(a, "d", New("Date", {V("t")}));
    Trace(a, CallM(V("d"), "getUTCHours"));
    Trace(a, CallM(V("d"), "getHours"));
    Trace(a, CallM(V("d"), "getDay"));
    Trace(a, CallM(V("d"), "getTimezoneOffset"));
    Trace(a, V("d"));
    Do(a, CallM(V("d"), "setUTCMonth", {N(12)}));  // overflows into January 2027
    Trace(a, CallM(V("d"), "getUTCFullYear"));
    Trace(a, CallM(V("d"), "getUTCMonth"));
    Do(a, CallM(V("d"), "setUTCHours", {N(0), N(0), N(0), N(5)}));
    Trace(a, CallM(V("d"), "getUTCMilliseconds"));
    Do(a, CallM(V("d"), "setTime", {N(0)}));
    Trace(a, CallM(V("d"), "getUTCFullYear"));
    Trace(a, CallM(V("d"), "getYear"));                                // local: 1970 - 1900
    Trace(a, CallM(New("Date", {N(99), N(0), N(1)}), "getFullYear"));  // two-digit years are 19xx
    Trace(a, CallM(V("Date"), "UTC", {N(2000), N(1), N(29)}));         // a leap day
    Trace(a, Op(0x0B, CallM(New("Date", {N(2024), N(2), N(1)}), "getTime"),
                CallM(New("Date", {N(2024), N(1), N(1)}), "getTime")));  // February 2024: 29 days
    EXPECT_EQ(TraceLines(m, a), (Lines{"1796731200000", "12", "13", "2", "-60", "Tue Dec 8 13:00:00 GMT+0100 2026",
                                       "2027", "0", "5", "1970", "70", "1999", "951782400000", "2505600000"}));
}

// Zones named from the tz database through TZ are a POSIX feature: the
// Windows build of these tests leaves this case out.
#if !defined(_WIN32)
namespace {

// The process's time zone set to a tz database zone for one test.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> old_;
};

}  // namespace

// Local time follows the machine's zone rules, summer time included. The
// moments and offsets are the tz database's (as GNU date prints them).
TEST(ActionBuiltins, DateLocalTimeFollowsSummerTime) {
    if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin")) GTEST_SKIP() << "tzdata is not installed";
    {
        ScopedTimeZone sydney("Australia/Sydney");
        EXPECT_EQ(swf::actions::LocalTimeZoneOffset(1768478400000.0), 660);  // 2026-01-15 12:00 UTC: summer
        EXPECT_EQ(swf::actions::LocalTimeZoneOffset(1784116800000.0), 600);  // 2026-07-15 12:00 UTC: winter
    }
    ScopedTimeZone berlin("Europe/Berlin");
    using swf::actions::LocalTimeZoneOffset;
    EXPECT_EQ(LocalTimeZoneOffset(1768478400000.0), 60);
    EXPECT_EQ(LocalTimeZoneOffset(1784116800000.0), 120);
    EXPECT_EQ(LocalTimeZoneOffset(1774745999000.0), 60);              // 2026-03-29 00:59:59 UTC
    EXPECT_EQ(LocalTimeZoneOffset(1774746000000.0), 120);             // 01:00:00 UTC: clocks go forward
    EXPECT_EQ(LocalTimeZoneOffset(1792889999000.0), 120);             // 2026-10-25 00:59:59 UTC
    EXPECT_EQ(LocalTimeZoneOffset(1792890000000.0), 60);              // 01:00:00 UTC: clocks go back
    EXPECT_EQ(LocalTimeZoneOffset(NAN), LocalTimeZoneOffset(1e300));  // both take today's

    Machine m;  // the machine's zone
    ActionAssembler a;
    // Local fields name the moment of their own season.
    Trace(a, CallM(New("Date", {N(2026), N(6), N(15), N(12)}), "getTime"));
    Trace(a, CallM(New("Date", {N(2026), N(0), N(15), N(12)}), "getTime"));
    Let(a, "july", New("Date", {N(1784109600000.0)}));
    Trace(a, CallM(V("july"), "getHours"));
    Trace(a, CallM(V("july"), "getTimezoneOffset"));
    Trace(a, V("july"));
    Trace(a, CallM(New("Date", {N(1768474800000.0)}), "getTimezoneOffset"));
    // Either side of the change in March.
    Trace(a, CallM(New("Date", {N(1774745999000.0)}), "getHours"));
    Trace(a, CallM(New("Date", {N(1774746000000.0)}), "getHours"));
    // setMonth keeps the local time of day across the change.
    Do(a, CallM(V("july"), "setMonth", {N(0)}));
    Trace(a, CallM(V("july"), "getTime"));
    Trace(a, CallM(V("july"), "getHours"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"1784109600000", "1768474800000", "12", "-120",
                                       "Wed Jul 15 12:00:00 GMT+0200 2026", "-60", "1", "3", "1768474800000", "12"}));
}
#endif

TEST(ActionBuiltins, SystemCapabilities) {
    Machine m;
    ActionAssembler a;
    Let(a, "c", M(V("System"), "capabilities"));
    Trace(a, M(V("c"), "version"));
    Trace(a, M(V("c"), "os"));
    Trace(a, M(V("c"), "playerType"));
    Trace(a, M(V("c"), "language"));
    // Sound is claimed; nothing is that this build cannot do.
    for (const char* facility : {"hasAudio", "hasMP3", "hasStreamingAudio", "hasEmbeddedVideo", "hasStreamingVideo",
                                 "hasPrinting", "hasVideoEncoder", "hasAudioEncoder"})
        Trace(a, M(V("c"), facility));
    Trace(a, TypeOf(M(V("c"), "screenResolutionX")));
    SetM(a, V("c"), "version", S("changed"));  // read-only
    Trace(a, M(V("c"), "version"));
    EXPECT_EQ(TraceLines(m, a), (Lines{"WIN 9,0,28,0", "Windows XP", "ActiveX", "en", "true", "true", "true", "false",
                                       "false", "false", "false", "false", "number", "WIN 9,0,28,0"}));
}

TEST(ActionBuiltins, TimersRunFromTheGivenClock) {
    Machine m;
    ActionAssembler a;
    Let(a, "ticks", N(0));
    // id = setInterval(function(step) { ticks += step; }, 100, 2);
    Let(a, "id",
        CallF("setInterval",
              {Fn({"step"}, Body([](ActionAssembler& b) { Let(b, "ticks", Add(V("ticks"), V("step"))); })), N(100),
               N(2)}));
    // setTimeout on an object's method: o.fire() once, after 250 ms.
    Let(a, "o", Obj({{"fired", N(0)}}));
    SetM(a, V("o"), "fire",
         Fn({}, Body([](ActionAssembler& b) { SetM(b, V("this"), "fired", Add(M(V("this"), "fired"), N(1))); })));
    Do(a, CallF("setTimeout", {V("o"), S("fire"), N(250)}));
    ASSERT_EQ(m.Run(a), RunStatus::Completed);
    EXPECT_EQ(m.vm.PendingTimers(), 2u);

    EXPECT_EQ(m.vm.AdvanceTimers(50, m.host), RunStatus::Completed);
    EXPECT_EQ(m.Var("ticks"), "number:0");
    m.vm.AdvanceTimers(100, m.host);
    EXPECT_EQ(m.Var("ticks"), "number:2");
    m.vm.AdvanceTimers(260, m.host);  // once per call even when two beats are due
    EXPECT_EQ(m.Var("ticks"), "number:4");
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { M(V("o"), "fired")(x); }), "number:1");
    EXPECT_EQ(m.vm.PendingTimers(), 1u);  // the timeout is gone
    m.vm.AdvanceTimers(1000, m.host);
    EXPECT_EQ(m.Eval([](ActionAssembler& x) { M(V("o"), "fired")(x); }), "number:1");

    ActionAssembler stop;
    Do(stop, CallF("clearInterval", {V("id")}));
    m.Run(stop);
    m.vm.AdvanceTimers(5000, m.host);
    EXPECT_EQ(m.Var("ticks"), "number:6");
    EXPECT_EQ(m.vm.PendingTimers(), 0u);

    // A callback that throws ends its own run only.
    ActionAssembler thrower;
    Do(thrower, CallF("setTimeout", {Fn({}, Body([](ActionAssembler& b) { Throw(b, S("x")); })), N(0)}));
    m.Run(thrower);
    EXPECT_EQ(m.vm.AdvanceTimers(6000, m.host), RunStatus::Thrown);
}

TEST(ActionBuiltins, XmlParseNavigateEditAndPrint) {
    Machine m;
    ActionAssembler a;
    Let(a, "x", New("XML"));
    SetM(a, V("x"), "ignoreWhite", B(true));
    Do(a, CallM(V("x"), "parseXML",
                {S("<?xml version=\"1.0\"?><!DOCTYPE note><a k=\"1\" y='two &amp; three'>\n  <b>hi &lt;there&gt;</b>\n"
                   "  <c/>  <d><![CDATA[<raw>]]></d><!-- gone --></a>")}));
    Trace(a, M(V("x"), "status"));
    Trace(a, M(V("x"), "xmlDecl"));
    Trace(a, M(V("x"), "docTypeDecl"));
    Let(a, "root", M(V("x"), "firstChild"));
    Trace(a, M(V("root"), "nodeName"));
    Trace(a, M(M(V("root"), "attributes"), "y"));
    Trace(a, M(M(V("root"), "childNodes"), "length"));
    Trace(a, M(M(M(V("root"), "firstChild"), "firstChild"), "nodeValue"));
    Trace(a, M(M(M(V("root"), "firstChild"), "nextSibling"), "nodeName"));
    Trace(a, M(M(V("root"), "lastChild"), "previousSibling"));  // <c /> prints itself
    Trace(a, M(M(M(V("root"), "lastChild"), "firstChild"), "nodeType"));
    Trace(a, M(M(M(M(V("root"), "lastChild"), "firstChild"), "parentNode"), "nodeName"));
    // Editing: a new element with text, a removal and a deep clone.
    Let(a, "e", CallM(V("x"), "createElement", {S("e")}));
    Do(a, CallM(V("e"), "appendChild", {CallM(V("x"), "createTextNode", {S("5 > 4")})}));
    Do(a, CallM(V("root"), "appendChild", {V("e")}));
    Do(a, CallM(M(V("root"), "firstChild"), "removeNode"));
    Trace(a, CallM(V("root"), "hasChildNodes"));
    Let(a, "copy", CallM(V("root"), "cloneNode", {B(true)}));
    SetM(a, M(V("copy"), "attributes"), "k", S("2"));
    Trace(a, V("x"));
    Trace(a, V("copy"));
    Trace(a, M(V("copy"), "parentNode"));
    // Errors keep what was parsed and say why.
    Let(a, "bad", New("XML", {S("<a><b></a>")}));
    Trace(a, M(V("bad"), "status"));
    Trace(a, M(New("XML", {S("<a x=\"1></a>")}), "status"));
    Trace(a, M(New("XML", {S("<a>")}), "status"));
    Trace(a, M(New("XML", {S("<!-- open")}), "status"));
    EXPECT_EQ(TraceLines(m, a),
              (Lines{"0", "<?xml version=\"1.0\"?>", "<!DOCTYPE note>", "a", "two & three", "3", "hi <there>", "c",
                     "<c />", "3", "d", "true",
                     "<?xml version=\"1.0\"?><!DOCTYPE note><a k=\"1\" y=\"two &amp; three\"><c /><d>&lt;raw&gt;</d>"
                     "<e>5 &gt; 4</e></a>",
                     "<a k=\"2\" y=\"two &amp; three\"><c /><d>&lt;raw&gt;</d><e>5 &gt; 4</e></a>", "null", "-10", "-8",
                     "-9", "-5"}));
}

// What scripts ask of the player's library and this player lacks is told,
// once each: missing classes, and missing methods of the classes it has. A
// name the movie never defined, on its own objects, is not the player's.
TEST(ActionBuiltins, MissingClassesAndMethodsAreToldOnce) {
    using swf::actions::DocumentedClasses;
    Machine m;
    ActionAssembler probe;
    std::vector<std::string> asked;  // "Class.method"
    for (const auto& c : DocumentedClasses()) {
        const std::string name(c.name);
        Let(probe, "o", New(name));
        for (std::string_view method : c.methods) {
            Trace(probe, TypeOf(M(V("o"), std::string(method))));
            asked.push_back(name + "." + std::string(method));
        }
        for (std::string_view method : c.statics) {
            Trace(probe, TypeOf(M(V(name), std::string(method))));
            asked.push_back(name + "." + std::string(method));
        }
    }
    const Lines types = TraceLines(m, probe);
    ASSERT_EQ(types.size(), asked.size());
    EXPECT_TRUE(m.vm.TakeUnsupported().empty());

    // Each method this player lacks, called twice: told once, by its class's name.
    std::size_t missing = 0;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        if (types[i] == "function") continue;
        ++missing;
        const std::string cls = asked[i].substr(0, asked[i].find('.'));
        const std::string method = asked[i].substr(asked[i].find('.') + 1);
        bool isStatic = false;
        for (const auto& c : DocumentedClasses())
            if (c.name == cls)
                for (std::string_view s : c.statics) isStatic |= s == method;
        ActionAssembler call;
        Let(call, "o", New(cls));
        const Expr on = isStatic ? V(cls) : V("o");
        Do(call, CallM(on, method));
        Do(call, CallM(on, method));
        ASSERT_EQ(m.Run(call), RunStatus::Completed) << asked[i];
        EXPECT_EQ(m.vm.TakeUnsupported(),
                  Lines{asked[i] + "() is not available in this player; calls to it do nothing"});
    }
    EXPECT_GT(missing, 0u);  // this player lacks some (the table would otherwise be of no use)
    EXPECT_LT(missing, asked.size() / 4);

    // Not the player's: undefined names on the movie's own objects, on
    // instances of its classes, and on strings; a class that exists.
    ActionAssembler own;
    Let(own, "mine", Obj({}));
    Do(own, CallM(V("mine"), "attachAudio"));
    Let(own, "C", Fn({}, ActionAssembler{}));
    Let(own, "c", New("C"));
    Do(own, CallM(V("c"), "refresh"));
    Do(own, CallM(S("text"), "trimEnd"));
    Do(own, CallM(V("Math"), "cbrt"));
    Let(own, "a", New("Array"));
    ASSERT_EQ(m.Run(own), RunStatus::Completed);
    EXPECT_TRUE(m.vm.TakeUnsupported().empty());

    // A missing class: told once when named, however often.
    ActionAssembler stream;
    Let(stream, "s1", New("LocalConnection"));
    Let(stream, "s2", New("LocalConnection"));
    ASSERT_EQ(m.Run(stream), RunStatus::Completed);
    EXPECT_EQ(m.vm.TakeUnsupported(),
              Lines{"the LocalConnection class is not available in this player; scripts using it get undefined"});
}
