#pragma once
// The control's own child window: plays the movie at its frame rate, paints
// it from a back buffer and hands it the mouse.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "control/back_buffer.h"
#include "control/frame_clock.h"
#include "control/movie_player.h"

namespace control {

// What the window needs of the control that owns it.
class PlayerWindowHost {
public:
    // Called around every message the window handles, so that the control
    // outlives the handling even when an event sink lets it go meanwhile.
    virtual void HoldForCallback() = 0;
    virtual void ReleaseAfterCallback() = 0;
    // Hands pending events to the sinks.
    virtual void DeliverEvents() = 0;
    // The user clicked into the window: the control becomes the active one
    // (its container then gives it the keys).
    virtual void ActivateByUser() = 0;

protected:
    ~PlayerWindowHost() = default;
};

// What playback has done since the window was created.
struct FrameCounters {
    std::int64_t advanced = 0;  // frames the timeline moved on
    std::int64_t drawn = 0;     // frames drawn to the screen
    std::int64_t dropped = 0;   // frames due that were never drawn (caught up or skipped)
};

class PlayerWindow {
public:
    PlayerWindow(MoviePlayer& player, PlayerWindowHost& host) : player_(player), host_(host) {}
    ~PlayerWindow() { Destroy(); }
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    bool Create(HWND parent, const RECT& bounds);
    // Destroys the window and its timer; messages it still receives on the
    // way out no longer reach this object.
    void Destroy();
    HWND Handle() const { return hwnd_; }

    void SetBounds(const RECT& bounds);
    // Restarts playback of whatever the player now holds and redraws.
    void Restart();
    // Asks for DeliverEvents from the message loop rather than from the caller's stack.
    void RequestDelivery();

    // Draws the whole frame again: how the stage is shown has changed.
    void RedrawAll();

    const FrameCounters& Counters() const { return counters_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnFrameTimer();
    // The caret's blink: draws it shown or hidden, and waits for the next blink.
    void OnCaretTimer();
    void ArmCaretTimer();
    // Wakes the thread when the next frame is due.
    void ArmTimer();
    // Renders the current frame and asks for the changed parts to be painted;
    // false when nothing was rendered (nothing can be seen, or no area).
    bool Redraw();
    // Whether any part of the window can be seen on screen.
    bool AnythingVisible() const;
    // The current frame into the back buffer, where it changed; false when the
    // window has no area. The rectangles drawn are left in `changed_`.
    bool RenderFrame();
    // Marks what RenderFrame drew for painting.
    void InvalidateChanged();
    void Paint(HDC dc, const RECT& area);
    // A key or character for the movie's text fields.
    void OnKeyDown(WPARAM key);
    void OnCharacter(WPARAM unit);
    // The system cursor for what lies under the pointer (none while the movie hides it).
    void ShowCursorShape();
    // 1, 2 or 3: a press, the system's double click, or a press that follows one closely.
    int CountClicks(UINT message, LPARAM lParam);
    // Copies the parts of the update region (or `bounds`, its bounding box) from the back buffer.
    void PaintRegion(HDC dc, HRGN region, const RECT& bounds);
    void OnPaint();

    MoviePlayer& player_;
    PlayerWindowHost& host_;
    HWND hwnd_ = nullptr;
    BackBuffer buffer_;
    FrameClock clock_;
    bool timerRunning_ = false;
    // A frame was skipped while no part of the window could be seen.
    bool frameSkipped_ = false;
    // The first half of a character typed as a UTF-16 surrogate pair.
    wchar_t highSurrogate_ = 0;
    // The last double click, for telling a triple click.
    struct DoubleClick {
        bool valid = false;
        DWORD time = 0;
        POINT at{};
    } doubleClick_;
    std::vector<PixelArea> changed_;
    FrameCounters counters_;
};

// Draws the player's current frame into any DC, scaled to `bounds`.
void DrawPlayer(MoviePlayer& player, HDC dc, const RECT& bounds);

void UnregisterPlayerWindowClass();

}  // namespace control
