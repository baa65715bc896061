// The player control through COM, as a container uses it, under Wine.

#include <algorithm>
#include <cstring>

#include "tests/control/control_fixture.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "flash/control_data.h"
#include "swf/writer/action_assembler.h"
#include "tests/control/test_movies.h"

namespace control_test {
namespace {

namespace TLB = ShockwaveFlashObjects_TLB;

constexpr wchar_t kClassKey[] = L"CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

std::wstring RegistryText(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

HRESULT CallEntry(const char* name) {
    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(ControlModule(), name)));
    return entry ? entry() : E_NOTIMPL;
}

bool HasEvent(const EventSink& sink, DISPID dispid, LONG number) {
    return std::any_of(sink.events.begin(), sink.events.end(),
                       [&](const auto& e) { return e.dispid == dispid && e.number == number; });
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d < -2 || d > 2) return false;
    }
    return true;
}

TEST(PlayerControl, RegistrationPointsAtTheDllAndSparesForeignEntries) {
    const std::wstring path = ControlModulePath();
    EXPECT_EQ(lstrcmpiW(RegistryText(std::wstring(kClassKey) + L"\\InprocServer32", nullptr).c_str(), path.c_str()), 0);
    EXPECT_EQ(RegistryText(std::wstring(kClassKey) + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(RegistryText(L"ShockwaveFlash.ShockwaveFlash\\CLSID", nullptr),
              L"{D27CDB6E-AE6D-11cf-96B8-444553540000}");

    // The registered file name passes the projector's version rule.
    ASSERT_GE(path.size(), 6u);
    EXPECT_EQ(path[path.size() - 5], L'b');
    EXPECT_EQ(path[path.size() - 6], L'9');

    // Another file registered under the class id is left alone.
    const std::wstring other = L"C:\\Elsewhere\\Other9b.ocx";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, (std::wstring(kClassKey) + L"\\InprocServer32").c_str(), nullptr,
                              REG_SZ, other.c_str(), static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_TRUE(SUCCEEDED(CallEntry("DllUnregisterServer")));
    EXPECT_EQ(RegistryText(std::wstring(kClassKey) + L"\\InprocServer32", nullptr), other);

    // Our own registration is removed completely, then restored.
    ASSERT_EQ(CallEntry("DllRegisterServer"), S_OK);
    ASSERT_EQ(CallEntry("DllUnregisterServer"), S_OK);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    for (const wchar_t* gone :
         {L"ShockwaveFlash.ShockwaveFlash", L"ShockwaveFlash.ShockwaveFlash.9",
          L"TypeLib\\{D27CDB6B-AE6D-11cf-96B8-444553540000}", L"Interface\\{D27CDB6C-AE6D-11cf-96B8-444553540000}",
          L"Interface\\{D27CDB6D-AE6D-11cf-96B8-444553540000}"}) {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, gone, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << std::string(gone, gone + lstrlenW(gone));
    }
    ASSERT_EQ(CallEntry("DllRegisterServer"), S_OK);
}

TEST(PlayerControl, SavedStateLoadsExactlyAndMalformedStateIsRejected) {
    auto control = CreateControl();
    ASSERT_TRUE(control);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(&persist), S_OK);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, TLB::CLSID_ShockwaveFlash));

    // The block is read exactly: bytes after it stay in the stream.
    auto bytes = flash::BuildDefaultControlData();
    auto withTail = bytes;
    withTail.insert(withTail.end(), {0xAA, 0xBB});
    auto stream = StreamOf(withTail);
    ASSERT_EQ(persist->Load(stream.Get()), S_OK);
    ULARGE_INTEGER position = {};
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position.QuadPart, bytes.size());

    SIZEL extent = {};
    EXPECT_EQ(control->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 25294);
    EXPECT_EQ(extent.cy, 16801);

    auto saved = StreamOf({});
    ASSERT_EQ(persist->Save(saved.Get(), TRUE), S_OK);
    STATSTG stat = {};
    saved->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, bytes.size());

    // Malformed blocks fail cleanly and leave the loaded state in place.
    std::vector<std::vector<std::uint8_t>> malformed;
    malformed.push_back({});
    malformed.push_back(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 100));
    malformed.push_back(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    auto badMagic = bytes;
    badMagic[0] = 'x';
    malformed.push_back(badMagic);
    auto badTag = bytes;
    badTag[16] = 99;
    malformed.push_back(badTag);
    auto hugeText = bytes;
    hugeText[18] = 0xFF, hugeText[19] = 0xFF, hugeText[20] = 0xFF, hugeText[21] = 0x7F;
    malformed.push_back(hugeText);
    malformed.push_back(std::vector<std::uint8_t>(4096, 0x5A));
    for (const auto& block : malformed) EXPECT_EQ(persist->Load(StreamOf(block).Get()), E_FAIL) << block.size();
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);

    EXPECT_EQ(control->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, 25294);
    EXPECT_EQ(persist->InitNew(), S_OK);
}

