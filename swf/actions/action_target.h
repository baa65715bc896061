#pragma once
// The two faces that running actions see: the timeline they belong to, and the
// host that embeds the movie. The engine implements ActionTarget on its movie
// clips; the player control (and tests) implement ActionHost.

#include <cmath>
#include <cstdint>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "swf/raster/blend_mode.h"
#include "swf/raster/color_transform.h"
#include "swf/raster/filter.h"
#include "swf/raster/geometry.h"

namespace swf::raster {
class BitmapData;
class Surface;
struct Image;
}  // namespace swf::raster

namespace swf {

class ActionTarget;
class ShapeDrawing;

// startDrag's arguments: the clip follows the pointer, its registration point
// on the pointer when `lockCenter`, else keeping its offset from where the drag
// began; with `constrained`, its position (the parent's pixels) stays in the rectangle.
struct DragRequest {
    bool lockCenter = false;
    bool constrained = false;
    double left = 0, top = 0, right = 0, bottom = 0;
};
class TextFieldTarget;

// What scripts reach of a Video object beyond its display properties: the
// stream it shows (a NetStream's handle; 0 for none) and how it draws.
class VideoTarget {
public:
    virtual ~VideoTarget() = default;
    virtual void AttachStream(std::uint32_t stream) = 0;
    // Shows nothing until the stream's next picture.
    virtual void ClearPicture() = 0;
    // The size of the picture shown, in pixels; 0 before the first.
    virtual int PictureWidth() const = 0;
    virtual int PictureHeight() const = 0;
    virtual bool GetSmoothing() const = 0;
    virtual void SetSmoothing(bool smoothing) = 0;
    // 0: as each frame says, 1: off, above: on.
    virtual int GetDeblocking() const = 0;
    virtual void SetDeblocking(int deblocking) = 0;
};

// Display properties in the numbering GetProperty/SetProperty use.
enum class DisplayProperty {
    X = 0,
    Y,
    XScale,
    YScale,
    CurrentFrame,
    TotalFrames,
    Alpha,
    Visible,
    Width,
    Height,
    Rotation,
    Target,
    FramesLoaded,
    Name,
    DropTarget,
    Url,
    HighQuality,
    FocusRect,
    SoundBufTime,
    Quality,
    XMouse,
    YMouse,
};

// A point and a box in script units (pixels).
struct ScriptPoint {
    double x = 0, y = 0;
};
struct ScriptBox {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// Script depths: the timeline's depth 1 is -16383; scripts create objects
// from depth 0 up.
inline constexpr int kScriptDepthOffset = 16384;
inline constexpr int kMinScriptDepth = -16384;
inline constexpr int kMaxScriptDepth = 2130690045;
// removeMovieClip removes only objects at depths scripts create.
inline constexpr int kMaxRemovableDepth = 1048575;

// What scripts see of any display object (clip, button, text field): the
// properties kept per object, its instance name and where it sits. Numbers
// are in script units (pixels, percent, degrees; _visible is 0 or 1).
class DisplayTarget {
public:
    virtual ~DisplayTarget() = default;
    // _x, _y, _xscale, _yscale, _rotation, _alpha, _visible, _width, _height,
    // _xmouse, _ymouse; NaN for a property the object does not have.
    virtual double GetDisplayNumber(DisplayProperty property);
    // Ignores properties the object does not have and values that are not finite.
    virtual void SetDisplayNumber(DisplayProperty property, double value);
    virtual std::string InstanceName() const { return {}; }
    virtual void SetInstanceName(const std::string& name) { (void)name; }
    // The timeline holding the object; null at the top of a level.
    virtual ActionTarget* ParentTimeline() { return nullptr; }
    // The URL of the movie the object belongs to.
    virtual std::string Url() const { return {}; }
    // The timeline face, for clips; null for other display objects.
    virtual ActionTarget* AsTimeline() { return nullptr; }

    // Geometry for getBounds, localToGlobal and hitTest. Global means stage pixels.
    virtual int Depth() const { return kMinScriptDepth; }
    // What the object draws, in the coordinates of `space` (its own when null).
    virtual ScriptBox BoundsIn(DisplayTarget* space) {
        (void)space;
        return {};
    }
    // The same box without the width of strokes (getRect).
    virtual ScriptBox EdgeBoundsIn(DisplayTarget* space) { return BoundsIn(space); }
    virtual ScriptPoint LocalToGlobal(ScriptPoint p) { return p; }
    virtual ScriptPoint GlobalToLocal(ScriptPoint p) { return p; }
    // Whether a stage point lies in the object's box, or (shape) on what it draws.
    virtual bool HitTestPoint(ScriptPoint global, bool shape) {
        (void)global;
        (void)shape;
        return false;
    }
    // _droptarget: the slash path of the clip under the pointer where a drag
    // of this object last went; "" when none.
    virtual std::string DropTarget() const { return {}; }
    // The text field face, for dynamic and input text fields; null for others.
    virtual TextFieldTarget* AsTextField() { return nullptr; }
    // The video face, for Video objects; null for others.
    virtual VideoTarget* AsVideo() { return nullptr; }

