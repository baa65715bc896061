#pragma once
// Owners of GDI objects, icons and device-context state; each object they hold
// is counted as live (win32/object_count.h) until they free it.

#include <windows.h>

#include <utility>

#include "win32/object_count.h"

namespace win32 {

// Owns a GDI object (bitmap, font, brush) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {
        if (handle_) CountCreated(CountedObject::Gdi);
    }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);  // counted once already
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    void Reset(H handle = nullptr) {
        if (handle_) {
            DeleteObject(handle_);
            CountFreed(CountedObject::Gdi);
        }
        handle_ = handle;
        if (handle_) CountCreated(CountedObject::Gdi);
    }
    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // For a call that took the object over (SetWindowRgn): stops owning it
    // without deleting it.
    H HandOver() {
        if (handle_) CountFreed(CountedObject::Gdi);
        return std::exchange(handle_, nullptr);
    }

private:
    H handle_ = nullptr;
};

// Owns an icon handle.
class IconHandle {
public:
    IconHandle() = default;
    explicit IconHandle(HICON icon) : icon_(icon) {
        if (icon_) CountCreated(CountedObject::User);
    }
    IconHandle(IconHandle&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            icon_ = std::exchange(other.icon_, nullptr);  // counted once already
        }
        return *this;
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle() { Reset(); }

    void Reset(HICON icon = nullptr) {
        if (icon_) {
            DestroyIcon(icon_);
            CountFreed(CountedObject::User);
        }
        icon_ = icon;
        if (icon_) CountCreated(CountedObject::User);
    }
    HICON Get() const { return icon_; }
    explicit operator bool() const { return icon_ != nullptr; }

private:
    HICON icon_ = nullptr;
};

// A memory device context, with one bitmap selected when one is given; the
// DC's own bitmap is selected back before it is deleted.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith, HBITMAP bitmap = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {
        if (!dc_) return;
        CountCreated(CountedObject::Gdi);
        if (bitmap) old_ = SelectObject(dc_, bitmap);
    }
    ~MemoryDC() {
        if (!dc_) return;
        if (old_) SelectObject(dc_, old_);
        DeleteDC(dc_);
        CountFreed(CountedObject::Gdi);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

// A window's device context (the screen's for nullptr), released on destruction.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {
        if (dc_) CountCreated(CountedObject::Gdi);
    }
    ~WindowDC() {
        if (!dc_) return;
        ReleaseDC(window_, dc_);
        CountFreed(CountedObject::Gdi);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Saves a device context's state and restores it on destruction.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDC() { RestoreDC(dc_, id_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};

}  // namespace win32
