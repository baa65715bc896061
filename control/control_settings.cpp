#include "control/control_settings.h"

#include <array>
#include <cctype>

namespace control {

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameText(std::u16string_view text, std::string_view expected) {
    if (text.size() != expected.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != static_cast<char16_t>(std::tolower(static_cast<unsigned char>(expected[i])))) {
            return false;
        }
    }
    return true;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

std::u16string Widened(std::string_view text) { return std::u16string(text.begin(), text.end()); }

constexpr std::array<const char*, 4> kQualityTexts{"Low", "High", "AutoLow", "AutoHigh"};
constexpr std::array<const char*, 4> kScaleTexts{"ShowAll", "NoBorder", "ExactFit", "NoScale"};

}  // namespace

SettingKind KindOf(Setting setting) {
    switch (flash::ExpectedControlValueType(static_cast<std::size_t>(setting))) {
    case flash::ControlValueType::Switch: return SettingKind::Switch;
    case flash::ControlValueType::Integer: return SettingKind::Integer;
    default: return SettingKind::Text;
    }
}

flash::ControlValue& ControlSettings::Value(Setting setting) const {
    return data_.Values.at(static_cast<std::size_t>(setting));
}

const std::u16string& ControlSettings::Text(Setting setting) const { return Value(setting).Text; }

void ControlSettings::SetText(Setting setting, std::u16string text) {
    flash::ControlValue& value = Value(setting);
    value = flash::ControlValue::MakeText(std::move(text), value.TextTerminated);
}

bool ControlSettings::Switch(Setting setting) const { return Value(setting).IsOn(); }

void ControlSettings::SetSwitch(Setting setting, bool on) {
    flash::ControlValue& value = Value(setting);
    // A switch that is already on keeps the way it was stored.
    if (on != value.IsOn()) value = flash::ControlValue::MakeSwitch(on ? flash::kSwitchTrue : 0);
}

std::int32_t ControlSettings::Integer(Setting setting) const { return Value(setting).Integer; }

void ControlSettings::SetInteger(Setting setting, std::int32_t number) {
    Value(setting) = flash::ControlValue::MakeInteger(number);
}

std::u16string ControlSettings::AsText(Setting setting) const {
    switch (KindOf(setting)) {
    case SettingKind::Switch: return Switch(setting) ? u"true" : u"false";
    case SettingKind::Integer: return Widened(std::to_string(Integer(setting)));
    case SettingKind::Text: break;
    }
    return Text(setting);
}

bool ControlSettings::SetFromText(Setting setting, std::u16string_view text) {
    switch (KindOf(setting)) {
    case SettingKind::Switch: {
        const std::u16string_view word = Trimmed(text);
        for (const char* on : {"true", "yes", "on", "1", "-1"}) {
            if (SameText(word, on)) {
                SetSwitch(setting, true);
                return true;
            }
        }
        for (const char* off : {"false", "no", "off", "0"}) {
            if (SameText(word, off)) {
                SetSwitch(setting, false);
                return true;
            }
        }
        return false;
    }
    case SettingKind::Integer: {
        const std::u16string_view digits = Trimmed(text);
        if (digits.empty() || digits.size() > 9) return false;
        std::int32_t number = 0;
        for (char16_t c : digits) {
            if (c < u'0' || c > u'9') return false;
            number = number * 10 + (c - u'0');
        }
        SetInteger(setting, number);
        return true;
    }
    case SettingKind::Text: break;
    }
    SetText(setting, std::u16string(text));
    return true;
}

std::optional<int> QualityNumber(std::u16string_view text) {
    const std::u16string_view word = Trimmed(text);
    for (std::size_t i = 0; i < kQualityTexts.size(); ++i) {
        if (SameText(word, kQualityTexts[i])) return static_cast<int>(i);
    }
    if (SameText(word, "Medium") || SameText(word, "Best")) return 1;
    return std::nullopt;
}

std::optional<std::u16string> QualityText(int number) {
    if (number < 0 || number >= static_cast<int>(kQualityTexts.size())) return std::nullopt;
    return Widened(kQualityTexts[static_cast<std::size_t>(number)]);
}

std::optional<int> ScaleNumber(std::u16string_view text) {
    const std::u16string_view word = Trimmed(text);
    if (word.empty()) return 0;
    for (std::size_t i = 0; i < kScaleTexts.size(); ++i) {
        if (SameText(word, kScaleTexts[i])) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<std::u16string> ScaleText(int number) {
    if (number < 0 || number >= static_cast<int>(kScaleTexts.size())) return std::nullopt;
    return Widened(kScaleTexts[static_cast<std::size_t>(number)]);
}

std::optional<int> AlignmentFlags(std::u16string_view text) {
    int flags = 0;
    for (char16_t c : Trimmed(text)) {
        int flag = 0;
        switch (Lower(c)) {
        case u'l': flag = 1; break;
        case u'r': flag = 2; break;
        case u't': flag = 4; break;
        case u'b': flag = 8; break;
        default: return std::nullopt;
        }
        flags |= flag;
    }
    if ((flags & 3) == 3 || (flags & 12) == 12) return std::nullopt;
    return flags;
}

std::optional<std::u16string> AlignmentText(int flags) {
    if (flags < 0 || flags > 15 || (flags & 3) == 3 || (flags & 12) == 12) return std::nullopt;
    std::u16string text;
    if (flags & 4) text += u'T';
    if (flags & 8) text += u'B';
    if (flags & 1) text += u'L';
    if (flags & 2) text += u'R';
    return text;
}

std::optional<std::int32_t> ColorNumber(std::u16string_view text) {
    std::u16string_view digits = Trimmed(text);
    if (digits.empty()) return -1;
    if (digits.front() == u'#') {
        digits.remove_prefix(1);
    } else if (digits.size() > 2 && digits[0] == u'0' && Lower(digits[1]) == u'x') {
        digits.remove_prefix(2);
    }
    if (digits.size() != 6) return std::nullopt;
    std::int32_t color = 0;
    for (char16_t c : digits) {
        const char16_t l = Lower(c);
        int digit = 0;
        if (l >= u'0' && l <= u'9') {
            digit = l - u'0';
        } else if (l >= u'a' && l <= u'f') {
            digit = l - u'a' + 10;
        } else {
            return std::nullopt;
        }
        color = color * 16 + digit;
    }
    return color;
}

std::optional<std::u16string> ColorText(std::int32_t color) {
    if (color == -1) return std::u16string();
    if (color < 0 || color > 0xFFFFFF) return std::nullopt;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string text = u"#";
    for (int shift = 20; shift >= 0; shift -= 4) text += static_cast<char16_t>(kHex[(color >> shift) & 0xF]);
    return text;
}

bool ScriptAccessAllowed(std::u16string_view access) { return !SameText(Trimmed(access), "never"); }

}  // namespace control
