#include "swf/player/display/hit_test.h"

#include "swf/model/shape_hit_test.h"
#include "swf/model/text.h"
#include "swf/player/display/clip_scale_grid.h"
#include "swf/player/display/picture_object.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

// Where a stage point over the shapes a grid maps lies in their own drawing.
Point Unsliced(const DisplayObject& object, const Matrix& toStage, Point p) {
    const std::optional<ScaleGrid> grid = ActiveScaleGrid(object);
    Matrix inverse;
    if (!grid || !toStage.Invert(&inverse)) return p;
    return toStage.Apply(grid->Unmap(inverse.Apply(p)));
}

// A scrolled clip shows, and is hit, only inside its rectangle, which puts
// the content's rectangle at the clip's origin: false outside it, else
// `toStage` becomes the content's matrix.
bool InsideScroll(const DisplayObject& clip, Matrix& toStage, Point p) {
    const std::optional<Rect>& scroll = clip.GetPlacement().scrollRect;
    if (!scroll) return true;
    Matrix inverse;
    if (!toStage.Invert(&inverse)) return false;
    const Point local = inverse.Apply(p);
    if (local.x < 0 || local.y < 0 || local.x >= scroll->Width() || local.y >= scroll->Height()) return false;
    toStage = toStage * Matrix::Translate(-scroll->xMin, -scroll->yMin);
    return true;
}

}  // namespace

bool ObjectContains(const DisplayObject& object, const Matrix& toStage, Point p) {
    Matrix inverse;
    switch (object.Kind()) {
    case DisplayKind::Empty: return false;
    case DisplayKind::Bitmap:
    case DisplayKind::Video: {
        if (!toStage.Invert(&inverse)) return false;
        const Rect box = static_cast<const PictureObject&>(object).Bounds();
        const Point local = inverse.Apply(p);
        return local.x >= box.xMin && local.x < box.xMax && local.y >= box.yMin && local.y < box.yMax;
    }
    case DisplayKind::Shape: {
        if (!toStage.Invert(&inverse)) return false;
        const auto& shape = static_cast<const ShapeDefinition&>(*object.GetCharacter());
        return ShapeContains(shape.shape, inverse.Apply(p));
    }
    case DisplayKind::Morph: {
        if (!toStage.Invert(&inverse)) return false;
        return ShapeContains(*MorphShapeAt(object), inverse.Apply(p));
    }
    case DisplayKind::Text: {
        if (!toStage.Invert(&inverse)) return false;
        const auto& text = static_cast<const TextDefinition&>(*object.GetCharacter());
        const Point local = inverse.Apply(p);
        return local.x >= text.bounds.xMin && local.x < text.bounds.xMax && local.y >= text.bounds.yMin &&
               local.y < text.bounds.yMax;
    }
    case DisplayKind::EditText: {
        if (!toStage.Invert(&inverse)) return false;
        const Rect box = static_cast<const EditTextInstance&>(object).Model().Bounds();
        const Point local = inverse.Apply(p);
        return local.x >= box.xMin && local.x < box.xMax && local.y >= box.yMin && local.y < box.yMax;
    }
    case DisplayKind::MovieClip: {
        const auto& clip = static_cast<const MovieClip&>(object);
        Matrix content = toStage;
        if (!InsideScroll(clip, content, p)) return false;
        const Point sliced = Unsliced(clip, content, p);
        if (const DrawnShape* drawing = clip.Drawing();
            drawing != nullptr && content.Invert(&inverse) && ShapeContains(drawing->GetShape(), inverse.Apply(sliced)))
            return true;
        for (const auto& [depth, child] : clip.Children()) {
            if (child->GetPlacement().clipDepth != 0) continue;
            if (ObjectContains(*child, content * child->GetPlacement().matrix, SlicedByGrid(*child) ? sliced : p))
                return true;
        }
        return false;
    }
    case DisplayKind::Button: {
        const Point sliced = Unsliced(object, toStage, p);
        for (const auto& part : static_cast<const ButtonInstance&>(object).Parts()) {
            if ((part.states & kButtonHit) == 0) continue;
            const Point at = SlicedByGrid(*part.object) ? sliced : p;
            if (ObjectContains(*part.object, toStage * part.object->GetPlacement().matrix, at)) return true;
        }
        return false;
    }
    }
    return false;
}

DisplayObject* FindPointerTargetAt(const DisplayList& list, const Matrix& toStage, Point p,
                                   const ButtonClipTest& isButtonClip) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& object = *it->second;
        if (object.GetPlacement().clipDepth != 0) continue;  // masks are not targets
        if (!object.Visible()) continue;
        const Matrix m = toStage * object.GetPlacement().matrix;
        if (object.Kind() == DisplayKind::MovieClip) {
            auto& clip = static_cast<MovieClip&>(object);
            if (isButtonClip && isButtonClip(clip)) {
                if (ObjectContains(clip, m, p)) return &clip;
                continue;
            }
            Matrix content = m;
            if (!InsideScroll(clip, content, p)) continue;
            if (DisplayObject* target = FindPointerTargetAt(clip.Children(), content, p, isButtonClip)) return target;
        } else if (object.Kind() == DisplayKind::Button) {
            if (ObjectContains(object, m, p)) return &object;
        }
    }
    return nullptr;
}

ButtonInstance* FindButtonAt(const DisplayList& list, const Matrix& toStage, Point p) {
    return static_cast<ButtonInstance*>(FindPointerTargetAt(list, toStage, p, nullptr));
}

}  // namespace swf

namespace swf {

EditTextInstance* FindFieldAt(const DisplayList& list, const Matrix& toStage, Point p) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& object = *it->second;
        if (object.GetPlacement().clipDepth != 0) continue;
        const Matrix m = toStage * object.GetPlacement().matrix;
        if (object.Kind() == DisplayKind::MovieClip) {
            Matrix content = m;
            if (!InsideScroll(object, content, p)) continue;
            if (EditTextInstance* f = FindFieldAt(static_cast<MovieClip&>(object).Children(), content, p)) return f;
        } else if (object.Kind() == DisplayKind::EditText) {
            if (ObjectContains(object, m, p)) return static_cast<EditTextInstance*>(&object);
        }
    }
    return nullptr;
}

Matrix ObjectToStage(const DisplayObject& object) {
    Matrix m = object.GetPlacement().matrix;
    for (const MovieClip* clip = object.Parent(); clip != nullptr; clip = clip->Parent()) {
        m = clip->GetPlacement().matrix * m;
    }
    return m;
}

}  // namespace swf