TEST(PlayerControl, DispatchBindsNamesAndRefusesWrongCalls) {
    auto control = CreateControl();
    ASSERT_TRUE(control);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(control.As(&dispatch), S_OK);

    wchar_t movieName[] = L"movie";
    wchar_t unknownName[] = L"NoSuchMember";
    LPOLESTR names[] = {movieName};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, TLB::DISPID_Movie);
    names[0] = unknownName;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

    EXPECT_EQ(PutMovie(control.Get(), L"C:\\no such folder\\movie.swf"), S_OK);
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_EQ(dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                               nullptr, nullptr),
              S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal, L"C:\\no such folder\\movie.swf");
    VariantClear(&result);

    EXPECT_EQ(
        dispatch->Invoke(103, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(FAILED(dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &none,
                                        nullptr, nullptr, nullptr)));
    VARIANT unknown;
    VariantInit(&unknown);
    unknown.vt = VT_UNKNOWN;
    unknown.punkVal = nullptr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS wrongType = {&unknown, &named, 1, 1};
    EXPECT_TRUE(FAILED(dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                        &wrongType, nullptr, nullptr, nullptr)));
    // A failed put leaves the movie as it was.
    ASSERT_EQ(dispatch->Invoke(TLB::DISPID_Movie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                               nullptr, nullptr),
              S_OK);
    EXPECT_STREQ(result.bstrVal, L"C:\\no such folder\\movie.swf");
    VariantClear(&result);
}

