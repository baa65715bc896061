#include "toolkit/win/graphics.h"

#include <utility>

namespace toolkit {

namespace {

struct NamedValue {
    const char* name;
    std::int32_t value;
};

constexpr NamedValue kColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clNone", clNone},
    {"clScrollBar", clSystemColor | COLOR_SCROLLBAR},
    {"clBackground", clSystemColor | COLOR_BACKGROUND},
    {"clActiveCaption", clSystemColor | COLOR_ACTIVECAPTION},
    {"clInactiveCaption", clSystemColor | COLOR_INACTIVECAPTION},
    {"clMenu", clSystemColor | COLOR_MENU},
    {"clWindow", clWindow},
    {"clWindowFrame", clSystemColor | COLOR_WINDOWFRAME},
    {"clMenuText", clSystemColor | COLOR_MENUTEXT},
    {"clWindowText", clWindowText},
    {"clCaptionText", clSystemColor | COLOR_CAPTIONTEXT},
    {"clActiveBorder", clSystemColor | COLOR_ACTIVEBORDER},
    {"clInactiveBorder", clSystemColor | COLOR_INACTIVEBORDER},
    {"clAppWorkSpace", clSystemColor | COLOR_APPWORKSPACE},
    {"clHighlight", clSystemColor | COLOR_HIGHLIGHT},
    {"clHighlightText", clSystemColor | COLOR_HIGHLIGHTTEXT},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clSystemColor | COLOR_BTNSHADOW},
    {"clGrayText", clSystemColor | COLOR_GRAYTEXT},
    {"clBtnText", clSystemColor | COLOR_BTNTEXT},
    {"clBtnHighlight", clSystemColor | COLOR_BTNHIGHLIGHT},
    {"clInfoText", clSystemColor | COLOR_INFOTEXT},
    {"clInfoBk", clSystemColor | COLOR_INFOBK},
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", ANSI_CHARSET},
    {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SYMBOL_CHARSET", SYMBOL_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
    {"HANGEUL_CHARSET", HANGEUL_CHARSET},
    {"GB2312_CHARSET", GB2312_CHARSET},
    {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
    {"OEM_CHARSET", OEM_CHARSET},
    {"JOHAB_CHARSET", JOHAB_CHARSET},
    {"HEBREW_CHARSET", HEBREW_CHARSET},
    {"ARABIC_CHARSET", ARABIC_CHARSET},
    {"GREEK_CHARSET", GREEK_CHARSET},
    {"TURKISH_CHARSET", TURKISH_CHARSET},
    {"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
    {"THAI_CHARSET", THAI_CHARSET},
    {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
    {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
    {"MAC_CHARSET", MAC_CHARSET},
    {"BALTIC_CHARSET", BALTIC_CHARSET},
};

template <std::size_t N>
std::optional<std::int32_t> Lookup(const NamedValue (&table)[N], const std::string& name) {
    for (const NamedValue& entry : table) {
        if (name == entry.name) return entry.value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TColor> ColorFromName(const std::string& name) { return Lookup(kColors, name); }

std::optional<int> CharsetFromName(const std::string& name) { return Lookup(kCharsets, name); }

COLORREF ColorToRGB(TColor color) {
    if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

TFont::TFont(const TFont& other)
    : name_(other.name_),
      height_(other.height_),
      style_(other.style_),
      charset_(other.charset_),
      color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        charset_ = other.charset_;
        color_ = other.color_;
        handle_.Reset();
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    name_ = name;
    handle_.Reset();
}
void TFont::SetHeight(int height) {
    height_ = height;
    handle_.Reset();
}
void TFont::SetStyle(unsigned style) {
    style_ = style;
    handle_.Reset();
}
void TFont::SetCharset(int charset) {
    charset_ = charset;
    handle_.Reset();
}

HFONT TFont::Handle() const {
    if (!handle_) {
        handle_.Reset(CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL, (style_ & fsItalic) != 0,
                                  (style_ & fsUnderline) != 0, (style_ & fsStrikeOut) != 0, static_cast<BYTE>(charset_),
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                  name_.c_str()));
    }
    return handle_.Get();
}

}  // namespace toolkit
