// The player control hosted as the program hosts it: a toolkit form with the
// ShockwaveFlash binding (flash/) in it. The numbers of the interface are
// written here as the interface publishes them, so that a changed id in the
// binding or in the control fails here, whichever side changed.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/control/control_fixture.h"
#include "flash/ShockwaveFlashObjects_OCX.h"
#include "tests/control/test_movies.h"
#include "toolkit/win/application.h"
#include "toolkit/win/form.h"

namespace control_test {
namespace {

constexpr wchar_t kClassId[] = L"{D27CDB6E-AE6D-11cf-96B8-444553540000}";
constexpr wchar_t kEventsId[] = L"{D27CDB6D-AE6D-11cf-96B8-444553540000}";
constexpr DISPID kMovie = 102;

TEST(RealHost, TheProgramsBindingDrivesTheControlByThePublishedIds) {
    toolkit::TForm form(toolkit::Application, "TRealHostForm");
    form.SetClientSize(320, 200);
    auto* flash = new ShockwaveFlashObjects_OCX::TShockwaveFlash(&form);
    flash->SetParent(&form);
    flash->SetBounds(0, 0, 320, 200);
    std::vector<int> readyStates;
    std::vector<std::pair<std::wstring, std::wstring>> commands;
    std::vector<std::wstring> calls;
    flash->OnReadyStateChange = [&](toolkit::TComponent*, int state) { readyStates.push_back(state); };
    flash->OnFSCommand = [&](toolkit::TComponent*, const std::wstring& command, const std::wstring& args) {
        commands.emplace_back(command, args);
    };
    flash->OnFlashCall = [&](toolkit::TComponent*, const std::wstring& request) { calls.push_back(request); };
    flash->Loaded();
    ASSERT_TRUE(flash->Created());
    form.Show();

    // The object the binding created is the control of the published class.
    CLSID classId{};
    ASSERT_EQ(CLSIDFromString(kClassId, &classId), S_OK);
    ComPtr<IPersist> persist;
    ASSERT_EQ(flash->OleObject()->QueryInterface(IID_IPersist, reinterpret_cast<void**>(persist.GetAddressOf())), S_OK);
    CLSID reported{};
    ASSERT_EQ(persist->GetClassID(&reported), S_OK);
    EXPECT_TRUE(IsEqualCLSID(reported, classId));

    // The control offers the published event interface; the binding's handlers
    // below receive its events.
    IID eventsId{};
    ASSERT_EQ(IIDFromString(kEventsId, &eventsId), S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(flash->OleObject()->QueryInterface(IID_IConnectionPointContainer,
                                                 reinterpret_cast<void**>(container.GetAddressOf())),
              S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(eventsId, point.GetAddressOf()), S_OK);

    // The binding's Movie reaches the control's property 102.
    const std::wstring path = WriteTempFile(L"real_host_fscommand.swf", FSCommandMovie("first", "second", 0x336699));
    flash->SetMovie(path);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(flash->OleObject()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf())),
              S_OK);
    VARIANT movie;
    VariantInit(&movie);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(
        dispatch->Invoke(kMovie, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &movie, nullptr, nullptr),
        S_OK);
    ASSERT_EQ(movie.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(movie.bstrVal, SysStringLen(movie.bstrVal)), path);
    VariantClear(&movie);

    // Events arrive at the binding's handlers: the loaded state (4), and
    // fscommand with its command first and its arguments second.
    EXPECT_TRUE(PumpUntil([&] { return !commands.empty(); }, 5000));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, L"first");
    EXPECT_EQ(commands[0].second, L"second");
    EXPECT_NE(std::find(readyStates.begin(), readyStates.end(), 4), readyStates.end());

    flash->SetMovie(WriteTempFile(L"real_host_call.swf", ExternalCallMovie("greet", "x", 0x336699)));
    EXPECT_TRUE(PumpUntil([&] { return !calls.empty(); }, 5000));
    ASSERT_FALSE(calls.empty());
    EXPECT_NE(calls[0].find(L"greet"), std::wstring::npos) << calls[0];
}

}  // namespace
}  // namespace control_test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    toolkit::TApplication application;
    application.Initialize();
    ::testing::AddGlobalTestEnvironment(new control_test::RegisteredControl());
    return RUN_ALL_TESTS();
}
