#pragma once
// Builds a form from its description: creates each component by class name,
// places it on its parent, sets its properties by name, binds its handlers by
// name through the form's published table, fills the form's component
// members by name, and finally tells every component that loading is done.
// An unknown class, property or handler, a value of the wrong kind, or a
// missing picture throws FormDescriptionError naming the line.

#include <windows.h>

#include <any>
#include <string>
#include <vector>

#include "toolkit/core/form_description.h"
#include "toolkit/win/published.h"
#include "toolkit/win/picture.h"

namespace toolkit {

class TForm;

class TReader {
public:
    TReader(TForm& form, const TPublishedTable& published, HINSTANCE instance);

    // Reads the whole tree into the form; the root must describe the form's class.
    void Read(const FormNode& root);

    // The published handler named by the property's value, as an event of type E.
    template <class E>
    E Handler(const FormProperty& property) {
        std::any bound = BindHandler(property);
        if (E* handler = std::any_cast<E>(&bound)) return *handler;
        throw FormDescriptionError(property.Line, "handler " + HandlerName(property) +
                                                      " does not have the parameters of event " + property.Name);
    }

    // Loads the picture resource named by the property into `picture`.
    void LoadPicture(const FormProperty& property, TPicture& picture);
    // Loads a bitmap resource named by the property (the caller owns it).
    HBITMAP LoadBitmap(const FormProperty& property);

    HINSTANCE Instance() const { return instance_; }

private:
    std::any BindHandler(const FormProperty& property);
    static std::string HandlerName(const FormProperty& property);
    void ReadProperties(TStreamable& component, const FormNode& node);
    void ReadChildren(TComponent& parent, const FormNode& node);
    void AssignMembers(const FormNode& root);

    TForm& form_;
    const TPublishedTable& published_;
    HINSTANCE instance_;
    std::vector<TStreamable*> created_;
};

// The text of the RCDATA resource `name`; throws Exception when it is missing.
std::string LoadDescriptionResource(HINSTANCE instance, const std::string& name);

}  // namespace toolkit
