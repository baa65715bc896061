#pragma once
// What the test control offers the tests beyond the player control's own interface.

#include <windows.h>
#include <oleauto.h>

// Property get: the bytes IPersistStreamInit::Load received (VT_ARRAY|VT_UI1),
// or VT_EMPTY when the host called InitNew instead.
inline constexpr DISPID kReceivedStateDispid = 0x7001;
// Method with one string: raises FlashCall with it as the request.
inline constexpr DISPID kFireFlashCallDispid = 0x7002;
// Property get: how many times Movie was put.
inline constexpr DISPID kMoviePutCountDispid = 0x7003;
// Posted to the control's window: raises FlashCall with the request "close".
inline constexpr UINT kFireFlashCallMessage = WM_APP + 1;
// The colour the control paints its window with.
inline constexpr COLORREF kControlColor = RGB(0x20, 0x40, 0x80);
