#include "swf/player/display/display_properties.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/model/button.h"
#include "swf/model/edit_text.h"
#include "swf/model/morph_shape.h"
#include "swf/model/shape.h"
#include "swf/model/text.h"
#include "swf/player/display/picture_object.h"
#include "swf/player/display/button_instance.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/display/quadratic_extent.h"

namespace swf {

namespace {

constexpr double kTwips = 20.0;
constexpr double kDegrees = 180.0 / std::numbers::pi;
// Scales stay within what a placement's 16.16 matrix can hold (percent).
constexpr double kMaxScale = 32767.0 * 100;
// Rectangles grow by whole children at most this deep (nesting is bounded by
// the player too; this keeps the walk bounded on its own).
constexpr int kMaxBoundsDepth = 64;

bool IsEmpty(const Rect& r) { return r.xMin == 0 && r.xMax == 0 && r.yMin == 0 && r.yMax == 0; }

void Include(Rect& into, const Rect& r, bool& any) {
    if (IsEmpty(r)) return;
    if (!any) {
        into = r;
        any = true;
        return;
    }
    into.xMin = std::min(into.xMin, r.xMin);
    into.yMin = std::min(into.yMin, r.yMin);
    into.xMax = std::max(into.xMax, r.xMax);
    into.yMax = std::max(into.yMax, r.yMax);
}

std::int32_t ClampTwips(double v) {
    return static_cast<std::int32_t>(std::clamp(std::round(v), -2147483647.0, 2147483647.0));
}

// The outline's own box: every edge, fills and lines alike, without the
// width of the lines.
Rect EdgeBounds(const Shape& shape) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    const auto grow = [&](double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    const auto add = [&](const Segment& s) {
        grow(s.x0, s.y0);
        grow(s.x1, s.y1);
        if (!s.curved) return;
        double t = 0;
        if (QuadExtreme(s.x0, s.cx, s.x1, &t)) grow(QuadAt(s.x0, s.cx, s.x1, t), QuadAt(s.y0, s.cy, s.y1, t));
        if (QuadExtreme(s.y0, s.cy, s.y1, &t)) grow(QuadAt(s.x0, s.cx, s.x1, t), QuadAt(s.y0, s.cy, s.y1, t));
    };
    for (const ShapeLayer& layer : shape.layers) {
        for (const auto& edges : layer.fillEdges)
            for (const Segment& s : edges) add(s);
        for (const auto& contours : layer.lineContours)
            for (const Contour& contour : contours)
                for (const Segment& s : contour) add(s);
    }
    if (minX > maxX) return {};
    return {ClampTwips(minX), ClampTwips(maxX), ClampTwips(minY), ClampTwips(maxY)};
}

Rect BoundsOf(const DisplayObject& object, int depth, bool strokes);

Rect ChildrenBounds(const DisplayList& list, int depth, bool strokes) {
    Rect out;
    bool any = false;
    for (const auto& [childDepth, child] : list)
        Include(out, TransformBounds(BoundsOf(*child, depth + 1, strokes), child->GetPlacement().matrix), any);
    return out;
}

Rect BoundsOf(const DisplayObject& object, int depth, bool strokes) {
    if (depth > kMaxBoundsDepth) return {};
    const Character* character = object.GetCharacter();
    switch (object.Kind()) {
    case DisplayKind::MovieClip: {
        const auto& clip = static_cast<const MovieClip&>(object);
        // A scrolled clip is as large as the part it shows.
        if (const std::optional<Rect>& r = clip.GetPlacement().scrollRect)
            return {0, r->xMax - r->xMin, 0, r->yMax - r->yMin};
        Rect out = ChildrenBounds(clip.Children(), depth, strokes);
        if (const DrawnShape* drawing = clip.Drawing(); drawing != nullptr && !IsEmpty(drawing->Bounds())) {
            bool any = !IsEmpty(out);
            Include(out, strokes ? drawing->Bounds() : EdgeBounds(drawing->GetShape()), any);
        }
        return out;
    }
    case DisplayKind::Shape: {
        if (!character) return {};
        const auto* shape = static_cast<const ShapeDefinition*>(character);
        return strokes ? shape->bounds : EdgeBounds(shape->shape);
    }
    case DisplayKind::Text: return character ? static_cast<const TextDefinition*>(character)->bounds : Rect{};
    case DisplayKind::EditText: return static_cast<const EditTextInstance&>(object).Model().Bounds();
    case DisplayKind::Button: {
        // What the button shows in its current state.
        const auto& button = static_cast<const ButtonInstance&>(object);
        const auto state = static_cast<std::uint8_t>(button.State());
        Rect out;
        bool any = false;
        for (const ButtonInstance::Part& part : button.Parts()) {
            if ((part.states & state) == 0) continue;
            Include(out,
                    TransformBounds(BoundsOf(*part.object, depth + 1, strokes), part.object->GetPlacement().matrix),
                    any);
        }
        return out;
    }
    case DisplayKind::Morph: {
        if (!character) return {};
        const auto* morph = static_cast<const MorphShapeDefinition*>(character);
        Rect out;
        bool any = false;
        Include(out, morph->startBounds, any);
        Include(out, morph->endBounds, any);
        return out;
    }
    case DisplayKind::Bitmap:
    case DisplayKind::Video: return static_cast<const PictureObject&>(object).Bounds();
    case DisplayKind::Empty: return {};
    }
    return {};
}

// The scale and rotation a script sees: kept as last set, else read from the matrix.
void KnowTransform(ScriptState& state, const Matrix& m) {
    if (state.transformKnown) return;
    state.xscale = std::sqrt(m.a * m.a + m.b * m.b) * 100;
    state.yscale = std::sqrt(m.c * m.c + m.d * m.d) * 100;
    if (m.Determinant() < 0) state.yscale = -state.yscale;
    state.rotation = std::atan2(m.b, m.a) * kDegrees;
    state.transformKnown = true;
}

// Rebuilds the matrix's scale and rotation, keeping its skew and translation.
void Recompose(Matrix& m, const ScriptState& state) {
    const double rotation = state.rotation / kDegrees;
    // The angle of the y axis beyond a right angle to the x axis (skew).
    double skew = 0;
    if ((m.a != 0 || m.b != 0) && (m.c != 0 || m.d != 0)) {
        skew = std::atan2(-m.c, m.d) - std::atan2(m.b, m.a);
        if (m.Determinant() < 0) skew = std::atan2(m.c, -m.d) - std::atan2(m.b, m.a);
    }
    const double xs = state.xscale / 100, ys = state.yscale / 100;
    m.a = xs * std::cos(rotation);
    m.b = xs * std::sin(rotation);
    m.c = -ys * std::sin(rotation + skew);
    m.d = ys * std::cos(rotation + skew);
}

double NormalizedDegrees(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r > 180) r -= 360;
    if (r < -180) r += 360;
    return r;
}

}  // namespace

