#pragma once
// The control's settings as the scripting interface and HTML pages name them,
// over the 24 values of its saved state: which value holds which setting, and
// the conversions between the texts stored there and the numbers and
// switches the scripting interface also offers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "flash/control_data.h"

namespace control {

// Positions in the saved state's values. Value 17 is a 16-byte block the
// control keeps as it finds it.
enum class Setting : std::size_t {
    Movie = 0,
    Src = 1,
    FlashVars = 2,
    WMode = 3,
    Menu = 4,
    DeviceFont = 5,
    Quality = 6,
    SAlign = 7,
    Play = 8,
    Base = 9,
    AllowScriptAccess = 10,
    Scale = 11,
    EmbedMovie = 12,
    Profile = 13,
    BGColor = 14,
    SWRemote = 15,
    MovieData = 16,
    Loop = 18,
    SeamlessTabbing = 19,
    ProfileAddress = 20,
    ProfilePort = 21,
    AllowNetworking = 22,
    AllowFullScreen = 23,
};

// The settings a page's <param> elements and a property bag name, with
// their names there (compared without regard to case).
struct SettingName {
    const char* name;
    Setting setting;
};
inline constexpr SettingName kSettingNames[] = {
    {"movie", Setting::Movie},
    {"src", Setting::Src},
    {"flashvars", Setting::FlashVars},
    {"wmode", Setting::WMode},
    {"menu", Setting::Menu},
    {"devicefont", Setting::DeviceFont},
    {"quality", Setting::Quality},
    {"salign", Setting::SAlign},
    {"play", Setting::Play},
    {"base", Setting::Base},
    {"allowscriptaccess", Setting::AllowScriptAccess},
    {"scale", Setting::Scale},
    {"embedmovie", Setting::EmbedMovie},
    {"profile", Setting::Profile},
    {"bgcolor", Setting::BGColor},
    {"swremote", Setting::SWRemote},
    {"moviedata", Setting::MovieData},
    {"loop", Setting::Loop},
    {"seamlesstabbing", Setting::SeamlessTabbing},
    {"profileaddress", Setting::ProfileAddress},
    {"profileport", Setting::ProfilePort},
    {"allownetworking", Setting::AllowNetworking},
    {"allowfullscreen", Setting::AllowFullScreen},
};

enum class SettingKind { Text, Switch, Integer };
SettingKind KindOf(Setting setting);

// Reads and writes the settings in a saved state; a text keeps whether it
// was stored with a terminating zero, a switch set on stores the automation
// true.
class ControlSettings {
public:
    explicit ControlSettings(flash::ControlData& data) : data_(data) {}

    const std::u16string& Text(Setting setting) const;
    void SetText(Setting setting, std::u16string text);
    bool Switch(Setting setting) const;
    void SetSwitch(Setting setting, bool on);
    std::int32_t Integer(Setting setting) const;
    void SetInteger(Setting setting, std::int32_t value);

    // Any setting as text: switches as "true"/"false", integers in decimal.
    std::u16string AsText(Setting setting) const;
    // Sets any setting from text as a page gives it; false (and nothing
    // changed) when the text does not fit the setting: a switch takes
    // true/false/yes/no/on/off/1/0, an integer decimal digits.
    bool SetFromText(Setting setting, std::u16string_view text);

private:
    flash::ControlValue& Value(Setting setting) const;
    flash::ControlData& data_;
};

// Quality: 0 low, 1 high, 2 auto low, 3 auto high, as the texts "Low",
// "High", "AutoLow", "AutoHigh" ("Medium" and "Best" read as high).
std::optional<int> QualityNumber(std::u16string_view text);
std::optional<std::u16string> QualityText(int number);

// Scale: 0 ShowAll, 1 NoBorder, 2 ExactFit, 3 NoScale; an empty text is ShowAll.
std::optional<int> ScaleNumber(std::u16string_view text);
std::optional<std::u16string> ScaleText(int number);

// Alignment: flags 1 left, 2 right, 4 top, 8 bottom from the letters L, R,
// T and B in any order; a text with any other letter, or with both L and R
// or both T and B, is refused; empty centres.
std::optional<int> AlignmentFlags(std::u16string_view text);
std::optional<std::u16string> AlignmentText(int flags);

// Background colour 0xRRGGBB from "#RRGGBB", "RRGGBB" or "0xRRGGBB"; empty
// gives -1 (the movie's own).
std::optional<std::int32_t> ColorNumber(std::u16string_view text);
// "#RRGGBB", or empty for -1; nothing for values outside 0..0xFFFFFF.
std::optional<std::u16string> ColorText(std::int32_t color);

// Whether script access lets the movie call its host: "never" does not
// (any case); "always", "sameDomain" (a local movie's folder is its domain)
// and anything else do.
bool ScriptAccessAllowed(std::u16string_view access);

}  // namespace control
