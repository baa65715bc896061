#pragma once
// Event slots and their argument types. Handlers take the component that
// raised the event as Sender.

#include <functional>

#include "toolkit/core/component.h"

namespace toolkit {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held during a mouse event.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;

using TNotifyEvent = std::function<void(TComponent* Sender)>;
// X and Y are in the client coordinates of the component that raised the event.
using TMouseEvent = std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;

// Mouse cursors: 0 is the control's ordinary cursor, negative values are the
// system's cursors.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

}  // namespace toolkit
