#include "swf/player/fields/edit_text_instance.h"

namespace swf {

EditTextInstance::EditTextInstance(const Placement& placement, const EditTextDefinition& definition, TextFonts& fonts,
                                   FieldRegistry* registry)
    : DisplayObject(placement, &definition),
      ScriptEffects(static_cast<DisplayObject&>(*this)),
      definition_(definition),
      registry_(registry),
      model_(definition, fonts),
      session_(model_, definition),
      script_(*this),
      variableName_(definition.variableName) {
    session_.SetEditListener([this] { UserChanged(); });
    if (registry_ != nullptr) registry_->FieldCreated(*this);
}

EditTextInstance::EditTextInstance(const Placement& placement, std::shared_ptr<const EditTextDefinition> definition,
                                   TextFonts& fonts, FieldRegistry* registry)
    : EditTextInstance(placement, *definition, fonts, registry) {
    ownedDefinition_ = std::move(definition);
}

EditTextInstance::~EditTextInstance() {
    if (registry_ != nullptr) registry_->FieldDestroyed(*this);
}

void EditTextInstance::SetVariableName(const std::string& name) {
    variableName_ = name;
    lastVariableText_.reset();
}

void EditTextInstance::RefreshFromVariable() {
    if (!variableSource_) return;
    std::optional<std::string> value = variableSource_();
    if (!value || value == lastVariableText_) return;
    lastVariableText_ = value;
    model_.SetHtmlText(*value);
}

void EditTextInstance::ScriptChangedText() {
    if (!variableSink_) return;
    std::string value = model_.Html() ? model_.HtmlText() : model_.Text();
    // The variable now holds what the field shows: no refresh back.
    lastVariableText_ = value;
    variableSink_(value);
}

void EditTextInstance::UserChanged() {
    ScriptChangedText();
    if (changeListener_) changeListener_();
}

void EditTextInstance::CheckScroll() {
    if (!scrollListener_) return;
    const std::array<int, 4> now = {model_.Scroll(), model_.MaxScroll(), model_.HScroll(), model_.MaxHScroll()};
    const bool moved = lastScroll_ && *lastScroll_ != now;
    lastScroll_ = now;
    if (moved) scrollListener_();
}

}  // namespace swf
