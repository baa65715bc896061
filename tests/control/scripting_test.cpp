// The control as other programs use it: created by its ProgID and driven by
// member names alone through IDispatch (GetIDsOfNames, then Invoke), its type
// information read back against the documented members, its events heard
// through the connection point, a script host's late binding, and bad calls
// refused without harm.

#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "swf/writer/movie.h"
#include "swf/writer/script_expressions.h"
#include "swf/writer/tag_stream.h"
#include "tests/control/control_fixture.h"
#include "tests/control/test_movies.h"

using namespace control_test;
namespace script = swf::writer::script;
using swf::writer::ActionAssembler;

namespace {

constexpr wchar_t kProgId[] = L"ShockwaveFlash.ShockwaveFlash";

// Calls members by name, as a late-binding host does.
class ByName {
public:
    explicit ByName(IUnknown* object) { object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)); }
    ~ByName() {
        if (dispatch_) dispatch_->Release();
    }
    ByName(const ByName&) = delete;
    ByName& operator=(const ByName&) = delete;

    // Arguments in call order; the result in `result` (cleared first).
    HRESULT Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT> arguments, VARIANT* result = nullptr) {
        if (!dispatch_) return E_NOINTERFACE;
        std::wstring text(name);
        LPOLESTR names[] = {text.data()};
        DISPID id = 0;
        const HRESULT found = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(found)) return found;
        std::reverse(arguments.begin(), arguments.end());  // Invoke takes them last first
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS parameters = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            parameters.rgdispidNamedArgs = &put;
            parameters.cNamedArgs = 1;
        }
        if (result) VariantInit(result);
        EXCEPINFO exception = {};
        const HRESULT hr =
            dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, nullptr);
        lastError = exception.bstrDescription ? exception.bstrDescription : L"";
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        for (auto& argument : arguments) VariantClear(&argument);
        return hr;
    }

    HRESULT Call(const wchar_t* name, std::vector<VARIANT> arguments = {}, VARIANT* result = nullptr) {
        return Invoke(name, DISPATCH_METHOD, std::move(arguments), result);
    }
    HRESULT Put(const wchar_t* name, VARIANT value) { return Invoke(name, DISPATCH_PROPERTYPUT, {value}); }

    // The result as text ("<error>" when the call failed, "<null>" for a null string).
    std::wstring Text(const wchar_t* name, std::vector<VARIANT> arguments = {}) {
        VARIANT result;
        if (FAILED(Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(arguments), &result))) {
            return L"<error>";
        }
        std::wstring text = L"<null>";
        if (result.vt == VT_BSTR && result.bstrVal) {
            text.assign(result.bstrVal, SysStringLen(result.bstrVal));
        } else if (result.vt != VT_BSTR && result.vt != VT_EMPTY && result.vt != VT_NULL) {
            VARIANT converted;
            VariantInit(&converted);
            text = SUCCEEDED(VariantChangeType(&converted, &result, VARIANT_ALPHABOOL, VT_BSTR)) ? converted.bstrVal
                                                                                                 : L"<?>";
            VariantClear(&converted);
        }
        VariantClear(&result);
        return text;
    }
    double Number(const wchar_t* name, std::vector<VARIANT> arguments = {}) {
        VARIANT result;
        double value = -12345;
        if (SUCCEEDED(Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(arguments), &result))) {
            VARIANT converted;
            VariantInit(&converted);
            if (SUCCEEDED(VariantChangeType(&converted, &result, 0, VT_R8))) value = converted.dblVal;
        }
        VariantClear(&result);
        return value;
    }

    std::wstring lastError;

private:
    IDispatch* dispatch_ = nullptr;
};

VARIANT Str(const std::wstring& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

VARIANT Int(LONG number) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = number;
    return v;
}

VARIANT Real(double number) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = number;
    return v;
}

