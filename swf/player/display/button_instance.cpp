#include "swf/player/display/button_instance.h"

#include <algorithm>

#include "swf/player/display/display_properties.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

ButtonInstance::ButtonInstance(ClipEnvironment& environment, const std::shared_ptr<const MovieDefinition>& movie,
                               const ButtonDefinition& definition, const Placement& placement, int nesting)
    : DisplayObject(placement, &definition),
      ScriptEffects(static_cast<DisplayObject&>(*this)),
      environment_(environment),
      movie_(movie),
      definition_(definition) {
    std::vector<const ButtonRecord*> records;
    for (const ButtonRecord& r : definition.records) records.push_back(&r);
    std::stable_sort(records.begin(), records.end(),
                     [](const ButtonRecord* x, const ButtonRecord* y) { return x->depth < y->depth; });
    for (const ButtonRecord* r : records) {
        Placement p;
        p.characterId = r->characterId;
        p.matrix = r->matrix;
        p.colorTransform = r->colorTransform;
        p.filters = r->filters;
        p.blendMode = r->blendMode;
        Part part{r->states, environment.CreateInstance(movie, p, nesting + 1)};
        if (part.object->Kind() == DisplayKind::MovieClip) static_cast<MovieClip*>(part.object.get())->Start();
        parts_.push_back(std::move(part));
    }
}

ButtonInstance::~ButtonInstance() {
    parts_.clear();
    environment_.ButtonDestroyed(*this);
}

void ButtonInstance::Advance() {
    for (Part& part : parts_) part.object->Advance();
}

double ButtonInstance::GetDisplayNumber(DisplayProperty property) {
    return swf::GetDisplayNumber(*this, property, environment_.PointerPosition());
}

void ButtonInstance::SetDisplayNumber(DisplayProperty property, double value) {
    swf::SetDisplayNumber(*this, property, value);
}

void ButtonInstance::SetInstanceName(const std::string& name) {
    Placement placement = GetPlacement();
    placement.name = name;
    SetPlacement(placement);
    Script().detached = true;
}

ActionTarget* ButtonInstance::ParentTimeline() { return Parent(); }

std::string ButtonInstance::Url() const { return Parent() != nullptr ? Parent()->Url() : std::string(); }

}  // namespace swf
