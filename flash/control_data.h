#pragma once
// The Shockwave Flash control's saved state ("ControlData"), as the form
// description carries it and the host hands it to the control on creation.
//
// Layout, little-endian throughout:
//   "gUfU"                      magic
//   uint32 1808                 format marker
//   int32 width, int32 height   extent in hundredths of a millimetre
//   24 values, each a uint16 type tag followed by its data:
//     3  (integer)  int32
//     8  (text)     uint32 byte count, then that many bytes of UTF-16 text,
//                   with or without a terminating zero character
//     11 (switch)   uint16, zero is off
//     13 (block)    16 bytes
// The type of each of the 24 values is fixed by its position.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace flash {

// A saved-state block that cannot be read; the control's own failure type, so
// that the control needs nothing of the host's toolkit.
class ControlDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ControlValueType : std::uint16_t { Integer = 3, Text = 8, Switch = 11, Block = 13 };

inline constexpr std::uint32_t kControlDataMarker = 1808;
inline constexpr std::size_t kControlValueCount = 24;
inline constexpr std::size_t kDefaultControlDataSize = 244;

// The automation "true" of a switch; any non-zero value reads as on.
inline constexpr std::uint16_t kSwitchTrue = 0xFFFF;

struct ControlValue {
    ControlValueType Type = ControlValueType::Text;
    std::u16string Text;          // without its terminating zero
    bool TextTerminated = false;  // whether the stored text carries one
    std::uint16_t Switch = 0;     // as stored
    std::int32_t Integer = 0;
    std::array<std::uint8_t, 16> Block{};

    bool IsOn() const { return Switch != 0; }
    bool operator==(const ControlValue&) const = default;

    static ControlValue MakeText(std::u16string text, bool terminated);
    static ControlValue MakeSwitch(std::uint16_t stored);
    static ControlValue MakeInteger(std::int32_t value);
    static ControlValue MakeBlock(const std::array<std::uint8_t, 16>& bytes);
};

struct ControlData {
    std::int32_t ExtentWidth = 0;  // hundredths of a millimetre
    std::int32_t ExtentHeight = 0;
    std::array<ControlValue, kControlValueCount> Values;

    const std::u16string& WMode() const;              // value 4
    const std::u16string& Quality() const;            // value 7
    const std::u16string& AllowScriptAccess() const;  // value 11
    const std::u16string& Scale() const;              // value 12
    const std::u16string& AllowNetworking() const;    // value 23
    const std::u16string& AllowFullScreen() const;    // value 24

    bool operator==(const ControlData&) const = default;
};

// The type every value must have, by position (0-based).
ControlValueType ExpectedControlValueType(std::size_t index);

// The state the player window stores for its control: 956 x 635 pixels at
// 96 dpi, window mode "Window", quality "High", scale "ShowAll", script access
// "always", networking "all", full screen "false".
ControlData DefaultControlData();

// DefaultControlData() as its 244 stored bytes.
std::vector<std::uint8_t> BuildDefaultControlData();

std::vector<std::uint8_t> SerializeControlData(const ControlData& data);

// Reads a whole block; throws ControlDataError for a wrong magic or marker, a
// value of the wrong type, a text with an odd byte count, data cut short, or
// bytes left over after the last value.
ControlData ParseControlData(std::span<const std::uint8_t> bytes);

}  // namespace flash