VARIANT Bool(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

std::wstring Invoke(const std::wstring& name, const std::wstring& arguments) {
    return L"<invoke name=\"" + name + L"\" returntype=\"xml\"><arguments>" + arguments + L"</arguments></invoke>";
}

// A 200 x 100 movie of three frames, stopped on the first. Its first frame
// sets `greeting` and registers the host's callbacks (echo returns its
// argument; whoAmI its `this`'s name and how many arguments it got; askHost
// asks the host in turn); on the first tick it asks the host for `answer`
// and says "ready" through fscommand. The clip `box` has the labels start, middle and end on
// its three frames and stops on its first; its third frame's actions set
// `called`.
std::vector<std::uint8_t> HostCallsMovie() {
    using namespace script;
    swf::writer::TagStream box;
    {
        ActionAssembler first;
        first.Action(swf::writer::ActionCode::Stop);
        box.FrameLabel("start");
        box.DoAction(first.Finish());
        box.ShowFrame();
        box.FrameLabel("middle");
        box.ShowFrame();
        ActionAssembler third;
        Let(third, "_root.called", S("yes"));
        box.FrameLabel("end");
        box.DoAction(third.Finish());
        box.ShowFrame();
    }
    swf::writer::TagStream tags;
    tags.SetBackgroundColor({255, 255, 255});
    tags.DefineSprite(1, box);
    swf::writer::PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.name = "box";
    tags.PlaceObject2(place);

    const Expr external = M(M(V("flash"), "external"), "ExternalInterface");
    ActionAssembler a;
    a.Action(swf::writer::ActionCode::Stop);
    Let(a, "greeting", S("hello"));
    ActionAssembler echo;
    Return(echo, V("value"));
    Do(a, CallM(external, "addCallback", {S("echo"), Null(), Fn({"value"}, echo)}));
    ActionAssembler who;
    Return(who, Add(M(V("this"), "name"), M(V("arguments"), "length")));
    Let(a, "holder", Obj({{"name", S("holder")}}));
    Do(a, CallM(external, "addCallback", {S("whoAmI"), V("holder"), Fn({}, who)}));
    ActionAssembler ask;
    Return(ask, CallM(external, "call", {S("nested"), V("question")}));
    Do(a, CallM(external, "addCallback", {S("askHost"), Null(), Fn({"question"}, ask)}));
    // On the first tick after loading (the first frame's actions run while
    // the host is still setting Movie), once.
    ActionAssembler tick;
    SetM(tick, V("_root"), "onEnterFrame", Undef());
    Let(tick, "answer", CallM(external, "call", {S("ready"), N(1), S("two")}));
    Let(tick, "answerType", TypeOf(V("answer")));
    tick.FsCommand("ready", "yes");
    SetM(a, V("_root"), "onEnterFrame", Fn({}, tick));
    tags.DoAction(a.Finish());
    tags.ShowFrame();
    tags.ShowFrame();
    tags.ShowFrame();
    swf::writer::MovieHeader header;
    header.frameSize = {0, 200 * 20, 0, 100 * 20};
    header.frameRate = 12;
    return swf::writer::BuildMovie(header, tags);
}

std::wstring HostCallsMoviePath() {
    static const std::wstring path = WriteTempFile(L"scripting_host_calls.swf", HostCallsMovie());
    return path;
}

// The members the public documentation of the control's scripting interface
// names, written out here so that a member lost from the type library fails.
const std::set<std::wstring> kDocumentedMembers = {L"ReadyState",
                                                   L"TotalFrames",
                                                   L"Playing",
                                                   L"Quality",
                                                   L"ScaleMode",
                                                   L"AlignMode",
                                                   L"BackgroundColor",
                                                   L"Loop",
                                                   L"Movie",
                                                   L"FrameNum",
                                                   L"SetZoomRect",
                                                   L"Zoom",
                                                   L"Pan",
                                                   L"Play",
                                                   L"Stop",
                                                   L"Back",
                                                   L"Forward",
                                                   L"Rewind",
                                                   L"StopPlay",
                                                   L"GotoFrame",
                                                   L"CurrentFrame",
                                                   L"IsPlaying",
                                                   L"PercentLoaded",
                                                   L"FrameLoaded",
                                                   L"FlashVersion",
                                                   L"WMode",
                                                   L"SAlign",
                                                   L"Menu",
                                                   L"Base",
                                                   L"Scale",
                                                   L"DeviceFont",
                                                   L"EmbedMovie",
                                                   L"BGColor",
                                                   L"Quality2",
                                                   L"LoadMovie",
                                                   L"TGotoFrame",
                                                   L"TGotoLabel",
                                                   L"TCurrentFrame",
                                                   L"TCurrentLabel",
                                                   L"TPlay",
                                                   L"TStopPlay",
                                                   L"SetVariable",
                                                   L"GetVariable",
                                                   L"TSetProperty",
                                                   L"TGetProperty",
                                                   L"TCallFrame",
                                                   L"TCallLabel",
                                                   L"TSetPropertyNum",
                                                   L"TGetPropertyNum",
                                                   L"TGetPropertyAsNumber",
                                                   L"FlashVars",
                                                   L"AllowScriptAccess",
                                                   L"MovieData",
                                                   L"SeamlessTabbing",
                                                   L"CallFunction",
                                                   L"SetReturnValue",
                                                   L"AllowNetworking",
                                                   L"AllowFullScreen"};

// Member names and ids of a type (its functions and its variables).
std::vector<std::pair<std::wstring, MEMBERID>> Members(ITypeInfo* info) {
    std::vector<std::pair<std::wstring, MEMBERID>> members;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return members;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        BSTR name = nullptr;
        UINT count = 0;
        if (SUCCEEDED(info->GetNames(function->memid, &name, 1, &count)) && count == 1) {
            members.emplace_back(name, function->memid);
            SysFreeString(name);
        }
        info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
    return members;
}

// "WIN major,minor,build,revision" from the control file's version resource.
std::wstring FileVersionText() {
    const std::wstring path = ControlModulePath();
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        return L"<no version>";
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size) || !info) return L"<no version>";
    return L"WIN " + std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"," +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"," + std::to_wstring(HIWORD(info->dwFileVersionLS)) +
           L"," + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

}  // namespace

