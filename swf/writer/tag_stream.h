#pragma once
// A sequence of tags: a movie's top level or a sprite's timeline. Counts the
// frames (ShowFrame tags) it holds.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/writer/records.h"

namespace swf::writer {

enum class TagCode : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    RemoveObject = 5,
    DefineBits = 6,
    JpegTables = 8,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineSound = 14,
    StartSound = 15,
    DefineButtonSound = 17,
    SoundStreamHead = 18,
    SoundStreamBlock = 19,
    DefineBitsLossless = 20,
    DefineBitsJpeg2 = 21,
    DefineShape2 = 22,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineButton2 = 34,
    DefineBitsJpeg3 = 35,
    DefineBitsLossless2 = 36,
    DefineEditText = 37,
    DefineSprite = 39,
    FrameLabel = 43,
    SoundStreamHead2 = 45,
    ExportAssets = 56,
    DoInitAction = 59,
    DefineVideoStream = 60,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    FileAttributes = 69,
    PlaceObject3 = 70,
    DefineFont3 = 75,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
    StartSound2 = 89,
    DefineBitsJpeg4 = 90,
};

// The tag header: code and length in one UI16 when the length is below 63,
// else the 0x3F marker and a UI32 length (always when forceLong).
void WriteTagHeader(BitWriter& w, TagCode code, std::uint32_t length, bool forceLong = false);

// One onClipEvent / on() handler: event bits as the file's flags read
// little-endian (load = 1, enterFrame = 2, ... keyPress = 1 << 17).
struct ClipEventHandler {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;           // written when keyPress is among the events
    std::vector<std::uint8_t> actions;  // ends with the End action
};

struct PlaceObject {
    std::uint16_t depth = 1;
    bool move = false;              // modify the object already at the depth
    std::uint16_t characterId = 0;  // 0: none (a move keeps the character)
    bool hasMatrix = false;
    Matrix matrix;
    bool hasColorTransform = false;
    ColorTransform colorTransform;
    std::optional<std::uint16_t> ratio;         // a morph shape's position, 0..65535
    std::string name;                           // instance name, empty for none
    std::uint16_t clipDepth = 0;                // a clip layer masking the depths up to this; 0: none
    std::uint8_t blendMode = 0;                 // PlaceObject3 only; 0 = none written
    bool cacheAsBitmap = false;                 // PlaceObject3 only
    std::vector<std::uint8_t> filterList;       // PlaceObject3 only: a FILTERLIST as the file holds it; empty: none
    std::vector<ClipEventHandler> clipActions;  // none: no clip actions written
    bool wideEventFlags = true;                 // 32-bit event flags (movie version 6 and up), else 16-bit
};

class TagStream {
public:
    void Add(TagCode code, std::span<const std::uint8_t> body, bool forceLong = false);

    void ShowFrame();
    void End();
    void SetBackgroundColor(Rgb color);
    void FileAttributes(std::uint32_t flags);
    void FrameLabel(const std::string& label);
    void DoAction(std::span<const std::uint8_t> actions);  // appends the End action when missing
    void DoInitAction(std::uint16_t spriteId, std::span<const std::uint8_t> actions);  // likewise
    // Linkage names for characters: (character id, name) pairs.
    void ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& assets);
    void PlaceObject2(const PlaceObject& p);
    void PlaceObject3(const PlaceObject& p);
    void RemoveObject2(std::uint16_t depth);
    // A sprite holding the tags (and frame count) of `timeline`, ended here.
    void DefineSprite(std::uint16_t id, const TagStream& timeline);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::uint16_t frameCount() const { return frames_; }
    // True when the last tag added is End.
    bool ended() const { return ended_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint16_t frames_ = 0;
    bool ended_ = false;
};

}  // namespace swf::writer
