#pragma once
// Instances on a display list: what a timeline placed at a depth, with the
// placement's properties, and what each kind of character keeps while alive.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "swf/model/character.h"
#include "swf/model/color.h"
#include "swf/model/geometry.h"
#include "swf/model/timeline.h"

namespace swf {

class MovieClip;

// The properties a timeline gives the object at one depth.
struct Placement {
    std::uint16_t characterId = 0;
    // What the id named when the timeline placed it; null: look the id up.
    std::shared_ptr<const Character> definition;
    Matrix matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::string name;
    std::uint16_t clipDepth = 0;  // 0: not a clip layer
    ClipActions clipActions;      // onClipEvent handlers of a sprite instance; may be null
    // Flash 8 effects, from PlaceObject3 or scripts.
    Filters filters;
    raster::BlendMode blendMode = raster::BlendMode::Normal;
    bool cacheAsBitmap = false;
    // Set by scripts on clips: the part of the content shown (twips of the
    // clip's own space, shown from the clip's origin) and a colour filling
    // the clip's box behind its content.
    std::optional<Rect> scrollRect;
    std::optional<Rgba> opaqueBackground;
    // The frame whose tags created the instance; an instance survives a jump
    // only where the target frame's state names the same character placed there.
    std::uint32_t placedFrame = 0;
};

// What scripts changed on an object. Once a script sets its transform the
// timeline no longer moves it; scale and rotation are kept as set, so that
// reading them back does not drift through the matrix.
struct ScriptState {
    bool detached = false;    // the timeline stopped placing the object
    bool dynamic = false;     // created or moved to another depth by script: the timeline leaves it alone
    bool effectsSet = false;  // filters, blend mode or caching set by script: the timeline keeps them
    bool transformKnown = false;
    double xscale = 100, yscale = 100, rotation = 0;  // percent, percent, degrees
    bool visible = true;
    // scale9Grid as a script set it (twips of the object's own space; none:
    // removed); until one is set, the definition's grid holds.
    bool gridSet = false;
    std::optional<Rect> grid;
    // _focusrect as a script set it on this object; none: the movie's setting holds.
    std::optional<bool> focusRect;
};

// Bitmap: a bitmap a script attached (AttachedBitmap); Video: an embedded
// video stream (VideoInstance).
enum class DisplayKind { Empty, Shape, Morph, Text, MovieClip, Button, EditText, Bitmap, Video };

class DisplayObject {
public:
    DisplayObject(const Placement& placement, const Character* character)
        : placement_(placement), character_(character) {}
    virtual ~DisplayObject() {
        if (counter_ != nullptr) --*counter_;
    }
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    virtual DisplayKind Kind() const;

    const Placement& GetPlacement() const { return placement_; }
    void SetPlacement(const Placement& placement) { placement_ = placement; }
    // nullptr for an object whose character is missing from the dictionary.
    const Character* GetCharacter() const { return character_; }

    ScriptState& Script() { return script_; }
    const ScriptState& Script() const { return script_; }
    bool Visible() const { return script_.visible; }

    MovieClip* Parent() const { return parent_; }
    void SetParent(MovieClip* parent) { parent_ = parent; }

    // Moves nested timelines on by one frame (nothing for static content).
    virtual void Advance() {}

    // The parent's step count when this object was created: objects created
    // during a parent's step do not advance in that same step.
    std::uint64_t BornInStep() const { return bornInStep_; }
    void SetBornInStep(std::uint64_t step) { bornInStep_ = step; }

    // A count of live instances that this object belongs to until destroyed.
    void SetInstanceCounter(std::size_t* counter) {
        counter_ = counter;
        ++*counter_;
    }

private:
    Placement placement_;
    ScriptState script_;
    const Character* character_;
    MovieClip* parent_ = nullptr;
    std::uint64_t bornInStep_ = 0;
    std::size_t* counter_ = nullptr;
};

// Keyed by depth: the timeline's depths (1..65535), and above them the
// depths scripts create (script depth + kScriptDepthOffset).
using DisplayList = std::map<int, std::unique_ptr<DisplayObject>>;

struct Shape;
// What a DisplayKind::Morph object draws: its morph at the placement's ratio.
std::shared_ptr<const Shape> MorphShapeAt(const DisplayObject& morph);

}  // namespace swf