TEST(Scripting, ProgIdsAndTypeInformationNameTheDocumentedInterface) {
    CLSID classId, byProgId, byVersionedProgId;
    ASSERT_EQ(CLSIDFromString(L"{D27CDB6E-AE6D-11cf-96B8-444553540000}", &classId), S_OK);
    ASSERT_EQ(CLSIDFromProgID(kProgId, &byProgId), S_OK);
    ASSERT_EQ(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash.9", &byVersionedProgId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(byProgId, classId));
    EXPECT_TRUE(IsEqualCLSID(byVersionedProgId, classId));
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(classId, &progId), S_OK);
    EXPECT_STREQ(progId, L"ShockwaveFlash.ShockwaveFlash.9");
    CoTaskMemFree(progId);

    // The registered type library, by its literal id and version.
    GUID libraryId;
    IID scriptingId, eventsId;
    ASSERT_EQ(CLSIDFromString(L"{D27CDB6B-AE6D-11cf-96B8-444553540000}", &libraryId), S_OK);
    ASSERT_EQ(IIDFromString(L"{D27CDB6C-AE6D-11cf-96B8-444553540000}", &scriptingId), S_OK);
    ASSERT_EQ(IIDFromString(L"{D27CDB6D-AE6D-11cf-96B8-444553540000}", &eventsId), S_OK);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(libraryId, 1, 0, LOCALE_NEUTRAL, library.GetAddressOf()), S_OK);
    BSTR libraryName = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &libraryName, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(libraryName, L"ShockwaveFlashObjects");
    SysFreeString(libraryName);

    ComPtr<ITypeInfo> scripting;
    ASSERT_EQ(library->GetTypeInfoOfGuid(scriptingId, scripting.GetAddressOf()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(scripting->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    scripting->ReleaseTypeAttr(attributes);
    BSTR interfaceName = nullptr;
    ASSERT_EQ(scripting->GetDocumentation(MEMBERID_NIL, &interfaceName, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(interfaceName, L"IShockwaveFlash");
    SysFreeString(interfaceName);

    std::set<std::wstring> names;
    std::set<MEMBERID> ids;
    for (const auto& [name, id] : Members(scripting.Get())) {
        // IDispatch's own members come through the dual interface's base.
        if (name == L"QueryInterface" || name == L"AddRef" || name == L"Release" || name == L"GetTypeInfoCount" ||
            name == L"GetTypeInfo" || name == L"GetIDsOfNames" || name == L"Invoke") {
            continue;
        }
        names.insert(name);
        ids.insert(id);
        if (name == L"Movie") EXPECT_EQ(id, 102);
    }
    EXPECT_EQ(names, kDocumentedMembers);
    EXPECT_EQ(ids.size(), names.size()) << "every member has an id of its own";

    ComPtr<ITypeInfo> events;
    ASSERT_EQ(library->GetTypeInfoOfGuid(eventsId, events.GetAddressOf()), S_OK);
    const auto eventMembers = Members(events.Get());
    const std::vector<std::pair<std::wstring, MEMBERID>> expectedEvents = {
        {L"OnReadyStateChange", -609}, {L"OnProgress", 1958}, {L"FSCommand", 150}, {L"FlashCall", 197}};
    for (const auto& expected : expectedEvents) {
        EXPECT_NE(std::find(eventMembers.begin(), eventMembers.end(), expected), eventMembers.end())
            << std::string(expected.first.begin(), expected.first.end());
    }

    // The control answers with the same information about itself.
    auto control = CreateControlByProgId(kProgId);
    ASSERT_TRUE(control);
    ComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(control.As(&classInfo), S_OK);
    GUID source = {};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualIID(source, eventsId));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.GetAddressOf()), S_OK);
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualCLSID(attributes->guid, classId));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    coclass->ReleaseTypeAttr(attributes);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(control.As(&dispatch), S_OK);
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> own;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, own.GetAddressOf()), S_OK);
    ASSERT_EQ(own->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualIID(attributes->guid, scriptingId));
    own->ReleaseTypeAttr(attributes);
    ComPtr<IUnknown> early;
    EXPECT_EQ(control->QueryInterface(scriptingId, reinterpret_cast<void**>(early.GetAddressOf())), S_OK);

    // Hosts that list the connection points find the events' one.
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.As(&container), S_OK);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.GetAddressOf()), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    IID listedId = {};
    EXPECT_EQ(listed[0]->GetConnectionInterface(&listedId), S_OK);
    EXPECT_TRUE(IsEqualIID(listedId, eventsId));
    listed[0]->Release();
    EXPECT_EQ(points->Next(1, listed, &fetched), S_FALSE);
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Skip(1), S_FALSE);

    // Safe for scripting and for initialising from a page's data.
    ComPtr<IObjectSafety> safety;
    ASSERT_EQ(control->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(safety.GetAddressOf())), S_OK);
    DWORD supported = 0, enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, static_cast<DWORD>(INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA));
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA,
                                                INTERFACESAFE_FOR_UNTRUSTED_DATA),
              S_OK);
    control->Close(OLECLOSE_NOSAVE);
}

