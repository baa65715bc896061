#include "swf/player/render/renderer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "swf/model/font.h"
#include "swf/model/shape.h"
#include "swf/model/text.h"
#include "swf/player/display/picture_object.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/display/clip_scale_grid.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/display_properties.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/display/movie_clip.h"
#include "swf/text/caret_geometry.h"
#include "swf/raster/fingerprint.h"

namespace swf {

namespace {

constexpr Rgba kSelectionBackground{0, 0, 0, 255};
constexpr Rgba kSelectionText{255, 255, 255, 255};

raster::Matrix ToRaster(const Matrix& m) { return {m.a, m.b, m.c, m.d, m.tx, m.ty}; }

raster::Color ToRaster(Rgba c) { return {c.r, c.g, c.b, c.a}; }

raster::ColorTransform ToRaster(const ColorTransform& t) {
    return {t.rMult, t.gMult, t.bMult, t.aMult, t.rAdd, t.gAdd, t.bAdd, t.aAdd};
}

// Appends segments mapped by a scale and an offset (a glyph placed in text space).
void AppendPlaced(raster::Path& path, const std::vector<Segment>& segments, double scale, double dx, double dy) {
    bool first = true;
    float lastX = 0, lastY = 0;
    for (const Segment& s : segments) {
        if (first || s.x0 != lastX || s.y0 != lastY) path.MoveTo(s.x0 * scale + dx, s.y0 * scale + dy);
        if (s.curved) {
            path.QuadTo(s.cx * scale + dx, s.cy * scale + dy, s.x1 * scale + dx, s.y1 * scale + dy);
        } else {
            path.LineTo(s.x1 * scale + dx, s.y1 * scale + dy);
        }
        lastX = s.x1;
        lastY = s.y1;
        first = false;
    }
}

void AppendSegments(raster::Path& path, const std::vector<Segment>& segments) {
    bool first = true;
    float lastX = 0, lastY = 0;
    for (const Segment& s : segments) {
        if (first || s.x0 != lastX || s.y0 != lastY) path.MoveTo(s.x0, s.y0);
        if (s.curved) {
            path.QuadTo(s.cx, s.cy, s.x1, s.y1);
        } else {
            path.LineTo(s.x1, s.y1);
        }
        lastX = s.x1;
        lastY = s.y1;
        first = false;
    }
}

// The paint for a fill style; `toPixels` maps shape space to pixels.
// Returns false for fills that paint nothing (a bitmap fill without its picture).
// `smooth` allows smoothing pictures that ask for it.
bool MakePaint(const FillStyle& fill, const Matrix& toPixels, const ColorTransform& colors, bool smooth,
               raster::Paint* paint) {
    switch (fill.kind) {
    case FillKind::Solid: *paint = raster::Paint::Solid(ToRaster(colors.Apply(fill.color))); return true;
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalGradient: {
        raster::Gradient g;
        g.shape = fill.kind == FillKind::LinearGradient   ? raster::GradientShape::Linear
                  : fill.kind == FillKind::RadialGradient ? raster::GradientShape::Radial
                                                          : raster::GradientShape::Focal;
        for (const GradientStop& stop : fill.gradient.stops) {
            g.stops.push_back({stop.ratio, ToRaster(colors.Apply(stop.color))});
        }
        g.spread = fill.gradient.spread == SpreadMode::Reflect  ? raster::SpreadMode::Reflect
                   : fill.gradient.spread == SpreadMode::Repeat ? raster::SpreadMode::Repeat
                                                                : raster::SpreadMode::Pad;
        g.interpolation =
            fill.gradient.linearRgb ? raster::GradientInterpolation::LinearRGB : raster::GradientInterpolation::RGB;
        g.matrix = ToRaster(toPixels * fill.matrix);
        g.focalPoint = fill.gradient.focalPoint;
        *paint = raster::Paint::GradientFill(g);
        return true;
    }
    case FillKind::Bitmap: {
        if (fill.bitmap == nullptr) return false;
        raster::BitmapStyle style;
        style.image = fill.bitmap;
        style.matrix = ToRaster(toPixels * fill.matrix);
        style.repeat = fill.bitmapRepeat;
        style.smooth = fill.bitmapSmooth && smooth;
        style.colors = ToRaster(colors);
        *paint = raster::Paint::BitmapFill(style);
        return true;
    }
    }
    return false;
}

// Makes `clip`'s movie the one fonts come from, and the one that owns the
// characters drawn, until the scope ends.
class MovieScope {
public:
    MovieScope(const Dictionary*& dictionary, const std::shared_ptr<const MovieDefinition>*& movie,
               const MovieClip& clip)
        : dictionary_(dictionary),
          movie_(movie),
          outerDictionary_(std::exchange(dictionary, &clip.Movie().dictionary)),
          outerMovie_(std::exchange(movie, &clip.MoviePtr())) {}
    ~MovieScope() {
        dictionary_ = outerDictionary_;
        movie_ = outerMovie_;
    }
    MovieScope(const MovieScope&) = delete;
    MovieScope& operator=(const MovieScope&) = delete;

private:
    const Dictionary*& dictionary_;
    const std::shared_ptr<const MovieDefinition>*& movie_;
    const Dictionary* outerDictionary_;
    const std::shared_ptr<const MovieDefinition>* outerMovie_;
};

raster::LineCap ToRaster(CapStyle cap) {
    return cap == CapStyle::None     ? raster::LineCap::None
           : cap == CapStyle::Square ? raster::LineCap::Square
                                     : raster::LineCap::Round;
}

// Notes the drawing calls made while it lives as the object's (when recording).
class ItemScope {
public:
    ItemScope(DamageRecorder* recorder, const void* object, bool mask, std::uint64_t order) : recorder_(recorder) {
        if (recorder_ != nullptr) recorder_->Enter(object, mask, order);
    }
    ~ItemScope() {
        if (recorder_ != nullptr) recorder_->Leave();
    }
    ItemScope(const ItemScope&) = delete;
    ItemScope& operator=(const ItemScope&) = delete;

private:
    DamageRecorder* recorder_;
};

// Restores the renderer's drawing order when a child is done.
class OrderScope {
public:
    OrderScope(std::uint64_t& slot, std::uint64_t order) : slot_(slot), outer_(std::exchange(slot, order)) {}
    ~OrderScope() { slot_ = outer_; }
    OrderScope(const OrderScope&) = delete;
    OrderScope& operator=(const OrderScope&) = delete;

private:
    std::uint64_t& slot_;
    std::uint64_t outer_;
};

// Counts a clip mask as live while it lives.
class MaskCount {
public:
    MaskCount(int& count, bool live) : count_(count), live_(live) { count_ += live_ ? 1 : 0; }
    ~MaskCount() { count_ -= live_ ? 1 : 0; }
    MaskCount(const MaskCount&) = delete;
    MaskCount& operator=(const MaskCount&) = delete;

private:
    int& count_;
    bool live_;
};

// Makes a clip's or button's scaling grid (or none) the one in force while it lives.
class GridScope {
public:
    GridScope(const ScaleGrid*& slot, const DisplayObject& object)
        : slot_(slot), grid_(ActiveScaleGrid(object)), outer_(std::exchange(slot, grid_ ? &*grid_ : nullptr)) {}
    ~GridScope() { slot_ = outer_; }
    GridScope(const GridScope&) = delete;
    GridScope& operator=(const GridScope&) = delete;

private:
    const ScaleGrid*& slot_;
    std::optional<ScaleGrid> grid_;
    const ScaleGrid* outer_;
};

// Hands `draw` the shape, placed in the clip by `toClip`, and its matrix to
// pixels: mapped into the clip's space by the grid when there is one.
template <typename Draw>
void WithGrid(const ScaleGrid* grid, const Shape& shape, const Matrix& toPixels, const Matrix& toClip, Draw draw) {
    Matrix fromClip;
    if (grid == nullptr || !toClip.Invert(&fromClip)) {
        draw(shape, toPixels);
        return;
    }
    draw(grid->Slice(shape, toClip), toPixels * fromClip);
}

// Adds what an object's place gives its drawing: the matrix to pixels and the colours.
void AddPlacement(raster::Fingerprint& inputs, const Matrix& m, const ColorTransform& c) {
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) inputs.Add(v);
    for (double v : {c.rMult, c.gMult, c.bMult, c.aMult, c.rAdd, c.gAdd, c.bAdd, c.aAdd}) inputs.Add(v);
}

std::uint64_t Packed(Rgba c) {
    return std::uint64_t{c.r} << 24 | std::uint64_t{c.g} << 16 | std::uint64_t{c.b} << 8 | std::uint64_t{c.a};
}

raster::LineJoin ToRaster(JoinStyle join) {
    return join == JoinStyle::Bevel   ? raster::LineJoin::Bevel
           : join == JoinStyle::Miter ? raster::LineJoin::Miter
                                      : raster::LineJoin::Round;
}

}  // namespace

