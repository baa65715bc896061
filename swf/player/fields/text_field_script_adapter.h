#pragma once
// A text field as scripts see it: the TextField members and methods (the
// VM's TextFieldTarget) and the display properties that differ for fields
// (_width and _height set the box rather than a scale). It turns script
// values (pixels, 0xRRGGBB colours, TextFormat objects) into the field's
// model and edit session and back; the field forwards its DisplayTarget
// calls here and hands this out as its TextFieldTarget.

#include <cstddef>
#include <string>

#include "swf/actions/action_target.h"
#include "swf/actions/text_field_target.h"

namespace swf {

class EditTextInstance;

class TextFieldScriptAdapter final : public TextFieldTarget {
public:
    explicit TextFieldScriptAdapter(EditTextInstance& field) : field_(field) {}
    TextFieldScriptAdapter(const TextFieldScriptAdapter&) = delete;
    TextFieldScriptAdapter& operator=(const TextFieldScriptAdapter&) = delete;

    // The field's DisplayTarget members.
    double GetDisplayNumber(DisplayProperty property) const;
    void SetDisplayNumber(DisplayProperty property, double value);
    void SetInstanceName(const std::string& name);
    ActionTarget* ParentTimeline() const;
    std::string Url() const;

    TextFieldValue GetTextMember(TextFieldMember member) override;
    void SetTextMember(TextFieldMember member, const TextFieldValue& value) override;
    ScriptTextFormat GetTextFormat(std::size_t begin, std::size_t end) override;
    void SetTextFormat(std::size_t begin, std::size_t end, const ScriptTextFormat& format) override;
    ScriptTextFormat GetNewTextFormat() override;
    void SetNewTextFormat(const ScriptTextFormat& format) override;
    void ReplaceText(std::size_t begin, std::size_t end, const std::string& text) override;
    void ReplaceSel(const std::string& text) override;
    void RemoveTextField() override;
    int ScriptDepth() const override;

private:
    // Members whose value is a flag, a colour or a choice among names, set on the model.
    bool SetOptionMember(TextFieldMember member, const TextFieldValue& value);
    // Members of editing, the variable, scrolling and tab order.
    void SetOtherMember(TextFieldMember member, const TextFieldValue& value);

    EditTextInstance& field_;
};

}  // namespace swf