    // Colour and matrix as Color and flash.geom.Transform see them: the
    // object's own (translation in pixels of its parent), and concatenated
    // with its ancestors' up to the stage.
    virtual raster::ColorTransform GetColorTransform() { return {}; }
    virtual void SetColorTransform(const raster::ColorTransform& colors) { (void)colors; }
    virtual raster::ColorTransform GetConcatenatedColorTransform() { return GetColorTransform(); }
    virtual raster::Matrix GetMatrix() { return {}; }
    // Ignores matrices that are not finite.
    virtual void SetMatrix(const raster::Matrix& matrix) { (void)matrix; }
    virtual raster::Matrix GetConcatenatedMatrix() { return GetMatrix(); }
    // The drawn box in stage pixels, filters included (Transform.pixelBounds).
    virtual ScriptBox PixelBounds() { return BoundsIn(nullptr); }

    // filters, blendMode and cacheAsBitmap. Setting filters copies them: a
    // script's filter objects changed later change nothing until set again.
    virtual std::vector<raster::Filter> GetFilters() { return {}; }
    virtual void SetFilters(std::vector<raster::Filter> filters) { (void)filters; }
    virtual raster::BlendMode GetBlendMode() { return raster::BlendMode::Normal; }
    virtual void SetBlendMode(raster::BlendMode mode) { (void)mode; }
    virtual bool GetCacheAsBitmap() { return false; }
    virtual void SetCacheAsBitmap(bool cache) { (void)cache; }
    // scrollRect (in the object's own pixels; none: the whole content) and
    // opaqueBackground (0xRRGGBB; none: transparent), on clips.
    virtual std::optional<ScriptBox> GetScrollRect() { return std::nullopt; }
    virtual void SetScrollRect(std::optional<ScriptBox> rect) { (void)rect; }
    virtual std::optional<std::uint32_t> GetOpaqueBackground() { return std::nullopt; }
    virtual void SetOpaqueBackground(std::optional<std::uint32_t> color) { (void)color; }
    // scale9Grid on clips and buttons: the centre of the nine-slice grid in
    // the object's own pixels; none: the object scales as a whole.
    virtual std::optional<ScriptBox> GetScale9Grid() { return std::nullopt; }
    virtual void SetScale9Grid(std::optional<ScriptBox> grid) { (void)grid; }

    // BitmapData.draw: draws the object's content (its own matrix, colour,
    // filters and blend mode left out; its children's kept) over `target`,
    // `toPixels` mapping the object's pixels to the target's. False when the
    // object cannot be drawn.
    virtual bool DrawInto(raster::Surface& target, const raster::Matrix& toPixels,
                          const raster::ColorTransform& colors) {
        (void)target, (void)toPixels, (void)colors;
        return false;
    }
};

// How attachBitmap places a bitmap on whole pixels: "auto" does when it is
// drawn unscaled and unrotated.
enum class PixelSnapping { Never, Always, Auto };

class ActionTarget : public DisplayTarget {
public:
    ActionTarget* AsTimeline() override { return this; }
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void NextFrame() = 0;
    virtual void PrevFrame() = 0;
    // Frames are counted from 0; a frame past the end goes to the last frame.
    virtual void GotoFrame(std::uint32_t frame) = 0;
    // Returns false (and changes nothing) when no frame carries the label.
    virtual bool GotoLabel(const std::string& label) = 0;
    // The label of the current frame, else of the last labelled frame before
    // it; "" when there is none.
    virtual std::string CurrentLabel() const { return {}; }
    // The frame (from 0) a label names; none when no frame carries it.
    virtual std::optional<std::uint32_t> FrameOfLabel(const std::string& label) const {
        (void)label;
        return std::nullopt;
    }
    // Queues the frame's actions to run on this timeline, as a frame's own
    // do, without moving it (call()); false when there is no such frame.
    virtual bool CallFrame(std::uint32_t frame) {
        (void)frame;
        return false;
    }
    virtual std::uint32_t CurrentFrame() const = 0;
    virtual std::uint32_t FrameCount() const = 0;
    // Bytes of the movie (or picture) the timeline plays, all of them loaded
    // before it plays; 0 when unknown.
    virtual std::uint32_t BytesTotal() const { return 0; }
    // The timeline a script path names, relative to this one: a child's
    // instance name ("mc"), "_parent", or a path ("mc.inner", "/mc", "../mc");
    // null when there is none. Timelines without named children keep this default.
    virtual ActionTarget* FindTarget(const std::string& path) {
        (void)path;
        return nullptr;
    }
    // A child display object by instance name (clips, and later buttons and
    // text fields); null when there is none.
    virtual DisplayTarget* FindChildObject(const std::string& name) {
        (void)name;
        return nullptr;
    }
    // _level number of the timeline at the top of a level, else -1.
    virtual int LevelNumber() const { return -1; }

