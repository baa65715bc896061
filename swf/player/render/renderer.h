#pragma once
// Draws a display list tree onto a surface: shapes, morph shapes, static text, sprites,
// buttons in their current state, clip layers and colour transforms.

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "swf/model/movie.h"
#include "swf/model/shape.h"
#include "swf/player/render/damage.h"
#include "swf/player/display/display_object.h"
#include "swf/player/render/drawing_rasterizer.h"
#include "swf/player/render/layer_effects.h"
#include "swf/player/render/recording_cache.h"
#include "swf/player/render/scale_grid.h"
#include "swf/player/fields/text_fonts.h"
#include "swf/raster/raster.h"

namespace swf {

class PictureObject;
class EditTextInstance;
class MovieClip;

class Renderer {
public:
    // `dictionary` serves text outside any clip; inside a clip, its movie's
    // dictionary does (a loaded movie brings its own fonts).
    explicit Renderer(const Dictionary& dictionary) : dictionary_(&dictionary) {}
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The movie's _quality: below high, pictures are not smoothed and
    // filters blur in fewer passes (low: one, medium: two).
    enum class Quality { Low, Medium, High, Best };
    void SetQuality(Quality quality) { quality_ = quality; }

    // Device fonts and embedded-font lookup for text; without them device text is not drawn.
    void SetFonts(const TextFonts* fonts) { fonts_ = fonts; }

    // Draws only the pixels inside `area` (not owned; nullptr: all of them),
    // each exactly as a whole drawing would.
    void SetArea(const raster::PixelRect* area) { rasterizer_.SetArea(area); }
    // While set (not owned), drawing draws nothing and notes each object's
    // drawing calls in the recorder instead.
    void SetRecorder(DamageRecorder* recorder) { rasterizer_.SetRecorder(recorder); }
    // Ends a recording walk: what it did not meet is forgotten, and layers
    // kept as pictures (bitmap caching, filters) whose content the walk
    // found changed are drawn again.
    void EndRecording();
    // While set, kept layers are put on the surface as they were drawn at
    // the last recording walk; set it only for drawing the frame that walk
    // recorded (a renderer that reads another's notes reads its layers too).
    void UseKeptLayers(bool use) { useKept_ = use; }
    // How many times a kept layer was drawn again, for tests and figures.
    std::uint64_t KeptLayerRedraws() const { return keptRedraws_; }
    // Draws areas skipping what `recorder`'s walks saw outside them (not owned;
    // nullptr: its own walks). A renderer drawing one band of a frame on
    // another thread reads the notes of the one that recorded the frame; they
    // do not change while bands are drawn.
    void ReadNotesOf(const Renderer* recorder) { notesOf_ = recorder; }

    // Draws the list with `toPixels` mapping its coordinates (twips) to the
    // surface, only inside `clip` when one is given.
    void DrawList(raster::Surface& surface, const DisplayList& list, const Matrix& toPixels,
                  const ColorTransform& colors, const raster::CoverageMask* clip);

    // Draws a clip's content (a level's, say) with its own movie's fonts.
    void DrawClip(raster::Surface& surface, const MovieClip& clip, const Matrix& toPixels, const ColorTransform& colors,
                  const raster::CoverageMask* mask);

    // Draws the keyboard focus rectangle over everything: a two-pixel yellow
    // outline on the edge of `bounds` (stage twips), whole pixels wide at any scale.
    void DrawFocusRect(raster::Surface& surface, const Rect& bounds, const Matrix& toPixels);

