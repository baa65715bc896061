#pragma once
// Identifiers of the Shockwave Flash player control: its class, its default
// dispatch interface, its event interface and the dispatch ids both sides use.
// Shared by the host (the player window) and by our own control.

#include <windows.h>
#include <oaidl.h>  // DISPID

namespace ShockwaveFlashObjects_TLB {

// {D27CDB6E-AE6D-11cf-96B8-444553540000}
inline constexpr CLSID CLSID_ShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6B-AE6D-11cf-96B8-444553540000}, version 1.0
inline constexpr GUID LIBID_ShockwaveFlashObjects = {
    0xD27CDB6B, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr unsigned short kTypeLibraryMajor = 1;
inline constexpr unsigned short kTypeLibraryMinor = 0;
// {D27CDB6C-AE6D-11cf-96B8-444553540000}
inline constexpr IID IID_IShockwaveFlash = {
    0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6D-AE6D-11cf-96B8-444553540000}
inline constexpr IID DIID_IShockwaveFlashEvents = {
    0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

inline constexpr char kClassIdText[] = "{D27CDB6E-AE6D-11cf-96B8-444553540000}";
inline constexpr wchar_t kClassIdWideText[] = L"{D27CDB6E-AE6D-11cf-96B8-444553540000}";

// Properties.
inline constexpr DISPID DISPID_Movie = 102;

// Events.
inline constexpr DISPID DISPID_OnReadyStateChange = -609;
inline constexpr DISPID DISPID_OnProgress = 1958;
inline constexpr DISPID DISPID_FSCommand = 150;
inline constexpr DISPID DISPID_FlashCall = 197;

}  // namespace ShockwaveFlashObjects_TLB
