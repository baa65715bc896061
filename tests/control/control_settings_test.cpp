// The control's settings over its saved state: which value each setting
// is, and the texts and numbers pages and scripting hosts give them.

#include <gtest/gtest.h>

#include "control/control_settings.h"

using namespace control;

TEST(ControlSettings, TheSavedStateHoldsTheProjectorsSettingsWhereTheyBelong) {
    flash::ControlData data = flash::DefaultControlData();
    ControlSettings settings(data);
    EXPECT_EQ(settings.Text(Setting::WMode), u"Window");
    EXPECT_EQ(settings.Text(Setting::Quality), u"High");
    EXPECT_EQ(settings.Text(Setting::AllowScriptAccess), u"always");
    EXPECT_EQ(settings.Text(Setting::Scale), u"ShowAll");
    EXPECT_EQ(settings.Text(Setting::AllowNetworking), u"all");
    EXPECT_EQ(settings.Text(Setting::AllowFullScreen), u"false");
    // The movie plays and loops: the host that stores this state relies on it.
    EXPECT_TRUE(settings.Switch(Setting::Play));
    EXPECT_TRUE(settings.Switch(Setting::Loop));
    EXPECT_EQ(settings.AsText(Setting::Movie), u"");
    EXPECT_EQ(settings.AsText(Setting::ProfilePort), u"0");

    // Every named setting sits on a value of its own kind.
    for (const SettingName& entry : kSettingNames) {
        const auto type = flash::ExpectedControlValueType(static_cast<std::size_t>(entry.setting));
        EXPECT_NE(type, flash::ControlValueType::Block) << entry.name;
    }

    // Changing settings keeps the block serializable and the unchanged bytes as stored.
    settings.SetFromText(Setting::Movie, u"guide.swf");
    settings.SetFromText(Setting::Loop, u"false");
    settings.SetFromText(Setting::ProfilePort, u"8080");
    const auto bytes = flash::SerializeControlData(data);
    flash::ControlData reread = flash::ParseControlData(bytes);
    ControlSettings back(reread);
    EXPECT_EQ(back.Text(Setting::Movie), u"guide.swf");
    EXPECT_FALSE(back.Switch(Setting::Loop));
    EXPECT_EQ(back.Integer(Setting::ProfilePort), 8080);
    EXPECT_EQ(reread.Values[17], flash::DefaultControlData().Values[17]);

    // A switch stored on keeps its stored form when set on again.
    settings.SetSwitch(Setting::Loop, true);
    EXPECT_EQ(data.Values[static_cast<std::size_t>(Setting::Loop)].Switch, flash::kSwitchTrue);
    const std::uint16_t stored = data.Values[static_cast<std::size_t>(Setting::SeamlessTabbing)].Switch;
    settings.SetSwitch(Setting::SeamlessTabbing, stored != 0);
    EXPECT_EQ(data.Values[static_cast<std::size_t>(Setting::SeamlessTabbing)].Switch, stored);
}

TEST(ControlSettings, TextsThatDoNotFitAreRefusedAndChangeNothing) {
    flash::ControlData data = flash::DefaultControlData();
    ControlSettings settings(data);
    for (const char16_t* on : {u"true", u"TRUE", u" yes ", u"1", u"-1", u"on"}) {
        settings.SetSwitch(Setting::Menu, false);
        EXPECT_TRUE(settings.SetFromText(Setting::Menu, on));
        EXPECT_TRUE(settings.Switch(Setting::Menu));
    }
    for (const char16_t* bad : {u"", u"maybe", u"2", u"truee"}) {
        EXPECT_FALSE(settings.SetFromText(Setting::Menu, bad));
        EXPECT_TRUE(settings.Switch(Setting::Menu));
    }
    EXPECT_FALSE(settings.SetFromText(Setting::ProfilePort, u"80a"));
    EXPECT_FALSE(settings.SetFromText(Setting::ProfilePort, u"9999999999"));
    EXPECT_FALSE(settings.SetFromText(Setting::ProfilePort, u"-5"));
    EXPECT_EQ(settings.Integer(Setting::ProfilePort), 0);
    EXPECT_TRUE(settings.SetFromText(Setting::Base, u"any text at all"));
}

TEST(ControlSettings, QualityScaleAlignmentAndColourConvertBothWays) {
    EXPECT_EQ(QualityNumber(u"low"), 0);
    EXPECT_EQ(QualityNumber(u"AutoHigh"), 3);
    EXPECT_EQ(QualityNumber(u"best"), 1);
    EXPECT_EQ(QualityNumber(u"fast"), std::nullopt);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(QualityNumber(*QualityText(n)), n);
    EXPECT_EQ(QualityText(4), std::nullopt);

    EXPECT_EQ(ScaleNumber(u""), 0);
    EXPECT_EQ(ScaleNumber(u"noborder"), 1);
    EXPECT_EQ(ScaleNumber(u"stretch"), std::nullopt);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(ScaleNumber(*ScaleText(n)), n);
    EXPECT_EQ(ScaleText(-1), std::nullopt);

    EXPECT_EQ(AlignmentFlags(u""), 0);
    EXPECT_EQ(AlignmentFlags(u"tl"), 5);
    EXPECT_EQ(AlignmentFlags(u"BR"), 10);
    EXPECT_EQ(AlignmentFlags(u"LR"), std::nullopt);
    EXPECT_EQ(AlignmentFlags(u"TB"), std::nullopt);
    EXPECT_EQ(AlignmentFlags(u"X"), std::nullopt);
    for (int flags : {0, 1, 2, 4, 8, 5, 6, 9, 10}) EXPECT_EQ(AlignmentFlags(*AlignmentText(flags)), flags);
    EXPECT_EQ(AlignmentText(3), std::nullopt);
    EXPECT_EQ(AlignmentText(16), std::nullopt);

    EXPECT_EQ(ColorNumber(u"#102030"), 0x102030);
    EXPECT_EQ(ColorNumber(u"ffFFff"), 0xFFFFFF);
    EXPECT_EQ(ColorNumber(u"0x000001"), 1);
    EXPECT_EQ(ColorNumber(u""), -1);
    EXPECT_EQ(ColorNumber(u"#12345"), std::nullopt);
    EXPECT_EQ(ColorNumber(u"#12345g"), std::nullopt);
    EXPECT_EQ(ColorText(0x0A0B0C), u"#0A0B0C");
    EXPECT_EQ(ColorText(-1), u"");
    EXPECT_EQ(ColorText(0x1000000), std::nullopt);
    EXPECT_EQ(ColorText(-2), std::nullopt);

    EXPECT_FALSE(ScriptAccessAllowed(u"never"));
    EXPECT_FALSE(ScriptAccessAllowed(u" NEVER "));
    EXPECT_TRUE(ScriptAccessAllowed(u"always"));
    EXPECT_TRUE(ScriptAccessAllowed(u"sameDomain"));
    EXPECT_TRUE(ScriptAccessAllowed(u""));
}
