// The player control's persistence: its saved state in a stream (the form
// resource's ControlData), in a compound document's storage, and as the
// named values of a property bag (an HTML page's <param> elements).

#include <olectl.h>

#include <string>

#include "control/flash_control.h"
#include "control/saved_state_reader.h"
#include "flash/ShockwaveFlashObjects_TLB.h"
#include "win32/com_error.h"
#include "win32/wide_text.h"

namespace control {

namespace TLB = ShockwaveFlashObjects_TLB;

namespace {

// The stream a compound document's storage keeps the saved state in.
constexpr wchar_t kContentsStream[] = L"Contents";

// A page's value longer than this is refused rather than kept.
constexpr UINT kMaxBagTextCharacters = 1u << 20;

}  // namespace

// ---- IPersist, IPersistStreamInit ----

HRESULT FlashControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = TLB::CLSID_ShockwaveFlash;
    return S_OK;
}

HRESULT FlashControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT FlashControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    // A malformed state fails the call; the control keeps what it had.
    const HRESULT loaded = win32::HresultOf([&]() -> HRESULT {
        const auto block = ReadSavedStateBlock([stream](std::uint8_t* target, std::size_t count) {
            ULONG got = 0;
            return SUCCEEDED(stream->Read(target, static_cast<ULONG>(count), &got)) && got == count;
        });
        if (!block) return E_FAIL;
        state_ = flash::ParseControlData(*block);
        return S_OK;
    });
    if (FAILED(loaded)) return loaded;
    dirty_ = false;
    ApplyStoredSettings(true);
    return S_OK;
}

HRESULT FlashControl::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const HRESULT saved = win32::HresultOf([&]() -> HRESULT {
        const auto bytes = flash::SerializeControlData(state_);
        ULONG written = 0;
        const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        if (FAILED(hr)) return hr;
        if (written != bytes.size()) return STG_E_MEDIUMFULL;
        return S_OK;
    });
    if (FAILED(saved)) return saved;
    if (clearDirty) dirty_ = false;
    return S_OK;
}

HRESULT FlashControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    return win32::HresultOf([&]() -> HRESULT {
        size->QuadPart = flash::SerializeControlData(state_).size();
        return S_OK;
    });
}

HRESULT FlashControl::InitNew() {
    const HRESULT made = win32::HresultOf([&]() -> HRESULT {
        state_ = flash::DefaultControlData();
        return S_OK;
    });
    if (FAILED(made)) return made;
    dirty_ = false;
    ApplyStoredSettings(false);
    return S_OK;
}

// ---- IPersistPropertyBag ----

HRESULT FlashControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    const HRESULT loaded = win32::HresultOf([&]() -> HRESULT {
        // Values the page does not give keep their defaults; a value that
        // does not fit its setting is told to the error log and left out.
        flash::ControlData state = flash::DefaultControlData();
        ControlSettings settings(state);
        for (const SettingName& entry : kSettingNames) {
            const std::wstring name(entry.name, entry.name + std::char_traits<char>::length(entry.name));
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_BSTR;
            if (FAILED(bag->Read(name.c_str(), &value, log))) continue;
            VARIANT text;
            VariantInit(&text);
            const bool usable =
                SUCCEEDED(VariantChangeType(&text, &value, 0, VT_BSTR)) &&
                SysStringLen(text.bstrVal) <= kMaxBagTextCharacters &&
                settings.SetFromText(
                    entry.setting,
                    std::u16string_view(reinterpret_cast<const char16_t*>(text.bstrVal ? text.bstrVal : L""),
                                        SysStringLen(text.bstrVal)));
            VariantClear(&text);
            VariantClear(&value);
            if (!usable && log) {
                EXCEPINFO problem = {};
                problem.scode = E_INVALIDARG;
                problem.bstrSource = SysAllocString(L"ShockwaveFlash");
                problem.bstrDescription = SysAllocString((L"The value of " + name + L" is not usable").c_str());
                log->AddError(name.c_str(), &problem);
                SysFreeString(problem.bstrSource);
                SysFreeString(problem.bstrDescription);
            }
        }
        state_ = std::move(state);
        return S_OK;
    });
    if (FAILED(loaded)) return loaded;
    dirty_ = false;
    ApplyStoredSettings(true);
    return S_OK;
}

HRESULT FlashControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
    if (!bag) return E_POINTER;
    const HRESULT saved = win32::HresultOf([&]() -> HRESULT {
        flash::ControlData defaults = flash::DefaultControlData();
        const ControlSettings original(defaults);
        const ControlSettings settings(state_);
        for (const SettingName& entry : kSettingNames) {
            const std::u16string text = settings.AsText(entry.setting);
            // Without saveAll only what differs from a new control is written.
            if (!saveAll && text == original.AsText(entry.setting)) continue;
            const std::wstring name(entry.name, entry.name + std::char_traits<char>::length(entry.name));
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_BSTR;
            value.bstrVal =
                SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
            if (!value.bstrVal) return E_OUTOFMEMORY;
            const HRESULT hr = bag->Write(name.c_str(), &value);
            VariantClear(&value);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    });
    if (FAILED(saved)) return saved;
    if (clearDirty) dirty_ = false;
    return S_OK;
}

// ---- IPersistStorage ----

HRESULT FlashControl::InitNew(IStorage* storage) {
    if (!storage) return E_POINTER;
    return InitNew();
}

HRESULT FlashControl::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    win32::ComPtr<IStream> stream;
    const HRESULT opened =
        storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Out());
    if (FAILED(opened)) return opened;
    return Load(stream.Get());
}

HRESULT FlashControl::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    win32::ComPtr<IStream> stream;
    const HRESULT made =
        storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Out());
    if (FAILED(made)) return made;
    return Save(stream.Get(), TRUE);
}

HRESULT FlashControl::SaveCompleted(IStorage*) { return S_OK; }

HRESULT FlashControl::HandsOffStorage() { return S_OK; }

}  // namespace control