// The numbers containers and scripts bind to, written out here rather than
// taken from the binding header, so that a changed number in either the
// control or the header fails.
TEST(PlayerControl, PublishedIdentifiersAndDispatchIdsStayFixed) {
    CLSID classId;
    ASSERT_EQ(CLSIDFromString(L"{D27CDB6E-AE6D-11cf-96B8-444553540000}", &classId), S_OK);
    IID eventsId;
    ASSERT_EQ(IIDFromString(L"{D27CDB6D-AE6D-11CF-96B8-444553540000}", &eventsId), S_OK);
    constexpr DISPID kMovie = 102, kReadyStateChange = -609, kProgress = 1958, kFSCommand = 150, kFlashCall = 197;

    // The binding the projector hosts the control with.
    EXPECT_TRUE(IsEqualCLSID(TLB::CLSID_ShockwaveFlash, classId));
    EXPECT_TRUE(IsEqualIID(TLB::DIID_IShockwaveFlashEvents, eventsId));
    EXPECT_EQ(TLB::DISPID_Movie, kMovie);
    EXPECT_EQ(TLB::DISPID_OnReadyStateChange, kReadyStateChange);
    EXPECT_EQ(TLB::DISPID_OnProgress, kProgress);
    EXPECT_EQ(TLB::DISPID_FSCommand, kFSCommand);
    EXPECT_EQ(TLB::DISPID_FlashCall, kFlashCall);

    // The control itself, created by the literal class id.
    ComPtr<IOleObject> created;
    ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               reinterpret_cast<void**>(created.GetAddressOf())),
              S_OK);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(created.As(&dispatch), S_OK);
    wchar_t movieName[] = L"Movie";
    LPOLESTR names[] = {movieName};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, kMovie);
    created->Close(OLECLOSE_NOSAVE);
    dispatch.Reset();
    created.Reset();

    // Events through the connection point found by the literal interface id;
    // fscommand's command comes first, its arguments second.
    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(hosted.control.As(&container), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(eventsId, &point), S_OK);
    auto* sink = new EventSink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink, &cookie), S_OK);

    VARIANT path;
    VariantInit(&path);
    path.vt = VT_BSTR;
    path.bstrVal =
        SysAllocString(WriteTempFile(L"control_ids_fscommand.swf", FSCommandMovie("a", "b", 0xFFFFFF)).c_str());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put = {&path, &named, 1, 1};
    ComPtr<IDispatch> hostedDispatch;
    ASSERT_EQ(hosted.control.As(&hostedDispatch), S_OK);
    EXPECT_EQ(hostedDispatch->Invoke(kMovie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr,
                                     nullptr, nullptr),
              S_OK);
    VariantClear(&path);
    EXPECT_TRUE(PumpUntil([&] { return sink->Count(kFSCommand) > 0; }, 5000));
    auto command =
        std::find_if(sink->events.begin(), sink->events.end(), [&](const auto& e) { return e.dispid == kFSCommand; });
    ASSERT_NE(command, sink->events.end());
    EXPECT_EQ(command->first, L"a");
    EXPECT_EQ(command->second, L"b");
    EXPECT_TRUE(HasEvent(*sink, kReadyStateChange, 4));

    sink->events.clear();
    ASSERT_EQ(PutMovie(hosted.control.Get(),
                       WriteTempFile(L"control_ids_flashcall.swf", ExternalCallMovie("quit", "x", 0xFFFFFF))),
              S_OK);
    EXPECT_TRUE(PumpUntil([&] { return sink->Count(kFlashCall) > 0; }, 5000));
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    sink->Release();
}

TEST(PlayerControl, ChildWindowFollowsActivationAndObjectRects) {
    HostedControl hosted;
    ASSERT_TRUE(hosted.control);
    EXPECT_EQ(hosted.ControlWindow(), nullptr);
    ASSERT_EQ(hosted.Activate(), S_OK);
    HWND child = hosted.ControlWindow();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), hosted.host);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(hosted.site->inPlaceActivations, 1);

    auto boundsInHost = [&] {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hosted.host, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT r = boundsInHost();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 210);
    EXPECT_EQ(r.bottom, 170);

    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(hosted.control.As(&inPlace), S_OK);
    const RECT moved = {5, 6, 305, 256};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    r = boundsInHost();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right, 305);
    EXPECT_EQ(r.bottom, 256);

    // Activating again keeps the one window.
    EXPECT_EQ(hosted.Activate(), S_OK);
    EXPECT_EQ(hosted.ControlWindow(), child);
    EXPECT_EQ(hosted.site->inPlaceActivations, 1);

    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(hosted.site->inPlaceDeactivations, 1);
    EXPECT_EQ(hosted.ControlWindow(), nullptr);
}

TEST(PlayerControl, LoadingReportsReadyStatesToEverySink) {
    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* first = hosted.AddSink();
    EventSink* second = hosted.AddSink();
    const auto path = WriteTempFile(L"control_ready.swf", SolidMovie(100, 100, 0x102030));
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(PutMovie(hosted.control.Get(), path), S_OK);
    // Events come from the message loop, never from inside the property call.
    EXPECT_TRUE(first->events.empty());
    ASSERT_TRUE(PumpUntil([&] { return HasEvent(*second, TLB::DISPID_OnReadyStateChange, 4); }, 5000));
    for (const EventSink* sink : {first, second}) {
        ASSERT_GE(sink->events.size(), 4u);
        EXPECT_EQ(sink->events[0].dispid, TLB::DISPID_OnReadyStateChange);
        EXPECT_EQ(sink->events[0].number, 0);
        EXPECT_TRUE(HasEvent(*sink, TLB::DISPID_OnProgress, 100));
        EXPECT_TRUE(HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 3));
    }
}

