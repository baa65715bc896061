#include "toolkit/win/form_reader.h"

#include "toolkit/win/component_registry.h"
#include "toolkit/win/form.h"
#include "toolkit/win/property_values.h"

namespace toolkit {

TReader::TReader(TForm& form, const TPublishedTable& published, HINSTANCE instance)
    : form_(form), published_(published), instance_(instance) {}

void TReader::Read(const FormNode& root) {
    if (root.ClassName != form_.ClassName()) {
        throw FormDescriptionError(root.Line,
                                   "the description is of class " + root.ClassName + ", not " + form_.ClassName());
    }
    form_.Name = root.Name;
    ReadProperties(form_, root);
    ReadChildren(form_, root);
    AssignMembers(root);
    for (TStreamable* component : created_) component->Loaded();
    form_.Loaded();
}

void TReader::ReadProperties(TStreamable& component, const FormNode& node) {
    for (const FormProperty& property : node.Properties) {
        if (!component.SetProperty(property, *this)) {
            throw FormDescriptionError(property.Line, node.ClassName + " has no property " + property.Name);
        }
    }
}

void TReader::ReadChildren(TComponent& parent, const FormNode& node) {
    for (const FormNode& child : node.Children) {
        // The form's own member classes first, then the toolkit's.
        const TComponentFactory* factory = nullptr;
        if (const auto* field = published_.FindFieldClass(child.ClassName)) factory = &field->Create;
        if (!factory) factory = FindComponentClass(child.ClassName);
        if (!factory) throw FormDescriptionError(child.Line, "unknown class " + child.ClassName);

        TStreamable* component = (*factory)(&form_);
        component->Name = child.Name;
        created_.push_back(component);
        if (auto* control = dynamic_cast<TControl*>(component)) {
            auto* container = dynamic_cast<TWinControl*>(&parent);
            if (!container) {
                throw FormDescriptionError(child.Line, child.Name + " cannot be placed on " + parent.Name);
            }
            control->SetParent(container);
        }
        ReadProperties(*component, child);
        ReadChildren(*component, child);
    }
}

void TReader::AssignMembers(const FormNode& root) {
    for (const TPublishedTable::Field& field : published_.Fields) {
        TComponent* found = nullptr;
        for (TComponent* component : form_.Components()) {
            if (component->Name == field.Name) found = component;
        }
        if (!found) throw FormDescriptionError(root.Line, "component " + field.Name + " is missing");
        if (!field.Assign(form_, found)) {
            const FormNode* node = root.FindComponent(field.Name);
            throw FormDescriptionError(node ? node->Line : root.Line,
                                       "component " + field.Name + " is not of class " + field.ClassName);
        }
    }
}

std::string TReader::HandlerName(const FormProperty& property) { return IdentifierValue(property); }

std::any TReader::BindHandler(const FormProperty& property) {
    const std::string& name = HandlerName(property);
    const TPublishedTable::Method* method = published_.FindMethod(name);
    if (!method) throw FormDescriptionError(property.Line, "unknown handler " + name);
    return method->Bind(form_);
}

void TReader::LoadPicture(const FormProperty& property, TPicture& picture) {
    const FormPicture& value = PictureValue(property);
    try {
        if (value.Kind == FormPictureKind::Icon) {
            picture.AssignIcon(TPicture::LoadIconResource(instance_, value.ResourceName));
        } else {
            picture.AssignBitmap(TPicture::LoadBitmapResource(instance_, value.ResourceName));
        }
    } catch (const FormDescriptionError&) {
        throw;
    } catch (const Exception& e) {
        throw FormDescriptionError(property.Line, e.Message());
    }
}

HBITMAP TReader::LoadBitmap(const FormProperty& property) {
    const FormPicture& value = PictureValue(property);
    if (value.Kind != FormPictureKind::Bitmap) InvalidPropertyValue(property, "expected a bitmap");
    try {
        return TPicture::LoadBitmapResource(instance_, value.ResourceName);
    } catch (const FormDescriptionError&) {
        throw;
    } catch (const Exception& e) {
        throw FormDescriptionError(property.Line, e.Message());
    }
}

std::string LoadDescriptionResource(HINSTANCE instance, const std::string& name) {
    HRSRC resource = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw Exception("Resource " + name + " not found");
    return std::string(static_cast<const char*>(data), SizeofResource(instance, resource));
}

}  // namespace toolkit