void Renderer::DrawList(raster::Surface& surface, const DisplayList& list, const Matrix& toPixels,
                        const ColorTransform& colors, const raster::CoverageMask* clip) {
    // Clip layers in force: the depth each reaches to and its mask. Ranges may
    // overlap without nesting, so an object is clipped by all of them at once.
    struct ClipLayer {
        std::uint16_t clipDepth;
        std::unique_ptr<raster::CoverageMask> mask;
        const DisplayObject* object;
    };
    std::vector<ClipLayer> layers;
    std::unique_ptr<raster::CoverageMask> combined;  // intersection of `layers`, when more than one
    bool combinedStale = false;
    const int masksBefore = liveMasks_;  // this list's masks are gone when it returns

    for (const auto& [depth, object] : list) {
        const std::size_t before = layers.size();
        std::erase_if(layers, [d = depth](const ClipLayer& l) { return l.clipDepth < d; });
        if (layers.size() != before) combinedStale = true;

        const Placement& placement = object->GetPlacement();
        // Hidden by script (_visible = false): neither drawn nor masking.
        if (!object->Visible()) continue;
        const Matrix m = toPixels * placement.matrix;
        // The place in the drawing order, with the clip layers that cover it.
        raster::Fingerprint order;
        order.Add(order_).Add(static_cast<std::uint64_t>(depth)).Add(std::uint64_t{placement.clipDepth});
        for (const ClipLayer& layer : layers) order.Add(layer.object).Add(std::uint64_t{layer.clipDepth});
        const OrderScope orderScope(order_, order.value());
        if (placement.clipDepth != 0) {
            // Past the limit a clip layer is left out: neither drawn nor masking.
            if (liveMasks_ >= kMaxLiveMasks) continue;
            auto mask = std::make_unique<raster::CoverageMask>(surface.width(), surface.height());
            AddToMask(*mask, *object, m);
            if (clip != nullptr) mask->Intersect(*clip);
            layers.push_back({placement.clipDepth, std::move(mask), object.get()});
            ++liveMasks_;
            combinedStale = true;
            continue;
        }
        const raster::CoverageMask* active = clip;
        if (layers.size() == 1) {
            active = layers.front().mask.get();
        } else if (layers.size() > 1) {
            if (combinedStale || !combined) {
                combined = std::make_unique<raster::CoverageMask>(*layers.front().mask);
                for (std::size_t i = 1; i < layers.size(); ++i) combined->Intersect(*layers[i].mask);
            }
            active = combined.get();
        }
        combinedStale = false;
        if (object->Kind() == DisplayKind::MovieClip) {
            const auto& movieClip = static_cast<const MovieClip&>(*object);
            if (movieClip.IsMask()) continue;  // masks set by script are not drawn
            if (movieClip.MaskClip() != nullptr && liveMasks_ < kMaxLiveMasks) {
                raster::CoverageMask scriptMask(surface.width(), surface.height());
                AddToMask(scriptMask, *movieClip.MaskClip(), stageToPixels_ * ObjectToStage(*movieClip.MaskClip()));
                if (active != nullptr) scriptMask.Intersect(*active);
                ++liveMasks_;
                DrawPlaced(surface, *object, m, colors, &scriptMask);
                --liveMasks_;
                continue;
            }
        }
        DrawPlaced(surface, *object, m, colors, active);
    }
    liveMasks_ = masksBefore;
}