TEST(Scripting, HostDrivesTheMovieAndCallsIntoItByName) {
    HostedControl hosted({0, 0, 200, 100}, 200, 100, kProgId);
    ASSERT_TRUE(hosted.control);
    ASSERT_EQ(hosted.Activate(), S_OK);
    ByName player(hosted.control.Get());
    auto* sink = hosted.AddSink();
    // The host answers the movie's calls: "ready" with a string that needs
    // escaping, "nested" (asked while the host is inside CallFunction) with
    // a number.
    std::vector<std::wstring> answeredDuring;
    sink->onEvent = [&](const EventSink::Event& event) {
        if (event.dispid != 197) return;
        const bool nested = event.first.find(L"name=\"nested\"") != std::wstring::npos;
        answeredDuring.push_back(event.first);
        EXPECT_EQ(player.Call(L"SetReturnValue",
                              {Str(nested ? L"<number>7</number>" : L"<string>fine &amp; &lt;dandy&gt;</string>")}),
                  S_OK);
    };
    ASSERT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink->Count(150) > 0; }, 5000));

    // Events with their documented ids, in order: loaded, then the movie's call and command.
    EXPECT_GT(sink->Count(-609), 0u);
    EXPECT_GT(sink->Count(1958), 0u);
    ASSERT_EQ(sink->Count(197), 1u);
    EXPECT_EQ(answeredDuring.at(0), Invoke(L"ready", L"<number>1</number><string>two</string>"));
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"answer")}), L"fine & <dandy>");
    EXPECT_EQ(player.Number(L"ReadyState"), 4);

    // The main timeline.
    EXPECT_EQ(player.Number(L"TotalFrames"), 3);
    EXPECT_EQ(player.Number(L"CurrentFrame"), 0);
    EXPECT_EQ(player.Number(L"PercentLoaded"), 100);
    EXPECT_EQ(player.Text(L"IsPlaying"), L"False");
    EXPECT_EQ(player.Call(L"GotoFrame", {Int(2)}), S_OK);
    EXPECT_EQ(player.Number(L"CurrentFrame"), 2);
    EXPECT_EQ(player.Number(L"FrameNum"), 2);
    EXPECT_EQ(player.Call(L"Back"), S_OK);
    EXPECT_EQ(player.Number(L"CurrentFrame"), 1);
    EXPECT_EQ(player.Call(L"Rewind"), S_OK);
    EXPECT_EQ(player.Number(L"CurrentFrame"), 0);
    EXPECT_EQ(player.Call(L"Play"), S_OK);
    EXPECT_EQ(player.Text(L"IsPlaying"), L"True");
    EXPECT_EQ(player.Call(L"StopPlay"), S_OK);
    EXPECT_EQ(player.Text(L"Playing"), L"False");
    EXPECT_EQ(player.Text(L"FrameLoaded", {Int(2)}), L"True");
    EXPECT_EQ(player.Text(L"FrameLoaded", {Int(3)}), L"False");

    // Variables, by the paths scripts use.
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"greeting")}), L"hello");
    EXPECT_EQ(player.Call(L"SetVariable", {Str(L"/:greeting"), Str(L"hi there")}), S_OK);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"_root.greeting")}), L"hi there");
    // No such variable: a null string (which the dispatcher may pass on as an empty one).
    const std::wstring nothing = player.Text(L"GetVariable", {Str(L"nothing")});
    EXPECT_TRUE(nothing == L"<null>" || nothing.empty()) << std::string(nothing.begin(), nothing.end());
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"$version")}), FileVersionText());

    // Timeline targets.
    EXPECT_EQ(player.Call(L"TGotoLabel", {Str(L"/box"), Str(L"middle")}), S_OK);
    EXPECT_EQ(player.Number(L"TCurrentFrame", {Str(L"/box")}), 1);
    EXPECT_EQ(player.Text(L"TCurrentLabel", {Str(L"_level0.box")}), L"middle");
    EXPECT_EQ(player.Text(L"TGetProperty", {Str(L"/box"), Int(13)}), L"box");   // _name
    EXPECT_EQ(player.Text(L"TGetProperty", {Str(L"/box"), Int(11)}), L"/box");  // _target
    EXPECT_EQ(player.Number(L"TGetPropertyNum", {Str(L"/box"), Int(5)}), 3);    // _totalframes
    EXPECT_EQ(player.Call(L"TSetPropertyNum", {Str(L"/box"), Int(0), Real(42)}), S_OK);
    EXPECT_EQ(player.Number(L"TGetPropertyAsNumber", {Str(L"/box"), Int(0)}), 42);  // _x
    EXPECT_EQ(player.Call(L"TSetProperty", {Str(L"/box"), Int(1), Str(L"17")}), S_OK);
    EXPECT_EQ(player.Text(L"TGetProperty", {Str(L"/box"), Int(1)}), L"17");  // _y
    EXPECT_EQ(player.Call(L"TCallLabel", {Str(L"/box"), Str(L"end")}), S_OK);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"called")}), L"yes");
    EXPECT_EQ(player.Number(L"TCurrentFrame", {Str(L"/box")}), 1) << "calling a frame does not move the clip";
    EXPECT_EQ(player.Call(L"TGotoFrame", {Str(L"/box"), Int(2)}), S_OK);
    EXPECT_EQ(player.Number(L"TCurrentFrame", {Str(L"/box")}), 2);
    EXPECT_EQ(player.Call(L"TGotoFrame", {Str(L"/nothing"), Int(0)}), DISP_E_EXCEPTION);
    EXPECT_FALSE(player.lastError.empty());

    // Into the movie: every kind of value there and back, escaping intact.
    const std::vector<std::wstring> values = {
        L"<string>a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos;</string>",
        L"<string></string>",
        L"<number>1.5</number>",
        L"<number>-42</number>",
        L"<true/>",
        L"<false/>",
        L"<null/>",
        L"<undefined/>",
        L"<array><property id=\"0\"><number>1</number></property><property id=\"1\"><string>x</string></property>"
        L"</array>",
        L"<object><property id=\"k\"><array><property id=\"0\"><true/></property></array></property></object>",
    };
    for (const auto& value : values) {
        EXPECT_EQ(player.Text(L"CallFunction", {Str(Invoke(L"echo", value))}), value);
    }
    EXPECT_EQ(player.Text(L"CallFunction", {Str(Invoke(L"whoAmI", L"<null/><number>2</number>"))}),
              L"<string>holder2</string>");
    // The movie's function asks the host, which answers from inside the call.
    EXPECT_EQ(player.Text(L"CallFunction", {Str(Invoke(L"askHost", L"<string>why</string>"))}), L"<number>7</number>");
    ASSERT_EQ(answeredDuring.size(), 2u);
    EXPECT_EQ(answeredDuring[1], Invoke(L"nested", L"<string>why</string>"));
    // A long string crosses whole.
    const std::wstring longText(300000, L'x');
    EXPECT_EQ(player.Text(L"CallFunction", {Str(Invoke(L"echo", L"<string>" + longText + L"</string>"))}),
              L"<string>" + longText + L"</string>");

    // Unknown functions and malformed requests are errors, never a crash.
    for (const std::wstring bad : {Invoke(L"noSuchFunction", L""), std::wstring(L"<invoke name=\"echo\">"),
                                   std::wstring(L""), std::wstring(L"<invoke name=\"echo\"><arguments><string>x"),
                                   std::wstring(L"<invoke name=\"echo\"><arguments><array><property id=\"0\">"
                                                L"<array></property></arguments></invoke>"),
                                   std::wstring(20000, L'<')}) {
        EXPECT_EQ(player.Call(L"CallFunction", {Str(bad)}), DISP_E_EXCEPTION)
            << std::string(bad.begin(), bad.begin() + std::min<std::size_t>(bad.size(), 60));
    }
    // Another movie from the movie's folder into a level above it.
    WriteTempFile(L"scripting_level.swf", SolidMovie(100, 100, 0x0000FF, 12, 4));
    EXPECT_EQ(player.Call(L"LoadMovie", {Int(1), Str(L"scripting_level.swf")}), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return player.Number(L"TGetPropertyNum", {Str(L"_level1"), Int(5)}) == 4; }, 5000));
    EXPECT_EQ(player.Call(L"LoadMovie", {Int(-1), Str(L"scripting_level.swf")}), DISP_E_EXCEPTION);

    // SetReturnValue outside a FlashCall is refused.
    EXPECT_EQ(player.Call(L"SetReturnValue", {Str(L"<null/>")}), DISP_E_EXCEPTION);
    // The movie still plays on.
    EXPECT_EQ(player.Text(L"CallFunction", {Str(Invoke(L"echo", L"<true/>"))}), L"<true/>");
}

