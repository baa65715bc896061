#pragma once
// A dynamic or input text field on a display list. It owns the field's three
// parts: the model (text, formats, options, box, scroll and layout), the edit
// session (selection, caret, focus and the user's edits) and the script
// adapter (what scripts see), and ties them to what lies around the field:
// the registry that knows the live fields, the bound variable, the tab order,
// and the display list it sits on.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "swf/actions/action_target.h"
#include "swf/model/edit_text.h"
#include "swf/player/display/display_object.h"
#include "swf/player/display/script_effects.h"
#include "swf/player/fields/edit_session.h"
#include "swf/player/fields/text_field_model.h"
#include "swf/player/fields/text_field_script_adapter.h"
#include "swf/player/fields/text_fonts.h"

namespace swf {

class EditTextInstance;

// Knows the live fields, so the player can refresh their variables each frame.
class FieldRegistry {
public:
    virtual ~FieldRegistry() = default;
    virtual void FieldCreated(EditTextInstance& field) = 0;
    virtual void FieldDestroyed(EditTextInstance& field) = 0;
};

class EditTextInstance final : public DisplayObject, public ScriptEffects<DisplayTarget> {
public:
    // Returns the bound variable's current text, or nothing when it is unset.
    using VariableSource = std::function<std::optional<std::string>()>;
    // Stores the field's text into the bound variable.
    using VariableSink = std::function<void(const std::string&)>;

    EditTextInstance(const Placement& placement, const EditTextDefinition& definition, TextFonts& fonts,
                     FieldRegistry* registry);
    // A field made by script (createTextField): it owns its definition.
    EditTextInstance(const Placement& placement, std::shared_ptr<const EditTextDefinition> definition, TextFonts& fonts,
                     FieldRegistry* registry);
    ~EditTextInstance() override;

    DisplayKind Kind() const override { return DisplayKind::EditText; }
    const EditTextDefinition& Definition() const { return definition_; }

    TextFieldModel& Model() { return model_; }
    const TextFieldModel& Model() const { return model_; }
    EditSession& Session() { return session_; }
    const EditSession& Session() const { return session_; }

    // The bound variable, named by the definition or by script.
    const std::string& VariableName() const { return variableName_; }
    // Names another variable: its text shows on the next refresh, whatever the last one held.
    void SetVariableName(const std::string& name);
    // The script side gives a bound field its source; RefreshFromVariable
    // (the player calls it each frame) shows the variable's text when it changed.
    void SetVariableSource(VariableSource source) { variableSource_ = std::move(source); }
    void RefreshFromVariable();
    // The player gives a bound field its sink; text the user edits goes there.
    void SetVariableSink(VariableSink sink) { variableSink_ = std::move(sink); }
    // Script set the text: the bound variable takes it at once.
    void ScriptChangedText();

    // Tab order position set by scripts; fields without one follow the display list.
    std::optional<int> TabIndex() const { return tabIndex_; }
    void SetTabIndex(std::optional<int> index) { tabIndex_ = index; }

    // Called after every edit by the user, once the variable has the new text
    // (the script side raises onChanged here).
    void SetChangeListener(std::function<void()> listener) { changeListener_ = std::move(listener); }
    // Called from CheckScroll when scroll, maxscroll, hscroll or maxhscroll
    // moved since the last check (the script side raises onScroller here).
    void SetScrollListener(std::function<void()> listener) { scrollListener_ = std::move(listener); }
    // The player checks each frame; the first check only takes note.
    void CheckScroll();

    // DisplayTarget, answered by the script adapter.
    double GetDisplayNumber(DisplayProperty property) override { return script_.GetDisplayNumber(property); }
    void SetDisplayNumber(DisplayProperty property, double value) override {
        script_.SetDisplayNumber(property, value);
    }
    std::string InstanceName() const override { return GetPlacement().name; }
    void SetInstanceName(const std::string& name) override { script_.SetInstanceName(name); }
    ActionTarget* ParentTimeline() override { return script_.ParentTimeline(); }
    std::string Url() const override { return script_.Url(); }
    TextFieldTarget* AsTextField() override { return &script_; }

private:
    // The user changed the text: the variable and the listener hear of it.
    void UserChanged();

    std::shared_ptr<const EditTextDefinition> ownedDefinition_;
    const EditTextDefinition& definition_;
    FieldRegistry* registry_;
    TextFieldModel model_;
    EditSession session_;
    TextFieldScriptAdapter script_;
    std::string variableName_;
    VariableSource variableSource_;
    std::optional<std::string> lastVariableText_;
    VariableSink variableSink_;
    std::optional<int> tabIndex_;
    std::function<void()> changeListener_;
    std::function<void()> scrollListener_;
    std::optional<std::array<int, 4>> lastScroll_;
};

}  // namespace swf