void Renderer::DrawClip(raster::Surface& surface, const MovieClip& clip, const Matrix& toPixels,
                        const ColorTransform& colors, const raster::CoverageMask* mask) {
    Matrix inverse;
    stageToPixels_ = clip.GetPlacement().matrix.Invert(&inverse) ? toPixels * inverse : toPixels;
    DrawObject(surface, clip, toPixels, colors, mask);
}

void Renderer::DrawContent(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                           const ColorTransform& colors) {
    Matrix inverse;
    stageToPixels_ = ObjectToStage(object).Invert(&inverse) ? toPixels * inverse : toPixels;
    DrawObject(surface, object, toPixels, colors, nullptr);
}

void Renderer::DrawObject(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                          const ColorTransform& colors, const raster::CoverageMask* clip) {
    const ItemScope item(rasterizer_.Recorder(), &object, false, order_);
    switch (object.Kind()) {
    case DisplayKind::Empty: return;
    case DisplayKind::Bitmap:
    case DisplayKind::Video:
        DrawPicture(surface, static_cast<const PictureObject&>(object), toPixels, colors, clip);
        return;
    case DisplayKind::Shape:
    case DisplayKind::Morph:
    case DisplayKind::Text: DrawStill(surface, object, toPixels, colors, clip); return;
    case DisplayKind::EditText: DrawEditText(&surface, nullptr, object, toPixels, colors, clip); return;
    case DisplayKind::MovieClip: {
        const auto& movieClip = static_cast<const MovieClip&>(object);
        const MovieScope scope(dictionary_, movie_, movieClip);
        const GridScope grid(grid_, movieClip);
        const Placement& placement = movieClip.GetPlacement();
        Matrix content = toPixels;
        const raster::CoverageMask* contentClip = clip;
        // A scroll rectangle shows that part of the content from the clip's
        // origin, clipped to its size (past the mask limit: unclipped).
        std::unique_ptr<raster::CoverageMask> scrolled;
        if (placement.scrollRect && liveMasks_ < kMaxLiveMasks) {
            const Rect& r = *placement.scrollRect;
            scrolled = std::make_unique<raster::CoverageMask>(surface.width(), surface.height());
            raster::Path box;
            box.AddRect(0, 0, r.Width(), r.Height());
            raster::DrawOptions options;
            options.matrix = ToRaster(toPixels);
            rasterizer_.FillMask(*scrolled, box, raster::FillRule::NonZero, options);
            if (clip != nullptr) scrolled->Intersect(*clip);
            contentClip = scrolled.get();
            content = toPixels * Matrix::Translate(-r.xMin, -r.yMin);
        }
        const MaskCount masks(liveMasks_, scrolled != nullptr);
        if (placement.opaqueBackground) DrawOpaqueBackground(surface, movieClip, toPixels, colors, contentClip);
        if (const DrawnShape* drawing = movieClip.Drawing()) {
            WithGrid(grid_, drawing->GetShape(), content, Matrix{},
                     [&](const Shape& shape, const Matrix& m) { DrawShape(surface, shape, m, colors, contentClip); });
        }
        DrawList(surface, movieClip.Children(), content, colors, contentClip);
        return;
    }
    case DisplayKind::Button: {
        const auto& button = static_cast<const ButtonInstance&>(object);
        const GridScope grid(grid_, button);
        const auto state = static_cast<std::uint8_t>(button.State());
        std::uint64_t index = 0;
        for (const auto& part : button.Parts()) {
            if ((part.states & state) == 0) continue;
            const OrderScope orderScope(order_, raster::Fingerprint().Add(order_).Add(++index).value());
            DrawPlaced(surface, *part.object, toPixels * part.object->GetPlacement().matrix, colors, clip);
        }
        return;
    }
    }
}