// While the movie's script waits for the host's answer, the host may load
// another movie (it loads once the script has returned) or let the control go.
TEST(Scripting, HostMayReplaceOrReleaseTheControlInsideAnAnsweredCall) {
    {
        HostedControl hosted({0, 0, 200, 100}, 200, 100, kProgId);
        ASSERT_EQ(hosted.Activate(), S_OK);
        ByName player(hosted.control.Get());
        auto* sink = hosted.AddSink();
        const std::wstring other = WriteTempFile(L"scripting_other.swf", SolidMovie(100, 100, 0x00FF00, 12, 5));
        sink->onEvent = [&](const EventSink::Event& event) {
            if (event.dispid == 197) EXPECT_EQ(player.Put(L"Movie", Str(other)), S_OK);
        };
        ASSERT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
        ASSERT_TRUE(PumpUntil([&] { return sink->Count(197) > 0; }, 5000));
        EXPECT_TRUE(PumpUntil([&] { return player.Number(L"TotalFrames") == 5; }, 5000));
        EXPECT_EQ(player.Text(L"Movie"), other);
    }
    auto* hosted = new HostedControl({0, 0, 200, 100}, 200, 100, kProgId);
    ASSERT_EQ(hosted->Activate(), S_OK);
    const HWND child = hosted->ControlWindow();
    auto* sink = hosted->AddSink();
    sink->AddRef();  // kept for the checks below
    bool released = false;
    sink->onEvent = [&](const EventSink::Event& event) {
        if (event.dispid != 197 || released) return;
        released = true;
        delete hosted;  // unadvise, close, release the control, destroy the host window
        hosted = nullptr;
    };
    ASSERT_EQ(PutMovie(hosted->control.Get(), HostCallsMoviePath()), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return released; }, 5000));
    PumpFor(300);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(sink->Count(197), 1u);
    sink->Release();
}

