#pragma once
// A running timeline (the movie's main timeline or a sprite instance): its
// display list, current frame and play state.

#include <cstdint>
#include <optional>
#include <string>

#include <memory>

#include "swf/actions/action_target.h"
#include "swf/model/movie.h"
#include "swf/model/timeline.h"
#include "swf/player/display/clip_environment.h"
#include "swf/player/display/display_object.h"
#include "swf/player/display/drawn_shape.h"
#include "swf/player/display/script_effects.h"

namespace swf {

// The script face of a display object (clips, buttons, text fields); null for kinds scripts do not reach.
DisplayTarget* ScriptFace(DisplayObject& object);

class MovieClip : public DisplayObject, public ScriptEffects<ActionTarget> {
public:
    // `nesting` is 0 for the main timeline, one more for each level inside.
    // `timeline` belongs to `movie`, whose dictionary the clip's frames place from.
    MovieClip(ClipEnvironment& environment, std::shared_ptr<const MovieDefinition> movie, const Timeline& timeline,
              const Placement& placement, const Character* character, int nesting);
    ~MovieClip() override;

    DisplayKind Kind() const override { return DisplayKind::MovieClip; }

    // Builds the first frame's display list and queues its actions. Called
    // once, after the clip has its place in its parent.
    void Start();

    // One tick: a playing clip moves to its next frame (wrapping to the first
    // after the last, when there is more than one), then the nested timelines
    // that existed before this tick move on too.
    void Advance() override;

    // ActionTarget
    void Play() override;
    void Stop() override;
    void NextFrame() override;
    void PrevFrame() override;
    void GotoFrame(std::uint32_t frame) override;
    bool GotoLabel(const std::string& label) override;
    std::string CurrentLabel() const override;
    std::optional<std::uint32_t> FrameOfLabel(const std::string& label) const override;
    bool CallFrame(std::uint32_t frame) override;
    std::uint32_t CurrentFrame() const override { return current_; }
    std::uint32_t FrameCount() const override { return static_cast<std::uint32_t>(timeline_->frames.size()); }
    std::uint32_t BytesTotal() const override { return movie_->header.fileLength; }
    // "name", "_parent", "..", "_root", dotted and slash paths ("a.b", "/a/b", "../a").
    ActionTarget* FindTarget(const std::string& path) override;
    // Any named child scripts can reach (clips, buttons and text fields).
    DisplayTarget* FindChildObject(const std::string& name) override;
    DisplayTarget* CreateTextField(const std::string& name, int depth, double x, double y, double width,
                                   double height) override;
    int LevelNumber() const override { return environment_.LevelOf(*this); }

    // DisplayTarget (display_properties.cpp does the work)
    double GetDisplayNumber(DisplayProperty property) override;
    void SetDisplayNumber(DisplayProperty property, double value) override;
    std::string InstanceName() const override { return GetPlacement().name; }
    void SetInstanceName(const std::string& name) override;
    ActionTarget* ParentTimeline() override { return Parent(); }
    std::string Url() const override { return movie_->url; }
    int Depth() const override;
    ScriptBox BoundsIn(DisplayTarget* space) override;
    ScriptBox EdgeBoundsIn(DisplayTarget* space) override;
    ScriptPoint LocalToGlobal(ScriptPoint p) override;
    ScriptPoint GlobalToLocal(ScriptPoint p) override;
    bool HitTestPoint(ScriptPoint global, bool shape) override;

    // The display list as scripts change it (clip_scripting.cpp).
    DisplayTarget* ObjectAtDepth(int depth) override;
    int NextHighestDepth() override;
    bool SwapChildDepth(DisplayTarget& child, int depth) override;
    ActionTarget* AttachClip(const std::string& linkage, const std::string& name, int depth) override;
    ActionTarget* CreateEmptyClip(const std::string& name, int depth) override;
    ActionTarget* DuplicateChild(DisplayTarget& child, const std::string& name, int depth) override;
    bool RemoveChild(DisplayTarget& child) override;