void Renderer::DrawOpaqueBackground(raster::Surface& surface, const MovieClip& clip, const Matrix& toPixels,
                                    const ColorTransform& colors, const raster::CoverageMask* mask) {
    const Rect box = LocalBounds(clip);
    if (box.Width() <= 0 || box.Height() <= 0) return;
    raster::Path path;
    path.AddRect(box.xMin, box.yMin, box.Width(), box.Height());
    raster::DrawOptions options;
    options.matrix = ToRaster(toPixels);
    options.clip = mask;
    rasterizer_.FillPath(surface, path, raster::FillRule::NonZero,
                         raster::Paint::Solid(ToRaster(colors.Apply(*clip.GetPlacement().opaqueBackground))), options);
}

std::uint64_t Renderer::StillKey(const DisplayObject& object, const Matrix& toPixels, const ColorTransform& colors,
                                 const raster::CoverageMask* clip) const {
    // Everything a still object's drawing calls depend on besides its character's own (fixed) content.
    raster::Fingerprint inputs;
    inputs.Add(object.GetCharacter()).Add(static_cast<std::uint64_t>(object.Kind()));
    AddPlacement(inputs, toPixels, colors);
    inputs.Add(std::uint64_t{clip != nullptr})
        .Add(effectKey_)
        .Add(static_cast<std::uint64_t>(layerOffsetX_))
        .Add(static_cast<std::uint64_t>(layerOffsetY_))
        .Add(static_cast<std::uint64_t>(quality_))
        .Add(grid_ != nullptr ? grid_->Key() : 0);
    if (object.Kind() == DisplayKind::Morph) inputs.Add(std::uint64_t{object.GetPlacement().ratio});
    if (object.Kind() == DisplayKind::Text) inputs.Add(dictionary_).Add(fonts_);
    return inputs.value();
}

void Renderer::DrawStill(raster::Surface& surface, const DisplayObject& object, const Matrix& toPixels,
                         const ColorTransform& colors, const raster::CoverageMask* clip) {
    DamageRecorder* recorder = rasterizer_.Recorder();
    const raster::PixelRect* area = rasterizer_.Area();
    std::uint64_t key = 0;
    if (recorder != nullptr) {
        key = StillKey(object, toPixels, colors, clip);
        if (const RecordingCache::Note* note = recorded_.Find(&object, key)) {
            recorder->Replay(note->content, note->bounds, note->drew);
            return;
        }
    } else if (area != nullptr) {
        // This frame's recording walk saw where the object draws: outside the
        // area it is not drawn at all (its paths and paints are not even made).
        const RecordingCache& notes = notesOf_ != nullptr ? notesOf_->recorded_ : recorded_;
        const RecordingCache::Note* note = notes.Peek(&object, StillKey(object, toPixels, colors, clip));
        if (note != nullptr && !note->bounds.Intersects(*area)) return;
    }
    const auto draw = [&](const Shape& shape, const Matrix& m) { DrawShape(surface, shape, m, colors, clip); };
    switch (object.Kind()) {
    case DisplayKind::Shape:
        WithGrid(grid_, static_cast<const ShapeDefinition&>(*object.GetCharacter()).shape, toPixels,
                 object.GetPlacement().matrix, draw);
        break;
    case DisplayKind::Morph:
        WithGrid(grid_, *MorphShapeAt(object), toPixels, object.GetPlacement().matrix, draw);
        break;
    case DisplayKind::Text: DrawText(&surface, nullptr, object, toPixels, colors, clip); break;
    default: return;
    }
    RecordingCache::Note note;
    // A character outside any clip's movie has no owner to hold: it is not kept.
    if (recorder != nullptr && movie_ != nullptr && recorder->OpenItem(&note.content, &note.bounds, &note.drew)) {
        recorded_.Keep(&object, key, note, *movie_);
    }
}

void Renderer::DrawPicture(raster::Surface& surface, const PictureObject& bitmap, const Matrix& toPixels,
                           const ColorTransform& colors, const raster::CoverageMask* clip) {
    raster::BitmapStyle style;
    style.image = bitmap.Pixels();
    if (style.image == nullptr) return;
    const raster::Matrix m = ToRaster(bitmap.ImageToPixels(toPixels));
    style.matrix = m;
    style.repeat = false;
    style.smooth = bitmap.Smoothing() && SmoothPictures();
    style.colors = ToRaster(colors);
    raster::Path path;
    path.AddRect(0, 0, style.image->width, style.image->height);
    raster::DrawOptions options;
    options.matrix = m;
    options.clip = clip;
    // The paint's fingerprint holds the pixels' serial: a recording walk sees each change.
    rasterizer_.FillPath(surface, path, raster::FillRule::NonZero, raster::Paint::BitmapFill(style), options);
}