TEST(Scripting, SettingsReadBackAndBadCallsAreRefused) {
    auto control = CreateControlByProgId(kProgId);
    ASSERT_TRUE(control);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ByName player(control.Get());

    // Before any movie: the documented answers, and the version pages test for.
    EXPECT_EQ(player.Number(L"TotalFrames"), 0);
    EXPECT_EQ(player.Number(L"CurrentFrame"), 0);
    EXPECT_EQ(player.Call(L"Play"), S_OK);
    EXPECT_EQ(player.Call(L"CallFunction", {Str(Invoke(L"echo", L"<true/>"))}), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Call(L"TGotoFrame", {Str(L"/"), Int(1)}), DISP_E_EXCEPTION);

    // The saved state's settings, as text and as numbers.
    EXPECT_EQ(player.Text(L"WMode"), L"Window");
    EXPECT_EQ(player.Text(L"Quality2"), L"High");
    EXPECT_EQ(player.Number(L"Quality"), 1);
    EXPECT_EQ(player.Text(L"Scale"), L"ShowAll");
    EXPECT_EQ(player.Text(L"AllowScriptAccess"), L"always");
    EXPECT_EQ(player.Text(L"AllowNetworking"), L"all");
    EXPECT_EQ(player.Text(L"AllowFullScreen"), L"false");
    EXPECT_EQ(player.Text(L"Loop"), L"True");
    EXPECT_EQ(player.Number(L"BackgroundColor"), -1);
    EXPECT_EQ(player.Put(L"ScaleMode", Int(2)), S_OK);
    EXPECT_EQ(player.Text(L"Scale"), L"ExactFit");
    EXPECT_EQ(player.Put(L"SAlign", Str(L"tl")), S_OK);
    EXPECT_EQ(player.Number(L"AlignMode"), 5);
    EXPECT_EQ(player.Put(L"BackgroundColor", Int(0x336699)), S_OK);
    EXPECT_EQ(player.Text(L"BGColor"), L"#336699");
    EXPECT_EQ(player.Put(L"FlashVars", Str(L"a=1&b=two")), S_OK);
    EXPECT_EQ(player.Text(L"FlashVars"), L"a=1&b=two");
    EXPECT_EQ(player.Put(L"Menu", Bool(true)), S_OK);
    EXPECT_EQ(player.Text(L"Menu"), L"True");

    // Values that do not fit are refused and change nothing.
    EXPECT_EQ(player.Put(L"Quality", Int(9)), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Put(L"ScaleMode", Int(-1)), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Put(L"SAlign", Str(L"LRX")), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Put(L"BGColor", Str(L"#12345")), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Put(L"BackgroundColor", Int(0x1000000)), DISP_E_EXCEPTION);
    EXPECT_EQ(player.Text(L"BGColor"), L"#336699");
    EXPECT_EQ(player.Number(L"Quality"), 1);

    // Wrong argument counts and types.
    EXPECT_TRUE(FAILED(player.Call(L"GotoFrame")));
    EXPECT_TRUE(FAILED(player.Call(L"GotoFrame", {Int(1), Int(2)})));
    EXPECT_TRUE(FAILED(player.Call(L"GotoFrame", {Str(L"not a number")})));
    EXPECT_TRUE(FAILED(player.Call(L"GetVariable")));
    EXPECT_TRUE(FAILED(player.Call(L"TSetProperty", {Str(L"/")})));
    EXPECT_EQ(player.Call(L"GotoFrame", {Int(-5)}), DISP_E_EXCEPTION);
    VARIANT object;
    VariantInit(&object);
    object.vt = VT_UNKNOWN;
    object.punkVal = nullptr;
    EXPECT_TRUE(FAILED(player.Call(L"GetVariable", {object})));
    // A huge name is only a name no movie has.
    const std::wstring huge = player.Text(L"GetVariable", {Str(std::wstring(1 << 20, L'v'))});
    EXPECT_TRUE(huge == L"<null>" || huge.empty());

    // A movie that cannot be read leaves the control answering as before.
    EXPECT_EQ(player.Put(L"Movie", Str(L"C:\\no such folder\\movie.swf")), S_OK);
    EXPECT_EQ(player.Number(L"TotalFrames"), 0);
    EXPECT_EQ(player.Number(L"ReadyState"), 0);
    EXPECT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
    EXPECT_EQ(player.Number(L"TotalFrames"), 3);
    EXPECT_EQ(player.Call(L"LoadMovie", {Int(0), Str(L"C:\\no such folder\\other.swf")}), S_OK);
    EXPECT_EQ(player.Number(L"TotalFrames"), 0);
    control->Close(OLECLOSE_NOSAVE);
}