    // Bitmaps for scripts (clip_bitmaps.cpp).
    bool AttachBitmap(std::shared_ptr<const raster::BitmapData> bitmap, int depth, PixelSnapping snapping,
                      bool smoothing) override;
    std::shared_ptr<const raster::Image> ExportedBitmap(const std::string& linkage) override;
    bool DrawInto(raster::Surface& target, const raster::Matrix& toPixels,
                  const raster::ColorTransform& colors) override;

    // Replaces what the clip shows and plays with `movie`'s main timeline
    // (a loaded movie or picture; an empty timeline unloads). Name, depth and
    // placement stay. The first frame is built and its actions queued; the
    // next tick keeps that frame on screen.
    void ReplaceContent(std::shared_ptr<const MovieDefinition> movie);
    // The movie whose characters this clip's frames place.
    const MovieDefinition& Movie() const { return *movie_; }
    const std::shared_ptr<const MovieDefinition>& MoviePtr() const { return movie_; }

    bool IsPlaying() const { return playing_; }
    // False: a playing clip stops on its last frame instead of starting over.
    void SetLooping(bool loops) { loops_ = loops; }
    bool IsStarted() const { return started_; }
    // Creation order among all clips of the stage (higher: newer).
    std::uint64_t Serial() const { return serial_; }
    int Nesting() const { return nesting_; }
    const DisplayList& Children() const { return children_; }
    // Removes a child at a script depth (kept until running actions end);
    // false for the timeline's own objects and for objects not here.
    bool RemoveScriptChild(DisplayObject& child);
    // The child clip with that instance name (exact, else ignoring case).
    MovieClip* FindChild(const std::string& name) const;
    // The frame a label names, case-insensitively when no exact match exists.
    bool FindLabel(const std::string& label, std::uint32_t* frame) const;

    // What scripts drew into the clip (below its children); null until a script draws.
    const DrawnShape* Drawing() const { return drawing_.get(); }
    DrawnShape& DrawingForScript() {
        if (!drawing_) drawing_ = std::make_unique<DrawnShape>();
        return *drawing_;
    }
    ShapeDrawing* ScriptDrawing() override { return &DrawingForScript(); }

    // setMask: `mask`'s filled area clips this clip, and `mask` itself is no
    // longer drawn; null removes it. A clip masks one clip at a time: masking
    // another takes it off the first. Either side dying ends the pairing.
    void SetMaskClip(MovieClip* mask);
    void SetMask(ActionTarget* mask) override;
    MovieClip* MaskClip() const { return mask_; }
    bool IsMask() const { return maskOf_ != nullptr; }

    void StartDrag(const DragRequest& request) override { environment_.StartDrag(*this, request); }
    void StopDrag() override { environment_.StopDrag(); }
    std::string DropTarget() const override { return dropTarget_; }
    void SetDropTarget(std::string path) { dropTarget_ = std::move(path); }

private:
    // A box in this clip's coordinates (twips) seen from `space`, in pixels.
    ScriptBox BoxIn(const Rect& local, DisplayTarget* space) const;
    // The child whose script face is `target`; children_.end() when none.
    DisplayList::iterator FindChildEntry(const DisplayTarget& target);
    // Puts a script-made clip at a script depth (replacing what is there) and starts it.
    ActionTarget* AddScriptClip(std::unique_ptr<DisplayObject> object, int depth, const MovieClip* original);

    // Makes the display list that of `frame` and queues that frame's actions.
    // `byPlaying`: from the frame before, as playing moves on.
    void EnterFrame(std::uint32_t frame, bool byPlaying = false);
    // A stream sound of this timeline goes quiet.
    void StopStream();

    ClipEnvironment& environment_;
    std::shared_ptr<const MovieDefinition> movie_;
    const Timeline* timeline_;
    int nesting_;
    DisplayList children_;
    std::unique_ptr<DrawnShape> drawing_;
    MovieClip* mask_ = nullptr;    // the clip masking this one
    MovieClip* maskOf_ = nullptr;  // the clip this one masks
    std::string dropTarget_;
    std::uint32_t current_ = 0;
    bool playing_ = true;
    bool loops_ = true;
    bool started_ = false;
    bool holdFrame_ = false;   // content just replaced: the next tick shows it unchanged
    std::uint64_t steps_ = 0;  // how many times Advance ran
    std::uint64_t serial_ = 0;
};

}  // namespace swf