TEST(PlayerControl, FrozenEventsWaitForTheHost) {
    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    ComPtr<IOleControl> oleControl;
    ASSERT_EQ(hosted.control.As(&oleControl), S_OK);
    EXPECT_EQ(oleControl->FreezeEvents(TRUE), S_OK);
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_frozen.swf", SolidMovie(50, 50, 0))), S_OK);
    PumpFor(300);
    EXPECT_TRUE(sink->events.empty());
    EXPECT_EQ(oleControl->FreezeEvents(FALSE), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 4); }, 5000));
}

TEST(PlayerControl, UnreadableMoviesShowTheBackgroundAndNeverCompleteLoading) {
    HostedControl hosted({0, 0, 120, 90});
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    HWND child = hosted.ControlWindow();
    ASSERT_NE(child, nullptr);

    auto good = SolidMovie(120, 90, 0x00FF00);
    std::vector<std::wstring> movies = {
        L"C:\\no such folder\\missing.swf",
        WriteTempFile(L"control_garbage.swf", std::vector<std::uint8_t>(3000, 0xC3)),
        WriteTempFile(L"control_truncated.swf", std::vector<std::uint8_t>(good.begin(), good.begin() + 12)),
        WriteTempFile(L"control_empty.swf", {}),
        L"http://example.invalid/movie.swf",
        L"",
    };
    for (const auto& movie : movies) {
        sink->events.clear();
        ASSERT_EQ(PutMovie(hosted.control.Get(), movie), S_OK);
        PumpUntil([&] { return !sink->events.empty(); }, 3000);
        PumpFor(100);
        ASSERT_TRUE(IsWindow(child));
        EXPECT_EQ(WindowPixel(child, 60, 45), 0xFFFFFFu) << std::string(movie.begin(), movie.end());
        EXPECT_TRUE(HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 0));
        EXPECT_FALSE(HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 4));
    }
}

TEST(PlayerControl, SolidMovieFillsTheWindowAndFollowsResizing) {
    HostedControl hosted({0, 0, 160, 100});
    ASSERT_EQ(hosted.Activate(), S_OK);
    HWND child = hosted.ControlWindow();
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_solid.swf", SolidMovie(80, 80, 0x3366CC))), S_OK);
    PumpFor(200);
    for (POINT p : {POINT{0, 0}, POINT{80, 50}, POINT{159, 99}})
        EXPECT_TRUE(Near(WindowPixel(child, p.x, p.y), 0x3366CC)) << std::hex << WindowPixel(child, p.x, p.y);

    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(hosted.control.As(&inPlace), S_OK);
    const RECT larger = {0, 0, 300, 220};
    ASSERT_EQ(inPlace->SetObjectRects(&larger, &larger), S_OK);
    PumpFor(200);
    EXPECT_TRUE(Near(WindowPixel(child, 295, 215), 0x3366CC)) << std::hex << WindowPixel(child, 295, 215);
}

std::int64_t ProcessorTimeMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart; };
    return static_cast<std::int64_t>((ticks(kernel) + ticks(user)) / 10000);
}

TEST(PlayerControl, UnseenWideWindowCostsNoRenderingUntilShown) {
    // A very wide control in a host of no height: nothing of it can be seen.
    HostedControl hosted({0, 0, 30000, 300}, 30000, 0);
    ASSERT_EQ(hosted.Activate(), S_OK);
    HWND child = hosted.ControlWindow();
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_unseen.swf", SolidMovie(80, 80, 0x3366CC, 30))),
              S_OK);
    PumpFor(500);
    const std::int64_t before = ProcessorTimeMs();
    PumpFor(3000);
    EXPECT_LT(ProcessorTimeMs() - before, 300) << "ms of processor time at 30 frames a second";

    // Once the host has a height, the movie shows.
    SetWindowPos(hosted.host, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(300);
    EXPECT_TRUE(Near(WindowPixel(child, 100, 100), 0x3366CC)) << std::hex << WindowPixel(child, 100, 100);
}