void Renderer::DrawShape(raster::Surface& surface, const Shape& shape, const Matrix& toPixels,
                         const ColorTransform& colors, const raster::CoverageMask* clip) {
    raster::DrawOptions options;
    options.matrix = ToRaster(toPixels);
    options.clip = clip;
    const raster::FillRule rule = shape.nonZeroWinding ? raster::FillRule::NonZero : raster::FillRule::EvenOdd;
    const double widthScale = options.matrix.MeanScale();
    raster::Path path;
    raster::Paint paint;
    for (const ShapeLayer& layer : shape.layers) {
        for (std::size_t i = 0; i < layer.fills.size(); ++i) {
            if (layer.fillEdges[i].empty() || !MakePaint(layer.fills[i], toPixels, colors, SmoothPictures(), &paint))
                continue;
            path.Clear();
            AppendSegments(path, layer.fillEdges[i]);
            rasterizer_.FillPath(surface, path, rule, paint, options);
        }
        for (std::size_t i = 0; i < layer.lines.size(); ++i) {
            const LineStyle& line = layer.lines[i];
            if (layer.lineContours[i].empty()) continue;
            if (line.hasFill) {
                if (!MakePaint(line.fill, toPixels, colors, SmoothPictures(), &paint)) continue;
            } else {
                paint = raster::Paint::Solid(ToRaster(colors.Apply(line.color)));
            }
            raster::StrokeStyle style;
            style.width = line.width * widthScale;
            style.cap = ToRaster(line.startCap);
            style.join = ToRaster(line.join);
            style.miterLimit = line.miterLimit;
            path.Clear();
            for (const Contour& contour : layer.lineContours[i]) AppendSegments(path, contour);
            rasterizer_.StrokePath(surface, path, style, paint, options);
        }
    }
}

void Renderer::DrawText(raster::Surface* surface, raster::CoverageMask* mask, const DisplayObject& object,
                        const Matrix& toPixels, const ColorTransform& colors, const raster::CoverageMask* clip) {
    const auto& text = static_cast<const TextDefinition&>(*object.GetCharacter());
    fonts::DeviceFontProvider* provider = fonts_ != nullptr ? fonts_->Provider() : nullptr;
    raster::DrawOptions options;
    options.matrix = ToRaster(toPixels * text.matrix);
    options.clip = clip;
    raster::Path path;
    for (const TextRun& run : text.runs) {
        const FontDefinition* font = FindCharacter<FontDefinition>(*dictionary_, run.fontId);
        if (font == nullptr) continue;
        // A font without outlines names a device font; its glyphs are found by character code.
        const bool device = font->IsDeviceFont();
        if (device && provider == nullptr) continue;
        path.Clear();
        double x = run.x;
        for (const GlyphEntry& entry : run.glyphs) {
            if (device) {
                if (entry.index < font->codes.size()) {
                    const auto glyph = provider->Glyph(font->name, font->bold, font->italic, font->codes[entry.index]);
                    if (glyph) AppendPlaced(path, glyph->edges, run.height / fonts::kDeviceEm, x, run.y);
                }
            } else if (entry.index < font->glyphs.size()) {
                AppendPlaced(path, font->glyphs[entry.index].edges, run.height / font->emSquare, x, run.y);
            }
            x += entry.advance;
        }
        if (mask != nullptr) {
            rasterizer_.FillMask(*mask, path, raster::FillRule::NonZero, options);
        } else {
            const raster::Paint paint = raster::Paint::Solid(ToRaster(colors.Apply(run.color)));
            rasterizer_.FillPath(*surface, path, raster::FillRule::NonZero, paint, options);
        }
    }
}

std::uint64_t Renderer::FieldKey(const EditTextInstance& field, const Matrix& toPixels, const ColorTransform& colors,
                                 const raster::CoverageMask* clip) const {
    // Everything a field's drawing calls depend on but its caret. The layout
    // stands for the text, its formats, the box and the fonts that laid it out.
    const TextFieldModel& model = field.Model();
    const EditSession& session = field.Session();
    raster::Fingerprint inputs;
    inputs.Add(model.LayoutStamp());
    AddPlacement(inputs, toPixels, colors);
    inputs.Add(std::uint64_t{clip != nullptr})
        .Add(effectKey_)
        .Add(static_cast<std::uint64_t>(layerOffsetX_))
        .Add(static_cast<std::uint64_t>(layerOffsetY_))
        .Add(static_cast<std::uint64_t>(quality_));
    inputs.Add(static_cast<std::uint64_t>(model.Scroll())).Add(static_cast<std::uint64_t>(model.HScroll()));
    inputs.Add(std::uint64_t{session.Focused()});
    inputs.Add(static_cast<std::uint64_t>(session.SelectionBegin()))
        .Add(static_cast<std::uint64_t>(session.SelectionEnd()));
    inputs.Add(std::uint64_t{model.Background()}).Add(Packed(model.BackgroundColor()));
    inputs.Add(std::uint64_t{model.Border()}).Add(Packed(model.BorderColor()));
    return inputs.value();
}