    // Draws an object's content alone (its own matrix, colour, filters and
    // blend mode left out), `toPixels` mapping its twips to the surface: what
    // BitmapData.draw takes of a clip.
    void DrawContent(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                     const ColorTransform& colors);

private:
    // Draws a placed object: through a layer when its filters or blend mode
    // ask for one, else as it is. `colors` are its parent's.
    void DrawPlaced(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                    const ColorTransform& colors, const raster::CoverageMask* clip);
    // Draws the object into a layer of its own, filters it and puts it onto
    // `surface` in its blend mode.
    void DrawLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                   const ColorTransform& colors, const raster::CoverageMask* clip, const LayerEffects& effects);
    // The pixels of a layer: the object drawn with `toLayer`, its filters
    // applied to `area` (the pixels that will be used), its alpha last.
    void FillLayer(raster::Surface& layer, const DisplayObject& object, const Matrix& toLayer,
                   const ColorTransform& colors, const LayerEffects& effects, const raster::PixelRect& area);
    // Records a layer kept between frames, walking it in its own pixels.
    void RecordKeptLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                         const ColorTransform& colors, const raster::CoverageMask* clip, const LayerEffects& effects);
    // Puts the object's kept layer onto the surface; false when there is none for this frame.
    bool DrawKeptLayer(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                       const raster::CoverageMask* clip, raster::BlendMode mode);
    void RedrawKeptLayers();
    void DrawObject(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                    const ColorTransform& colors, const raster::CoverageMask* clip);
    // A shape, morph or static text: while recording, an unchanged one replays
    // what it noted last time; while drawing an area, one noted outside it is skipped.
    void DrawStill(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                   const ColorTransform& colors, const raster::CoverageMask* clip);
    // The colour a clip's opaqueBackground fills its box with, under its content.
    void DrawOpaqueBackground(raster::Surface& surface, const MovieClip& clip, const Matrix& toPixels,
                              const ColorTransform& colors, const raster::CoverageMask* mask);
    std::uint64_t StillKey(const DisplayObject& object, const Matrix& toPixels, const ColorTransform& colors,
                           const raster::CoverageMask* clip) const;
    void DrawShape(raster::Surface& surface, const Shape& shape, const Matrix& toPixels, const ColorTransform& colors,
                   const raster::CoverageMask* clip);
    // An attached bitmap or a video, as it is now.
    void DrawPicture(raster::Surface& surface, const PictureObject& picture, const Matrix& toPixels,
                     const ColorTransform& colors, const raster::CoverageMask* clip);
    void DrawText(raster::Surface* surface, raster::CoverageMask* mask, const DisplayObject& object,
                  const Matrix& toPixels, const ColorTransform& colors, const raster::CoverageMask* clip);
    // A text field: while recording, an unchanged one replays what it noted
    // last time (its caret, which blinks on its own, is noted afresh).
    void DrawEditText(raster::Surface* surface, raster::CoverageMask* mask, const DisplayObject& object,
                      const Matrix& toPixels, const ColorTransform& colors, const raster::CoverageMask* clip);
    std::uint64_t FieldKey(const EditTextInstance& field, const Matrix& toPixels, const ColorTransform& colors,
                           const raster::CoverageMask* clip) const;
    // The steps of a field's drawing: background, the text box clip (returns
    // the pixels to clear after), the visible lines, the border.
    void DrawFieldBackground(raster::Surface& surface, const EditTextInstance& field,
                             const raster::DrawOptions& options, const ColorTransform& colors);
    raster::PixelRect SetTextBox(const raster::Surface* surface, const raster::CoverageMask* mask, const Rect& box,
                                 const raster::PixelRect& boxPixels, const raster::DrawOptions& options,
                                 const raster::CoverageMask* clip);
    void DrawFieldLines(raster::Surface* surface, raster::CoverageMask* mask, const EditTextInstance& field,
                        const raster::DrawOptions& textOptions, const ColorTransform& colors);
    // Glyphs of one colour are gathered into one path and filled together.
    struct FieldLinePen {
        Renderer& renderer;
        raster::Surface* surface;
        raster::CoverageMask* mask;
        const raster::DrawOptions& options;
        const ColorTransform& colors;
        raster::Path path;
        double dx = 0, dy = 0;
        bool showSelection = false;
        void Flush(Rgba color);
    };
    void DrawFieldLine(FieldLinePen& pen, const EditTextInstance& field, std::size_t index);
    void DrawFieldBorder(raster::Surface& surface, const EditTextInstance& field, const raster::DrawOptions& options,
                         const ColorTransform& colors);
    // The focused input field's caret, a one-pixel bar where text would go in.
    void DrawCaret(raster::Surface& surface, const EditTextInstance& field, const raster::DrawOptions& options,
                   const ColorTransform& colors);
    // Adds the object's filled area to a clip mask.
    void AddToMask(raster::CoverageMask& mask, const DisplayObject& object, const Matrix& toPixels);
    void AddShapeToMask(raster::CoverageMask& mask, const Shape& shape, const Matrix& toPixels);

    // Clip layers in force at once over the whole tree; each costs a mask the
    // size of the surface.
    static constexpr int kMaxLiveMasks = 16;

    // Where fonts are looked up: the dictionary of the clip being drawn.
    const Dictionary* dictionary_;
    // The movie that owns the characters of the clip being drawn.
    const std::shared_ptr<const MovieDefinition>* movie_ = nullptr;
    RecordingCache recorded_;
    const Renderer* notesOf_ = nullptr;
    const TextFonts* fonts_ = nullptr;
    DrawingRasterizer rasterizer_;
    int liveMasks_ = 0;
    Quality quality_ = Quality::High;
    bool SmoothPictures() const { return quality_ >= Quality::High; }
    int MaxFilterPasses() const { return quality_ == Quality::Low ? 1 : quality_ == Quality::Medium ? 2 : 15; }
    // A text field's box as a clip, kept between fields: each field sets and
    // clears only the pixels of its own box, not the whole surface.
    raster::CoverageMask textBox_;
    // The drawing order and the clip layers over the object being drawn.
    std::uint64_t order_ = 0;
    // The scaling grid of the clip or button whose own content is being
    // drawn (not owned; null: none): it maps the shapes directly inside.
    const ScaleGrid* grid_ = nullptr;
    // The layer effects the object being drawn lies inside, summed up: what
    // a still object's note depends on besides its own inputs.
    std::uint64_t effectKey_ = 0;
    // Layers being drawn (nested effects), and the memory each level keeps
    // between frames.
    static constexpr int kMaxLayerNesting = 8;
    int layerNesting_ = 0;
    std::array<std::vector<std::uint32_t>, kMaxLayerNesting> layerPixels_;
    std::array<LayerEffects, kMaxLayerNesting> layerEffects_;
    raster::FilterScratch filterScratch_;
    // Where the layer being recorded lies in the surface's pixels (kept
    // layers are walked in their own); part of a still object's note.
    int layerOffsetX_ = 0;
    int layerOffsetY_ = 0;

    // Layers kept between frames, by object: drawn at a recording walk that
    // found their content changed, put onto the surface as they are otherwise.
    struct KeptLayer {
        std::uint64_t key = 0;
        Matrix local;            // the object's matrix less its whole pixels of translation
        raster::PixelRect rect;  // the layer's pixels, from the object's whole-pixel origin
        raster::Surface pixels;
        bool met = false;
    };
    // A kept layer met by the recording walk, to be drawn when it ends.
    struct KeptLayerWalk {
        const DisplayObject* object = nullptr;
        std::uint64_t key = 0;
        Matrix local;
        Matrix stageToLocal;
        ColorTransform colors;
        LayerEffects effects;
    };
    std::unordered_map<const DisplayObject*, KeptLayer> kept_;
    std::vector<KeptLayerWalk> keptWalk_;
    std::size_t keptWalkCount_ = 0;
    bool useKept_ = false;
    std::uint64_t keptRedraws_ = 0;
    // Stage twips to pixels for the tree being drawn: where masks set by
    // script are drawn from, wherever they sit in the tree.
    Matrix stageToPixels_;
};

}  // namespace swf