    // The display list as scripts change it (script depths). Each returns
    // null / false when it cannot: an unknown linkage name, a depth out of
    // range, an object that is not a child of this timeline, a limit reached.
    virtual DisplayTarget* ObjectAtDepth(int depth) {
        (void)depth;
        return nullptr;
    }
    // One above the highest depth in use, at least 0.
    virtual int NextHighestDepth() { return 0; }
    // Moves a child to `depth`; whatever was there takes the child's old depth.
    virtual bool SwapChildDepth(DisplayTarget& child, int depth) {
        (void)child;
        (void)depth;
        return false;
    }
    // A new instance of the exported symbol `linkage`, replacing what is at `depth`.
    virtual ActionTarget* AttachClip(const std::string& linkage, const std::string& name, int depth) {
        (void)linkage;
        (void)name;
        (void)depth;
        return nullptr;
    }
    virtual ActionTarget* CreateEmptyClip(const std::string& name, int depth) {
        (void)name;
        (void)depth;
        return nullptr;
    }
    // A copy of the child clip (character, transform, colour) beside it.
    virtual ActionTarget* DuplicateChild(DisplayTarget& child, const std::string& name, int depth) {
        (void)child;
        (void)name;
        (void)depth;
        return nullptr;
    }
    // Removes a child that sits at a depth scripts create (0 to kMaxRemovableDepth).
    virtual bool RemoveChild(DisplayTarget& child) {
        (void)child;
        return false;
    }
    // The shape the drawing methods draw into (made on first use); null for
    // timelines that cannot be drawn into.
    virtual ShapeDrawing* ScriptDrawing() { return nullptr; }
    // setMask: `mask` (a clip; null for none) clips this timeline's content.
    virtual void SetMask(ActionTarget* mask) { (void)mask; }
    // startDrag / stopDrag (methods and actions); one clip is dragged at a time.
    virtual void StartDrag(const DragRequest& request) { (void)request; }
    virtual void StopDrag() {}
    // createTextField: a new empty field at a script depth (replacing what is
    // there), its box in pixels; null when the depth is out of range.
    virtual DisplayTarget* CreateTextField(const std::string& name, int depth, double x, double y, double width,
                                           double height) {
        (void)name, (void)depth, (void)x, (void)y, (void)width, (void)height;
        return nullptr;
    }
    // attachBitmap: an object at a script depth (replacing what is there)
    // showing the bitmap's pixels as they are at each frame; false when the
    // depth is out of range.
    virtual bool AttachBitmap(std::shared_ptr<const raster::BitmapData> bitmap, int depth, PixelSnapping snapping,
                              bool smoothing) {
        (void)bitmap, (void)depth, (void)snapping, (void)smoothing;
        return false;
    }
    // The pixels of the bitmap character the timeline's movie exports under
    // `linkage` (BitmapData.loadBitmap); null when there is none.
    virtual std::shared_ptr<const raster::Image> ExportedBitmap(const std::string& linkage) {
        (void)linkage;
        return nullptr;
    }
};

inline double DisplayTarget::GetDisplayNumber(DisplayProperty property) {
    (void)property;
    return std::nan("");
}

inline void DisplayTarget::SetDisplayNumber(DisplayProperty property, double value) {
    (void)property;
    (void)value;
}

class ActionHost {
public:
    virtual ~ActionHost() = default;
    // GetURL with an "FSCommand:" URL: the text after the prefix, and the target.
    virtual void FSCommand(const std::string& command, const std::string& args) = 0;
    // ExternalInterface.call: the request in the invoke XML form; returns the
    // host's answer (XML, possibly empty).
    virtual std::string FlashCall(const std::string& request) = 0;
    // Any other GetURL; the host may ignore it.
    virtual void GetURL(const std::string& url, const std::string& target) = 0;
};

}  // namespace swf