void Renderer::DrawEditText(raster::Surface* surface, raster::CoverageMask* mask, const DisplayObject& object,
                            const Matrix& toPixels, const ColorTransform& colors, const raster::CoverageMask* clip) {
    const auto& field = static_cast<const EditTextInstance&>(object);
    const TextFieldModel& model = field.Model();
    const EditSession& session = field.Session();
    const Rect box = model.Layout().bounds;
    raster::DrawOptions options;
    options.matrix = ToRaster(toPixels);
    options.clip = clip;
    raster::DrawOptions textOptions = options;
    textOptions.clip = &textBox_;
    const bool caretShown = surface != nullptr && session.Focused() && session.Editable() && session.CaretShown() &&
                            session.SelectionBegin() == session.SelectionEnd();
    // Everything a field draws (background, text, caret, border) stays inside
    // its box: a redraw of an area elsewhere has nothing to do here.
    const raster::PixelRect boxPixels = PixelsTouched(box, options.matrix);
    const raster::PixelRect* area = rasterizer_.Area();
    if (area != nullptr && !boxPixels.Intersects(*area)) return;

    DamageRecorder* recorder = rasterizer_.Recorder();
    const bool remember = recorder != nullptr && surface != nullptr;
    std::uint64_t key = 0;
    if (remember) {
        key = FieldKey(field, toPixels, colors, clip);
        if (const RecordingCache::Note* note = recorded_.Find(&object, key)) {
            recorder->Replay(note->content, note->bounds, note->drew);
            if (caretShown) DrawCaret(*surface, field, textOptions, colors);
            return;
        }
    }

    if (surface != nullptr && model.Background()) DrawFieldBackground(*surface, field, options, colors);
    // The text shows only inside the box; the box's pixels are cleared again
    // when the field is done.
    const raster::PixelRect boxInUse = SetTextBox(surface, mask, box, boxPixels, options, clip);
    struct ClearAfterUse {
        raster::CoverageMask& mask;
        const raster::PixelRect& area;
        ~ClearAfterUse() { mask.Clear(area); }
    } clearAfterUse{textBox_, boxInUse};
    DrawFieldLines(surface, mask, field, textOptions, colors);
    if (caretShown) DrawCaret(*surface, field, textOptions, colors);
    if (surface != nullptr && model.Border()) DrawFieldBorder(*surface, field, options, colors);

    RecordingCache::Note note;
    if (remember && recorder->OpenItem(&note.content, &note.bounds, &note.drew)) {
        // No owner to hold: a field made later at this one's address has a
        // layout stamp of its own, so it never takes this note.
        recorded_.Keep(&object, key, note, nullptr);
    }
}

void Renderer::DrawFieldBackground(raster::Surface& surface, const EditTextInstance& field,
                                   const raster::DrawOptions& options, const ColorTransform& colors) {
    const Rect box = field.Model().Layout().bounds;
    raster::Path path;
    path.AddRect(box.xMin, box.yMin, box.Width(), box.Height());
    const raster::Paint paint = raster::Paint::Solid(ToRaster(colors.Apply(field.Model().BackgroundColor())));
    rasterizer_.FillPath(surface, path, raster::FillRule::NonZero, paint, options);
}

raster::PixelRect Renderer::SetTextBox(const raster::Surface* surface, const raster::CoverageMask* mask,
                                       const Rect& box, const raster::PixelRect& boxPixels,
                                       const raster::DrawOptions& options, const raster::CoverageMask* clip) {
    const int width = mask != nullptr ? mask->width() : surface->width();
    const int height = mask != nullptr ? mask->height() : surface->height();
    // The recording walk draws into nothing: it keeps the mask of the last drawing.
    if ((textBox_.width() != width || textBox_.height() != height) && width > 0 && height > 0) {
        textBox_ = raster::CoverageMask(width, height);
    }
    // The box's pixels that drawing can reach: none while recording, and only
    // those inside the area of an area redraw.
    const raster::PixelRect* area = rasterizer_.Area();
    const raster::PixelRect boxInUse = rasterizer_.Recorder() != nullptr ? raster::PixelRect{}
                                       : area != nullptr                 ? boxPixels.Intersected(*area)
                                                                         : boxPixels;
    raster::Path path;
    path.AddRect(box.xMin, box.yMin, box.Width(), box.Height());
    rasterizer_.FillMask(textBox_, path, raster::FillRule::NonZero, options);
    if (clip != nullptr) textBox_.Intersect(*clip, boxInUse);
    return boxInUse;
}

void Renderer::DrawFieldLines(raster::Surface* surface, raster::CoverageMask* mask, const EditTextInstance& field,
                              const raster::DrawOptions& textOptions, const ColorTransform& colors) {
    const TextFieldModel& model = field.Model();
    const EditSession& session = field.Session();
    const text::TextLayout& layout = model.Layout();
    if (layout.lines.empty()) return;
    const Rect box = layout.bounds;
    const std::size_t first = static_cast<std::size_t>(model.Scroll() - 1);
    FieldLinePen pen{*this, surface, mask, textOptions, colors, {}};
    pen.dy = layout.lines.front().top - layout.lines[first].top;
    pen.dx = -model.HScroll() * 20.0;
    // The focused field shows its selection as light text on dark.
    pen.showSelection = surface != nullptr && session.Focused() && session.SelectionEnd() > session.SelectionBegin();
    for (std::size_t i = first; i < layout.lines.size(); ++i) {
        if (layout.lines[i].top + pen.dy >= box.yMax) break;
        DrawFieldLine(pen, field, i);
    }
}