TEST(PlayerControl, ViewObjectDrawsIntoAMemoryDc) {
    auto control = CreateControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(PutMovie(control.Get(), WriteTempFile(L"control_draw.swf", SolidMovie(40, 40, 0xAA5500))), S_OK);
    ComPtr<IViewObject> view;
    ASSERT_EQ(control.As(&view), S_OK);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 64;
    info.bmiHeader.biHeight = -48;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    std::memset(bits, 0, 64 * 48 * 4);
    const RECTL bounds = {8, 8, 56, 40};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr, nullptr, 0),
              E_INVALIDARG);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    EXPECT_TRUE(Near(pixels[20 * 64 + 30] & 0xFFFFFF, 0xAA5500)) << std::hex << pixels[20 * 64 + 30];
    EXPECT_EQ(pixels[2 * 64 + 2] & 0xFFFFFF, 0u);  // outside the bounds: untouched
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(PlayerControl, MovieRequestsReachEverySinkWithTheirExactText) {
    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* first = hosted.AddSink();
    EventSink* second = hosted.AddSink();

    ASSERT_EQ(PutMovie(hosted.control.Get(),
                       WriteTempFile(L"control_fscommand.swf", FSCommandMovie("quit", "now please", 0xFFFFFF))),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return second->Count(TLB::DISPID_FSCommand) > 0; }, 5000));
    for (const EventSink* sink : {first, second}) {
        auto it = std::find_if(sink->events.begin(), sink->events.end(),
                               [](const auto& e) { return e.dispid == TLB::DISPID_FSCommand; });
        ASSERT_NE(it, sink->events.end());
        EXPECT_EQ(it->first, L"quit");
        EXPECT_EQ(it->second, L"now please");
    }

    first->events.clear();
    ASSERT_EQ(PutMovie(hosted.control.Get(),
                       WriteTempFile(L"control_flashcall.swf", ExternalCallMovie("closeApp", "bye", 0xFFFFFF))),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return first->Count(TLB::DISPID_FlashCall) > 0; }, 5000));
    auto call = std::find_if(first->events.begin(), first->events.end(),
                             [](const auto& e) { return e.dispid == TLB::DISPID_FlashCall; });
    EXPECT_EQ(call->first,
              L"<invoke name=\"closeApp\" returntype=\"xml\"><arguments><string>bye</string></arguments></invoke>");
    // The call comes after the movie reported itself complete.
    auto complete = std::find_if(first->events.begin(), first->events.end(), [](const auto& e) {
        return e.dispid == TLB::DISPID_OnReadyStateChange && e.number == 4;
    });
    EXPECT_LT(complete - first->events.begin(), call - first->events.begin());
}

TEST(PlayerControl, MoviesLoadFilesFromTheirOwnFolderOnly) {
    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    const std::wstring folder = MakeMovieFolders(L"control_loading");
    const std::wstring movie = folder + L"\\guide.swf";
    const auto bytes = LoadingMovie("pages/inside.txt", "../outside.txt");
    ASSERT_EQ(WriteTempFile(L"control_loading\\movie\\guide.swf", bytes), movie);
    ASSERT_EQ(PutMovie(hosted.control.Get(), movie), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink->Count(TLB::DISPID_FSCommand) >= 2; }, 5000));
    std::vector<std::pair<std::wstring, std::wstring>> commands;
    for (const auto& e : sink->events) {
        if (e.dispid == TLB::DISPID_FSCommand) commands.emplace_back(e.first, e.second);
    }
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[0], (std::pair<std::wstring, std::wstring>{L"inside", L"true:hello"}));
    EXPECT_EQ(commands[1], (std::pair<std::wstring, std::wstring>{L"outside", L"false:undefined"}));
}

