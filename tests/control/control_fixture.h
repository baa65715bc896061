#pragma once
// Shared set-up of the control tests: COM on this thread, the freshly built
// control registered into the test prefix for the run (and unregistered at
// its end), and a control placed in a host window through TestSite.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/control/test_site.h"

namespace control_test {

using Microsoft::WRL::ComPtr;

// The DLL under test, as loaded for registration.
HMODULE ControlModule();
std::wstring ControlModulePath();

// Registers the control for the whole run and removes it afterwards.
class RegisteredControl : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

ComPtr<IOleObject> CreateControl();
// Created through the class its ProgID names, as script hosts create it.
ComPtr<IOleObject> CreateControlByProgId(const wchar_t* progId);

// A stream holding the bytes, positioned at its start.
ComPtr<IStream> StreamOf(const std::vector<std::uint8_t>& bytes);

HRESULT PutMovie(IUnknown* control, const std::wstring& path);

// A control loaded with the default saved state and activated in place as a
// child of its own host window.
class HostedControl {
public:
    explicit HostedControl(RECT position = {10, 20, 210, 170}, int hostWidth = 400, int hostHeight = 300,
                           const wchar_t* progId = nullptr);
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    HRESULT Activate();
    // The control's own window (null when not active).
    HWND ControlWindow() const;
    // Advises a new sink; the fixture unadvises it at the end.
    EventSink* AddSink();
    // Closes and releases the control now.
    void Shutdown();

    HWND host = nullptr;
    TestSite* site = nullptr;
    ComPtr<IOleObject> control;

private:
    std::vector<std::pair<EventSink*, DWORD>> sinks_;
    RECT position_;
};

// The colour shown at a point of a window, as 0xRRGGBB.
std::uint32_t WindowPixel(HWND window, int x, int y);

}  // namespace control_test