void Renderer::FieldLinePen::Flush(Rgba color) {
    if (mask != nullptr) {
        renderer.rasterizer_.FillMask(*mask, path, raster::FillRule::NonZero, options);
    } else {
        const raster::Paint paint = raster::Paint::Solid(ToRaster(colors.Apply(color)));
        renderer.rasterizer_.FillPath(*surface, path, raster::FillRule::NonZero, paint, options);
    }
    path.Clear();
}

void Renderer::DrawFieldLine(FieldLinePen& pen, const EditTextInstance& field, std::size_t index) {
    const TextFieldModel& model = field.Model();
    const text::TextLayout& layout = model.Layout();
    const text::FormattedText& runs = model.LayoutRuns();
    const text::TextLine& line = layout.lines[index];
    const std::size_t selBegin = field.Session().SelectionBegin();
    const std::size_t selEnd = field.Session().SelectionEnd();
    pen.path.Clear();
    if (pen.showSelection && selBegin <= line.end && selEnd > line.begin) {
        const double x0 = text::CaretX(layout, index, std::max(selBegin, line.begin));
        const double x1 = text::CaretX(layout, index, std::min(selEnd, line.end));
        if (x1 > x0) {
            pen.path.AddRect(x0 + pen.dx, line.top + pen.dy, x1 - x0, line.ascent + line.descent);
            pen.Flush(kSelectionBackground);
        }
    }
    Rgba color{};
    const double baseline = line.baseline + pen.dy;
    for (const text::PlacedGlyph& g : line.glyphs) {
        const text::TextFormat& format = runs[g.run].format;
        const bool selected = pen.showSelection && g.index >= selBegin && g.index < selEnd;
        const Rgba glyphColor = selected ? kSelectionText : format.color;
        if (!pen.path.empty() && !(glyphColor == color)) pen.Flush(color);
        color = glyphColor;
        // The field's own movie holds its embedded fonts (it may be a loaded one).
        const GlyphOutline outline = model.Fonts().Outline(format, g.character);
        if (outline.edges != nullptr) {
            AppendPlaced(pen.path, *outline.edges, format.size / outline.em, g.x + pen.dx, baseline);
        }
        if (format.underline && g.character != text::kBullet) {
            const double thickness = std::max(20.0, format.size / 16);
            pen.path.AddRect(g.x + pen.dx, baseline + format.size / 10, g.advance, thickness);
        }
    }
    if (!pen.path.empty()) pen.Flush(color);
}

void Renderer::DrawFieldBorder(raster::Surface& surface, const EditTextInstance& field,
                               const raster::DrawOptions& options, const ColorTransform& colors) {
    // A one-pixel line just inside the box.
    const Rect box = field.Model().Layout().bounds;
    const double inset = 0.5 / std::max(1e-6, options.matrix.MeanScale());
    raster::Path path;
    path.AddRect(box.xMin + inset, box.yMin + inset, box.Width() - 2 * inset, box.Height() - 2 * inset);
    raster::StrokeStyle style;
    style.width = 1;
    style.join = raster::LineJoin::Miter;
    style.cap = raster::LineCap::Square;
    const raster::Paint paint = raster::Paint::Solid(ToRaster(colors.Apply(field.Model().BorderColor())));
    rasterizer_.StrokePath(surface, path, style, paint, options);
}

void Renderer::DrawCaret(raster::Surface& surface, const EditTextInstance& field, const raster::DrawOptions& options,
                         const ColorTransform& colors) {
    const TextFieldModel& model = field.Model();
    const std::size_t caret = field.Session().Caret();
    const ItemScope item(rasterizer_.Recorder(), field.Session().CaretIdentity(), false, order_);
    const text::TextLayout& layout = model.Layout();
    double x = layout.bounds.xMin + text::kGutter;
    double top = layout.bounds.yMin + text::kGutter;
    double height = model.NewTextFormat().size;
    Rgba color = model.NewTextFormat().color;
    if (!layout.lines.empty()) {
        const std::size_t line = text::LineOfIndex(layout, caret);
        const text::TextLine& l = layout.lines[line];
        const std::size_t first = static_cast<std::size_t>(model.Scroll() - 1);
        x = text::CaretX(layout, line, caret) - model.HScroll() * 20.0;
        top = l.top - (layout.lines[first].top - layout.lines.front().top);
        height = l.ascent + l.descent;
        const text::FormattedText& runs = model.LayoutRuns();
        for (const text::PlacedGlyph& g : l.glyphs) {
            if (g.index != text::kNoIndex && g.index + 1 >= caret) {
                color = runs[g.run].format.color;
                break;
            }
        }
    }
    // One pixel wide at any scale.
    const double width = 1 / std::max(1e-6, options.matrix.MeanScale());
    raster::Path path;
    path.AddRect(x, top, width, height);
    const raster::Paint paint = raster::Paint::Solid(ToRaster(colors.Apply(color)));
    rasterizer_.FillPath(surface, path, raster::FillRule::NonZero, paint, options);
}

