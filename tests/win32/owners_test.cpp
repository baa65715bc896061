// The win32/ owners: what they free, how they count live objects, and the
// results COM entry points give for escaping exceptions.

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

#include "win32/com_error.h"
#include "win32/com_ptr.h"
#include "win32/gdi_objects.h"
#include "win32/object_count.h"
#include "win32/registry_key.h"

namespace {

using win32::CountedObject;
using win32::LiveObjects;

TEST(Win32Owners, GdiOwnersCountEachObjectOnceAndFreeIt) {
    const long start = LiveObjects(CountedObject::Gdi);
    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(raw, nullptr);
    {
        win32::GdiObject<HBRUSH> brush(raw);
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 1);
        // A move hands the same object on: still one.
        win32::GdiObject<HBRUSH> moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 1);
        win32::GdiObject<HBRUSH> assigned(CreateSolidBrush(RGB(4, 5, 6)));
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 2);
        assigned = std::move(moved);  // frees the second brush
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 1);
        EXPECT_EQ(assigned.Get(), raw);
    }
    EXPECT_EQ(LiveObjects(CountedObject::Gdi), start);
    // The owner deleted the brush: the system no longer knows it.
    EXPECT_EQ(GetObjectType(raw), 0u);

    // A memory DC counts while it lives; an empty owner counts nothing.
    {
        win32::GdiObject<HBITMAP> bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
        win32::MemoryDC dc(nullptr, bitmap.Get());
        ASSERT_NE(dc.Get(), nullptr);
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 2);
        win32::GdiObject<HFONT> none;
        none.Reset();
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 2);
    }
    EXPECT_EQ(LiveObjects(CountedObject::Gdi), start);
}

TEST(Win32Owners, HandedOverRegionsAndDeviceContextsCountRight) {
    const long start = LiveObjects(CountedObject::Gdi);
    // A region handed to a call that keeps it stops counting and stays alive.
    win32::GdiObject<HRGN> region(CreateRectRgn(0, 0, 4, 4));
    ASSERT_TRUE(region);
    EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 1);
    const HRGN raw = region.HandOver();
    EXPECT_FALSE(region);
    EXPECT_EQ(LiveObjects(CountedObject::Gdi), start);
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_REGION));
    DeleteObject(raw);

    // A memory DC without a bitmap, and the screen's DC, count while held.
    HDC memory = nullptr;
    {
        win32::MemoryDC dc(nullptr);
        memory = dc.Get();
        ASSERT_NE(memory, nullptr);
        win32::WindowDC screen(nullptr);
        ASSERT_NE(screen.Get(), nullptr);
        EXPECT_EQ(LiveObjects(CountedObject::Gdi), start + 2);
    }
    EXPECT_EQ(LiveObjects(CountedObject::Gdi), start);
    EXPECT_EQ(GetObjectType(memory), 0u);
}

// A COM object that counts its references and answers one interface; asked
// for any other, it fails but leaves junk in the slot, as a careless one might.
class CountedObjectStub final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *out = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x10));
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

    long references = 1;
};

TEST(Win32Owners, ComPtrHoldsExactlyTheReferencesItTakes) {
    CountedObjectStub object;
    {
        auto shared = win32::ComPtr<IUnknown>::Share(&object);
        EXPECT_EQ(object.references, 2);
        auto copy = shared;
        EXPECT_EQ(object.references, 3);
        // An out-parameter gets a reference of its own.
        IUnknown* handed = nullptr;
        copy.CopyTo(&handed);
        EXPECT_EQ(handed, &object);
        EXPECT_EQ(object.references, 4);
        handed->Release();
        // Only a successful query is adopted.
        auto same = shared.As<IUnknown>(IID_IUnknown);
        EXPECT_EQ(same.Get(), &object);
        EXPECT_EQ(object.references, 4);
        auto missing = shared.As<IDispatch>(IID_IDispatch);
        EXPECT_FALSE(missing);
        EXPECT_EQ(object.references, 4);
        // Moves hand the reference on; an empty pointer hands out null.
        auto moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(object.references, 4);
        win32::ComPtr<IUnknown> empty;
        IUnknown* none = &object;
        empty.CopyTo(&none);
        EXPECT_EQ(none, nullptr);
    }
    EXPECT_EQ(object.references, 1);
    {
        object.AddRef();
        auto attached = win32::ComPtr<IUnknown>::Attach(&object);  // takes the reference just added
        EXPECT_EQ(object.references, 2);
    }
    EXPECT_EQ(object.references, 1);
}

TEST(Win32Owners, IconsCountAsUserObjectsAndWindowsAnswerTheCountMessage) {
    const long start = LiveObjects(CountedObject::User);
    {
        win32::IconHandle icon(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
        ASSERT_TRUE(icon);
        EXPECT_EQ(LiveObjects(CountedObject::User), start + 1);
        // The answer packs GDI objects in the low word and USER objects in the high word.
        const LRESULT answer = win32::LiveObjectsAnswer();
        EXPECT_EQ(static_cast<long>(HIWORD(answer)), start + 1);
        EXPECT_EQ(static_cast<long>(LOWORD(answer)), LiveObjects(CountedObject::Gdi));
    }
    EXPECT_EQ(LiveObjects(CountedObject::User), start);
    // One registered message for every module of the process.
    EXPECT_EQ(win32::LiveObjectsMessage(), RegisterWindowMessageW(L"GuideLiveObjectCount"));
    EXPECT_NE(win32::LiveObjectsMessage(), 0u);
}

TEST(Win32Owners, RegistryKeyClosesWhatItHolds) {
    win32::RegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Out()), ERROR_SUCCESS);
    const HKEY raw = key.Get();
    ASSERT_NE(raw, nullptr);
    win32::RegistryKey moved(std::move(key));
    EXPECT_FALSE(key);
    moved.Reset();
    // A closed key can no longer be queried.
    DWORD subKeys = 0;
    EXPECT_NE(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(Win32Owners, ExceptionsBecomeHresultsAtComBoundaries) {
    EXPECT_EQ(win32::HresultOf([] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(win32::HresultOf([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(win32::HresultOf([]() -> HRESULT { throw std::runtime_error("bad state"); }), E_FAIL);
    EXPECT_EQ(win32::HresultOf([]() -> HRESULT { throw 7; }), E_FAIL);
}

}  // namespace
