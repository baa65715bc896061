#pragma once
// A live button: its current state and an instance per button record.

#include <cstdint>
#include <memory>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/model/button.h"
#include "swf/player/display/clip_environment.h"
#include "swf/player/display/display_object.h"
#include "swf/player/display/script_effects.h"

namespace swf {

enum class ButtonState : std::uint8_t { Up = kButtonUp, Over = kButtonOver, Down = kButtonDown };

class ButtonInstance : public DisplayObject, public ScriptEffects<DisplayTarget> {
public:
    struct Part {
        std::uint8_t states = 0;  // ButtonStateBits the record shows in
        std::unique_ptr<DisplayObject> object;
    };

    // `movie` holds the definition and the characters its records name.
    ButtonInstance(ClipEnvironment& environment, const std::shared_ptr<const MovieDefinition>& movie,
                   const ButtonDefinition& definition, const Placement& placement, int nesting);
    ~ButtonInstance() override;

    const ButtonDefinition& Definition() const { return definition_; }
    // The movie whose dictionary the definition and its sounds come from.
    const std::shared_ptr<const MovieDefinition>& Movie() const { return movie_; }
    ButtonState State() const { return state_; }
    void SetState(ButtonState state) { state_ = state; }
    // Parts in depth order; a part is drawn when its states include the current one.
    const std::vector<Part>& Parts() const { return parts_; }

    void Advance() override;

    // DisplayTarget (display_properties.cpp does the work)
    double GetDisplayNumber(DisplayProperty property) override;
    void SetDisplayNumber(DisplayProperty property, double value) override;
    std::string InstanceName() const override { return GetPlacement().name; }
    void SetInstanceName(const std::string& name) override;
    ActionTarget* ParentTimeline() override;
    std::string Url() const override;

private:
    ClipEnvironment& environment_;
    std::shared_ptr<const MovieDefinition> movie_;
    const ButtonDefinition& definition_;
    std::vector<Part> parts_;
    ButtonState state_ = ButtonState::Up;
};

}  // namespace swf
