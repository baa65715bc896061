#pragma once
// Colours and fonts as the form descriptions name them.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "win32/gdi_objects.h"

namespace toolkit {

// 0x00BBGGRR for a plain colour; with the top byte 0xFF, the low byte is a
// system colour index (COLOR_...). clNone means "no colour".
using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

// The colour named by an identifier such as clBtnFace or clRed.
std::optional<TColor> ColorFromName(const std::string& name);
// The RGB value to draw with (system colours looked up now).
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font description; the system font is created when first needed.
class TFont {
public:
    std::string Name() const { return name_; }
    int Height() const { return height_; }
    unsigned Style() const { return style_; }
    int Charset() const { return charset_; }
    TColor Color() const { return color_; }

    void SetName(const std::string& name);
    void SetHeight(int height);  // negative: character height in pixels
    void SetStyle(unsigned style);
    void SetCharset(int charset);
    void SetColor(TColor color) { color_ = color; }

    HFONT Handle() const;

    TFont() = default;
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

private:
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    unsigned style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    TColor color_ = clWindowText;
    mutable win32::GdiObject<HFONT> handle_;
};

// The charset named by an identifier such as DEFAULT_CHARSET.
std::optional<int> CharsetFromName(const std::string& name);

}  // namespace toolkit