TEST(PlayerControl, ScriptAccessNeverKeepsMovieRequestsFromTheHost) {
    HostedControl hosted;
    auto state = flash::DefaultControlData();
    state.Values[10] = flash::ControlValue::MakeText(u"never", true);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(hosted.control.As(&persist), S_OK);
    ASSERT_EQ(persist->Load(StreamOf(flash::SerializeControlData(state)).Get()), S_OK);
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_never.swf", FSCommandMovie("quit", "", 0xFFFFFF))),
              S_OK);
    ASSERT_TRUE(PumpUntil([&] { return HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 4); }, 5000));
    PumpFor(400);
    EXPECT_EQ(sink->Count(TLB::DISPID_FSCommand), 0u);
}

TEST(PlayerControl, HostMayDestroyTheControlInsideFlashCall) {
    auto* hosted = new HostedControl();
    ASSERT_EQ(hosted->Activate(), S_OK);
    HWND child = hosted->ControlWindow();
    EventSink* sink = hosted->AddSink();
    sink->AddRef();  // kept for the checks below
    bool destroyed = false;
    sink->onEvent = [&](const EventSink::Event& e) {
        if (e.dispid != TLB::DISPID_FlashCall || destroyed) return;
        destroyed = true;
        delete hosted;  // unadvise, close, release the control, destroy the host window
        hosted = nullptr;
    };
    ASSERT_EQ(
        PutMovie(hosted->control.Get(), WriteTempFile(L"control_close.swf", ExternalCallMovie("close", "", 0x808080))),
        S_OK);
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 5000));
    PumpFor(300);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(sink->Count(TLB::DISPID_FlashCall), 1u);
    EXPECT_EQ(CallEntry("DllCanUnloadNow"), S_OK);
    sink->Release();
}

TEST(PlayerControl, ShowAllKeepsTheStageWholeWithBackgroundMargins) {
    HostedControl hosted({0, 0, 400, 300});
    ASSERT_EQ(hosted.Activate(), S_OK);
    HWND child = hosted.ControlWindow();
    ASSERT_EQ(
        PutMovie(hosted.control.Get(), WriteTempFile(L"control_halves.swf", HalfAndHalfMovie(0x0000FF, 0xFF0000))),
        S_OK);
    PumpFor(300);
    // The 200 x 100 stage shows at twice its size between 50-pixel margins.
    EXPECT_TRUE(Near(WindowPixel(child, 100, 150), 0xFF0000)) << std::hex << WindowPixel(child, 100, 150);
    EXPECT_TRUE(Near(WindowPixel(child, 300, 150), 0x0000FF)) << std::hex << WindowPixel(child, 300, 150);
    EXPECT_TRUE(Near(WindowPixel(child, 100, 20), 0x0000FF)) << std::hex << WindowPixel(child, 100, 20);
    EXPECT_TRUE(Near(WindowPixel(child, 100, 280), 0x0000FF)) << std::hex << WindowPixel(child, 100, 280);
    EXPECT_TRUE(Near(WindowPixel(child, 195, 60), 0xFF0000)) << std::hex << WindowPixel(child, 195, 60);
    EXPECT_TRUE(Near(WindowPixel(child, 205, 60), 0x0000FF)) << std::hex << WindowPixel(child, 205, 60);
}

TEST(PlayerControl, MouseClicksReachButtonsWithCaptureWhilePressed) {
    HostedControl hosted({0, 0, 200, 100});
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    HWND child = hosted.ControlWindow();
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_button.swf", ButtonMovie())), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return HasEvent(*sink, TLB::DISPID_OnReadyStateChange, 4); }, 5000));

    auto click = [&](int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        SendMessageW(child, WM_MOUSEMOVE, 0, at);
        SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
        const bool captured = GetCapture() == child;
        SendMessageW(child, WM_LBUTTONUP, 0, at);
        EXPECT_NE(GetCapture(), child);
        return captured;
    };
    EXPECT_TRUE(click(150, 50));  // beside the button
    PumpFor(200);
    EXPECT_EQ(sink->Count(TLB::DISPID_FSCommand), 0u);
    EXPECT_TRUE(click(50, 50));
    ASSERT_TRUE(PumpUntil([&] { return sink->Count(TLB::DISPID_FSCommand) > 0; }, 3000));
    EXPECT_EQ(sink->Count(TLB::DISPID_FSCommand), 1u);
    auto it = std::find_if(sink->events.begin(), sink->events.end(),
                           [](const auto& e) { return e.dispid == TLB::DISPID_FSCommand; });
    EXPECT_EQ(it->first, L"clicked");
    EXPECT_EQ(it->second, L"left");
}

