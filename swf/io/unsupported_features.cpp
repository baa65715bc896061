#include "swf/io/unsupported_features.h"

#include <array>

namespace swf {

namespace {

struct TagNote {
    std::uint16_t code;
    const char* key;   // tags of one feature share one warning
    const char* text;  // empty: nothing anyone sees is lost
};

constexpr std::array<TagNote, 18> kTagNotes = {{
    {57, "import", "characters imported from other movies (ImportAssets) are missing"},
    {71, "import", "characters imported from other movies (ImportAssets) are missing"},
    {66, "tabindex", "tab order set by the movie (SetTabIndex) is not followed"},
    {72, "as3", "ActionScript 3 code is not run (this player runs ActionScript 1 and 2)"},
    {82, "as3", "ActionScript 3 code is not run (this player runs ActionScript 1 and 2)"},
    {76, "as3", "ActionScript 3 code is not run (this player runs ActionScript 1 and 2)"},
    {86, "scenes", "scene and frame label data (DefineSceneAndFrameLabelData) is ignored"},
    {87, "binarydata", "embedded binary data (DefineBinaryData) is ignored"},
    {91, "font4", "DefineFont4 fonts are not drawn"},
    // Nothing anyone sees depends on these.
    {16, "", ""},  // StopSound: with no sound, nothing to stop
    {24, "", ""},  // Protect
    {40, "", ""},  // NameCharacter
    {41, "", ""},  // ProductInfo
    {58, "", ""},  // EnableDebugger
    {63, "", ""},  // DebugID
    {64, "", ""},  // EnableDebugger2
    {69, "", ""},  // FileAttributes
    {78, "", ""},  // DefineScalingGrid inside a sprite, where no definition may be
}};

}  // namespace

void UnsupportedNotes::Note(const std::string& key, std::string warning) {
    if (seen_.insert(key).second) notes_.push_back(std::move(warning));
}

void UnsupportedNotes::Tag(std::uint16_t code) {
    if (code == 77) return;  // Metadata
    for (const TagNote& note : kTagNotes) {
        if (note.code != code) continue;
        if (*note.key != '\0') Note(note.key, note.text);
        return;
    }
    Note("tag " + std::to_string(code), "tag " + std::to_string(code) + " is not known to this player and was skipped");
}

void UnsupportedNotes::AppendTo(std::vector<std::string>& warnings) const {
    warnings.insert(warnings.end(), notes_.begin(), notes_.end());
}

}  // namespace swf