TEST(Scripting, ScriptAccessNeverRefusesTheMoviesCalls) {
    HostedControl hosted({0, 0, 200, 100}, 200, 100, kProgId);
    ASSERT_EQ(hosted.Activate(), S_OK);
    ByName player(hosted.control.Get());
    auto* sink = hosted.AddSink();
    ASSERT_EQ(player.Put(L"AllowScriptAccess", Str(L"never")), S_OK);
    ASSERT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink->Count(-609) >= 2; }, 5000));
    PumpFor(300);
    EXPECT_EQ(sink->Count(197), 0u);
    EXPECT_EQ(sink->Count(150), 0u);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"answerType")}), L"undefined");

    // "sameDomain" lets a local movie reach its host again.
    ASSERT_EQ(player.Put(L"AllowScriptAccess", Str(L"sameDomain")), S_OK);
    ASSERT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return sink->Count(150) > 0 && sink->Count(197) > 0; }, 5000));
}

TEST(Scripting, PageParametersLoadThroughThePropertyBag) {
    // A property bag as a page's <param> elements make it.
    class Bag final : public IPropertyBag {
    public:
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
                *out = this;
                return S_OK;
            }
            *out = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
            for (const auto& [key, text] : values) {
                if (lstrcmpiW(key.c_str(), name) == 0) {
                    value->vt = VT_BSTR;
                    value->bstrVal = SysAllocString(text.c_str());
                    return S_OK;
                }
            }
            return E_INVALIDARG;
        }
        HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
            written.emplace_back(name, value->vt == VT_BSTR && value->bstrVal ? value->bstrVal : L"?");
            return S_OK;
        }
        std::vector<std::pair<std::wstring, std::wstring>> values, written;
    };

    const std::wstring moviePath = HostCallsMoviePath();
    const std::wstring folder = moviePath.substr(0, moviePath.find_last_of(L'\\'));
    Bag bag;
    bag.values = {{L"Movie", L"scripting_host_calls.swf"},
                  {L"base", folder},
                  {L"quality", L"low"},
                  {L"scale", L"noborder"},
                  {L"bgcolor", L"#102030"},
                  {L"loop", L"false"},
                  {L"flashvars", L"greeting=from%20the%20page"},
                  {L"allowScriptAccess", L"sameDomain"},
                  {L"menu", L"not a switch"}};
    auto control = CreateControlByProgId(kProgId);
    ASSERT_TRUE(control);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    ByName player(control.Get());
    EXPECT_EQ(player.Text(L"Quality2"), L"low");
    EXPECT_EQ(player.Number(L"ScaleMode"), 1);
    EXPECT_EQ(player.Number(L"BackgroundColor"), 0x102030);
    EXPECT_EQ(player.Text(L"Loop"), L"False");
    EXPECT_EQ(player.Text(L"Menu"), L"False") << "an unusable value keeps the default";
    // The relative movie is found beside Base, and FlashVars reach its first frame
    // (whose own script then sets greeting again).
    EXPECT_EQ(player.Number(L"TotalFrames"), 3);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"greeting")}), L"hello");

    // Saving writes the settings back by their page names.
    Bag saved;
    ASSERT_EQ(persist->Save(&saved, TRUE, FALSE), S_OK);
    const auto has = [&](const wchar_t* name, const wchar_t* value) {
        return std::find(saved.written.begin(), saved.written.end(),
                         std::make_pair(std::wstring(name), std::wstring(value))) != saved.written.end();
    };
    EXPECT_TRUE(has(L"quality", L"low"));
    EXPECT_TRUE(has(L"scale", L"noborder"));
    EXPECT_TRUE(has(L"loop", L"false"));
    EXPECT_TRUE(has(L"movie", L"scripting_host_calls.swf"));

    // A compound document's storage keeps the same state.
    ComPtr<IStorage> storage;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                               storage.GetAddressOf()),
              S_OK);
    ComPtr<IPersistStorage> document;
    ASSERT_EQ(control.As(&document), S_OK);
    ASSERT_EQ(document->Save(storage.Get(), TRUE), S_OK);
    EXPECT_EQ(document->SaveCompleted(nullptr), S_OK);
    control->Close(OLECLOSE_NOSAVE);

    auto second = CreateControlByProgId(kProgId);
    ASSERT_TRUE(second);
    ComPtr<IPersistStorage> secondDocument;
    ASSERT_EQ(second.As(&secondDocument), S_OK);
    ASSERT_EQ(secondDocument->Load(storage.Get()), S_OK);
    ByName reloaded(second.Get());
    EXPECT_EQ(reloaded.Text(L"Quality2"), L"low");
    EXPECT_EQ(reloaded.Text(L"BGColor"), L"#102030");
    EXPECT_EQ(reloaded.Text(L"Loop"), L"False");
    second->Close(OLECLOSE_NOSAVE);
}