// Keys reach a movie in a host whose message loop hands them to the active
// object first (as dialog-style containers do): TranslateAccelerator takes
// keys for the control's own window and delivers them, and leaves the rest.
TEST(PlayerControl, TranslateAcceleratorDeliversKeysForItsWindowOnly) {
    using swf::writer::ActionAssembler;
    using swf::writer::ActionCode;
    // listener = new Object(); listener.onKeyDown = function () { fscommand("key", Key.getCode()); };
    // Key.addListener(listener);
    ActionAssembler report;
    report.PushString("FSCommand:key").PushNumber(0).PushString("Key").Action(ActionCode::GetVariable);
    report.PushString("getCode").Action(ActionCode::CallMethod).GetURL2(0);
    ActionAssembler code;
    code.PushString("listener").PushNumber(0).PushString("Object").Action(ActionCode::NewObject);
    code.Action(ActionCode::SetVariable);
    code.PushString("listener").Action(ActionCode::GetVariable).PushString("onKeyDown");
    code.DefineFunction("", {}, report).Action(ActionCode::SetMember);
    code.PushString("listener").Action(ActionCode::GetVariable).PushNumber(1).PushString("Key");
    code.Action(ActionCode::GetVariable)
        .PushString("addListener")
        .Action(ActionCode::CallMethod)
        .Action(ActionCode::Pop);

    HostedControl hosted;
    ASSERT_EQ(hosted.Activate(), S_OK);
    EventSink* sink = hosted.AddSink();
    ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_keys.swf", ActionMovie(code.Finish()))), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return sink->Count(TLB::DISPID_OnReadyStateChange) > 0; }, 5000));
    PumpFor(100);
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(hosted.control.As(&active), S_OK);
    const auto keyReports = [&] { return sink->Count(TLB::DISPID_FSCommand); };

    // A key for another window, and a message that is no key: not taken.
    MSG other{hosted.host, WM_KEYDOWN, 'A', 1};
    EXPECT_EQ(active->TranslateAccelerator(&other), S_FALSE);
    MSG move{hosted.ControlWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)};
    EXPECT_EQ(active->TranslateAccelerator(&move), S_FALSE);
    PumpFor(100);
    EXPECT_EQ(keyReports(), 0);

    // A key for the control's window: taken and delivered to the movie.
    MSG key{hosted.ControlWindow(), WM_KEYDOWN, 'A', 1};
    EXPECT_EQ(active->TranslateAccelerator(&key), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return keyReports() > 0; }, 5000));
    auto it = std::find_if(sink->events.begin(), sink->events.end(),
                           [](const auto& e) { return e.dispid == TLB::DISPID_FSCommand; });
    EXPECT_EQ(it->first, L"key");
    EXPECT_EQ(it->second, L"65");
}

TEST(PlayerControl, LastReleaseLetsTheDllUnload) {
    {
        HostedControl hosted;
        ASSERT_EQ(hosted.Activate(), S_OK);
        hosted.AddSink();
        ASSERT_EQ(PutMovie(hosted.control.Get(), WriteTempFile(L"control_unload.swf", SolidMovie(50, 50, 0x123456))),
                  S_OK);
        PumpFor(200);
        EXPECT_EQ(CallEntry("DllCanUnloadNow"), S_FALSE);
    }
    PumpFor(50);
    EXPECT_EQ(CallEntry("DllCanUnloadNow"), S_OK);
}

}  // namespace
}  // namespace control_test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new control_test::RegisteredControl());
    return RUN_ALL_TESTS();
}