void Renderer::DrawFocusRect(raster::Surface& surface, const Rect& bounds, const Matrix& toPixels) {
    // Its own item in the notes, after every object, so that it appearing,
    // moving or going redraws only its outline.
    static const char kFocusRectIdentity = 0;
    const ItemScope item(rasterizer_.Recorder(), &kFocusRectIdentity, false, ~std::uint64_t{0});
    const Point corners[] = {toPixels.Apply({static_cast<double>(bounds.xMin), static_cast<double>(bounds.yMin)}),
                             toPixels.Apply({static_cast<double>(bounds.xMax), static_cast<double>(bounds.yMin)}),
                             toPixels.Apply({static_cast<double>(bounds.xMin), static_cast<double>(bounds.yMax)}),
                             toPixels.Apply({static_cast<double>(bounds.xMax), static_cast<double>(bounds.yMax)})};
    double left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Whole pixels: one on each side of the edge, so that the outline is crisp.
    const double x0 = std::round(left), x1 = std::max(std::round(right), x0 + 2);
    const double y0 = std::round(top), y1 = std::max(std::round(bottom), y0 + 2);
    raster::Path path;
    path.AddRect(x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2);
    path.AddRect(x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2);
    raster::DrawOptions options;
    rasterizer_.FillPath(surface, path, raster::FillRule::EvenOdd, raster::Paint::Solid({255, 255, 0, 255}), options);
}

void Renderer::AddShapeToMask(raster::CoverageMask& mask, const Shape& shape, const Matrix& toPixels) {
    raster::DrawOptions options;
    options.matrix = ToRaster(toPixels);
    const raster::FillRule rule = shape.nonZeroWinding ? raster::FillRule::NonZero : raster::FillRule::EvenOdd;
    raster::Path path;
    for (const ShapeLayer& layer : shape.layers) {
        for (const auto& edges : layer.fillEdges) {
            if (edges.empty()) continue;
            path.Clear();
            AppendSegments(path, edges);
            rasterizer_.FillMask(mask, path, rule, options);
        }
    }
}

void Renderer::AddToMask(raster::CoverageMask& mask, const DisplayObject& object, const Matrix& toPixels) {
    const ItemScope item(rasterizer_.Recorder(), &object, true, order_);
    const auto addShape = [&](const Shape& shape, const Matrix& m) { AddShapeToMask(mask, shape, m); };
    switch (object.Kind()) {
    case DisplayKind::Empty: return;
    case DisplayKind::Bitmap:
    case DisplayKind::Video: {
        const auto& bitmap = static_cast<const PictureObject&>(object);
        if (bitmap.Pixels() == nullptr) return;
        raster::Path path;
        path.AddRect(0, 0, bitmap.Pixels()->width, bitmap.Pixels()->height);
        raster::DrawOptions options;
        options.matrix = ToRaster(bitmap.ImageToPixels(toPixels));
        rasterizer_.FillMask(mask, path, raster::FillRule::NonZero, options);
        return;
    }
    case DisplayKind::Shape:
        WithGrid(grid_, static_cast<const ShapeDefinition&>(*object.GetCharacter()).shape, toPixels,
                 object.GetPlacement().matrix, addShape);
        return;
    case DisplayKind::Morph:
        WithGrid(grid_, *MorphShapeAt(object), toPixels, object.GetPlacement().matrix, addShape);
        return;
    case DisplayKind::Text: DrawText(nullptr, &mask, object, toPixels, {}, nullptr); return;
    case DisplayKind::EditText: DrawEditText(nullptr, &mask, object, toPixels, {}, nullptr); return;
    case DisplayKind::MovieClip: {
        const auto& movieClip = static_cast<const MovieClip&>(object);
        const MovieScope scope(dictionary_, movie_, movieClip);
        const GridScope grid(grid_, movieClip);
        if (const DrawnShape* drawing = movieClip.Drawing())
            WithGrid(grid_, drawing->GetShape(), toPixels, Matrix{}, addShape);
        for (const auto& [depth, child] : movieClip.Children()) {
            if (child->GetPlacement().clipDepth != 0) continue;
            const std::uint64_t order =
                raster::Fingerprint().Add(order_).Add(static_cast<std::uint64_t>(depth)).value();
            const OrderScope orderScope(order_, order);
            AddToMask(mask, *child, toPixels * child->GetPlacement().matrix);
        }
        return;
    }
    case DisplayKind::Button: {
        const auto& button = static_cast<const ButtonInstance&>(object);
        const GridScope grid(grid_, button);
        const auto state = static_cast<std::uint8_t>(button.State());
        std::uint64_t index = 0;
        for (const auto& part : button.Parts()) {
            if ((part.states & state) == 0) continue;
            const OrderScope orderScope(order_, raster::Fingerprint().Add(order_).Add(++index).value());
            AddToMask(mask, *part.object, toPixels * part.object->GetPlacement().matrix);
        }
        return;
    }
    }
}

}  // namespace swf