Rect TransformBounds(const Rect& b, const Matrix& m) {
    if (IsEmpty(b)) return {};
    const double xs[2] = {static_cast<double>(b.xMin), static_cast<double>(b.xMax)};
    const double ys[2] = {static_cast<double>(b.yMin), static_cast<double>(b.yMax)};
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (double x : xs) {
        for (double y : ys) {
            const double px = m.a * x + m.c * y + m.tx;
            const double py = m.b * x + m.d * y + m.ty;
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
    }
    return {ClampTwips(minX), ClampTwips(maxX), ClampTwips(minY), ClampTwips(maxY)};
}

Matrix ToStage(const DisplayObject& object) {
    Matrix m = object.GetPlacement().matrix;
    int depth = 0;
    for (const MovieClip* p = object.Parent(); p != nullptr && depth < kMaxBoundsDepth; p = p->Parent(), ++depth)
        m = p->GetPlacement().matrix * m;
    return m;
}

Rect LocalBounds(const DisplayObject& object) { return BoundsOf(object, 0, true); }

Rect LocalEdgeBounds(const DisplayObject& object) { return BoundsOf(object, 0, false); }

double GetDisplayNumber(const DisplayObject& object, DisplayProperty property, Point pointer) {
    const Placement& placement = object.GetPlacement();
    const Matrix& m = placement.matrix;
    ScriptState state = object.Script();
    switch (property) {
    case DisplayProperty::X: return m.tx / kTwips;
    case DisplayProperty::Y: return m.ty / kTwips;
    case DisplayProperty::XScale: KnowTransform(state, m); return state.xscale;
    case DisplayProperty::YScale: KnowTransform(state, m); return state.yscale;
    case DisplayProperty::Rotation: KnowTransform(state, m); return NormalizedDegrees(state.rotation);
    case DisplayProperty::Alpha: return placement.colorTransform.aMult * 100;
    case DisplayProperty::Visible: return state.visible ? 1 : 0;
    case DisplayProperty::FocusRect: return state.focusRect ? (*state.focusRect ? 1 : 0) : std::nan("");
    case DisplayProperty::Width: return TransformBounds(LocalBounds(object), m).Width() / kTwips;
    case DisplayProperty::Height: return TransformBounds(LocalBounds(object), m).Height() / kTwips;
    case DisplayProperty::XMouse:
    case DisplayProperty::YMouse: {
        Matrix inverse;
        if (!ToStage(object).Invert(&inverse)) return 0;
        const double x = inverse.a * pointer.x + inverse.c * pointer.y + inverse.tx;
        const double y = inverse.b * pointer.x + inverse.d * pointer.y + inverse.ty;
        return std::round(property == DisplayProperty::XMouse ? x / kTwips : y / kTwips);
    }
    default: return std::nan("");
    }
}

void SetDisplayNumber(DisplayObject& object, DisplayProperty property, double value) {
    if (!std::isfinite(value)) return;
    Placement placement = object.GetPlacement();
    ScriptState& state = object.Script();
    Matrix& m = placement.matrix;
    switch (property) {
    // Positions are whole twips and multipliers 8.8 fixed point, as in the file format.
    case DisplayProperty::X: m.tx = std::trunc(std::clamp(value, -1e7, 1e7) * kTwips); break;
    case DisplayProperty::Y: m.ty = std::trunc(std::clamp(value, -1e7, 1e7) * kTwips); break;
    case DisplayProperty::XScale:
    case DisplayProperty::YScale:
    case DisplayProperty::Rotation: {
        KnowTransform(state, m);
        if (property == DisplayProperty::XScale) state.xscale = std::clamp(value, -kMaxScale, kMaxScale);
        if (property == DisplayProperty::YScale) state.yscale = std::clamp(value, -kMaxScale, kMaxScale);
        if (property == DisplayProperty::Rotation) state.rotation = NormalizedDegrees(value);
        Recompose(m, state);
        break;
    }
    case DisplayProperty::Width:
    case DisplayProperty::Height: {
        // Rescale so that the box in the parent takes the new size.
        const Rect box = TransformBounds(LocalBounds(object), m);
        const double now = (property == DisplayProperty::Width ? box.Width() : box.Height()) / kTwips;
        if (now <= 0) return;
        KnowTransform(state, m);
        const double factor = std::clamp(value, 0.0, 1e7) / now;
        double& scale = property == DisplayProperty::Width ? state.xscale : state.yscale;
        scale = std::clamp(scale * factor, -kMaxScale, kMaxScale);
        Recompose(m, state);
        break;
    }
    case DisplayProperty::Alpha:
        placement.colorTransform.aMult = std::trunc(std::clamp(value, -12800.0, 12800.0) * 2.56) / 256;
        break;
    case DisplayProperty::Visible: state.visible = value != 0; return;
    case DisplayProperty::FocusRect: state.focusRect = value != 0; return;
    default: return;
    }
    state.detached = true;
    object.SetPlacement(placement);
}

}  // namespace swf