// Windows Script Host: the classic detection and a call into the movie,
// through late binding by a JScript file run by cscript.
TEST(Scripting, JScriptDetectsTheControlAndCallsIntoTheMovie) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring script = std::wstring(folder) + L"scripting_detect.js";
    const std::wstring output = std::wstring(folder) + L"scripting_detect.txt";
    std::wstring movie = HostCallsMoviePath();
    std::string movieText;
    for (wchar_t c : movie) movieText += c == L'\\' ? std::string("\\\\") : std::string(1, static_cast<char>(c));
    {
        std::ofstream file(std::string(script.begin(), script.end()), std::ios::binary);
        file << "var player = new ActiveXObject(\"ShockwaveFlash.ShockwaveFlash\");\r\n"
                "WScript.Echo(\"version=\" + player.GetVariable(\"$version\"));\r\n"
                "player.Movie = \""
             << movieText
             << "\";\r\n"
                "WScript.Echo(\"frames=\" + player.TotalFrames);\r\n"
                "WScript.Echo(\"echo=\" + player.CallFunction("
                "'<invoke name=\"echo\" returntype=\"xml\"><arguments><string>from script</string></arguments>"
                "</invoke>'));\r\n"
                "try { player.CallFunction(\"<invoke\"); WScript.Echo(\"bad=accepted\"); }\r\n"
                "catch (e) { WScript.Echo(\"bad=refused\"); }\r\n";
    }
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(system) + L"\\cscript.exe\" //nologo \"" + script + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    CloseHandle(out);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::ifstream result(std::string(output.begin(), output.end()), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(result)), std::istreambuf_iterator<char>());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    const std::wstring version = FileVersionText();
    EXPECT_EQ(text, "version=" + std::string(version.begin(), version.end()) +
                        "\n"
                        "frames=3\n"
                        "echo=<string>from script</string>\n"
                        "bad=refused\n");
    DeleteFileW(script.c_str());
    DeleteFileW(output.c_str());
}

// The version a page reads before it gives a movie, the one the movie reads,
// FlashVersion and the control file's own version are the same.
TEST(Scripting, VersionsAgreeWithTheFile) {
    const std::wstring expected = FileVersionText();
    EXPECT_EQ(expected.rfind(L"WIN ", 0), 0u) << std::string(expected.begin(), expected.end());
    auto control = CreateControlByProgId(kProgId);
    ASSERT_TRUE(control);
    ByName player(control.Get());
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"$version")}), expected);
    const int major = std::stoi(expected.substr(4));
    const int minor = std::stoi(expected.substr(expected.find(L',') + 1));
    EXPECT_EQ(player.Number(L"FlashVersion"), major * 65536 + minor);
    ASSERT_EQ(player.Put(L"Movie", Str(HostCallsMoviePath())), S_OK);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"$version")}), expected);
    EXPECT_EQ(player.Text(L"GetVariable", {Str(L"/:$version")}), expected);
    control->Close(OLECLOSE_NOSAVE);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RegisteredControl);
    return RUN_ALL_TESTS();
}
