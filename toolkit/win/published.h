#pragma once
// What a form class publishes to the description reader, once per class: its
// component members (name -> member pointer, with the member's class) and its
// event handlers (name -> member function).
//
//   static const toolkit::TPublishedTable& Published() {
//       static const toolkit::TPublishedTable table = toolkit::TPublisher<TMyForm>()
//           .Field("OkButton", &TMyForm::OkButton)
//           .Method("OkButtonClick", &TMyForm::OkButtonClick)
//           .Table();
//       return table;
//   }

#include <any>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/win/control.h"

namespace toolkit {

class TForm;

struct TPublishedTable {
    struct Field {
        std::string Name;
        std::string ClassName;
        std::function<TStreamable*(TComponent* owner)> Create;
        // False when the component is not of the member's class.
        std::function<bool(TForm& form, TComponent* component)> Assign;
    };
    struct Method {
        std::string Name;
        // The handler bound to the form, as a std::function of its own signature.
        std::function<std::any(TForm& form)> Bind;
    };

    std::vector<Field> Fields;
    std::vector<Method> Methods;

    const Field* FindFieldClass(const std::string& className) const {
        for (const Field& field : Fields) {
            if (field.ClassName == className) return &field;
        }
        return nullptr;
    }
    const Method* FindMethod(const std::string& name) const {
        for (const Method& method : Methods) {
            if (method.Name == name) return &method;
        }
        return nullptr;
    }
};

// Builds the table of form class F. Component classes name themselves with a
// static kClassName and are constructed from their owner.
template <class F>
class TPublisher {
public:
    template <class C>
    TPublisher& Field(const char* name, C* F::*member) {
        table_.Fields.push_back({name, C::kClassName, [](TComponent* owner) -> TStreamable* { return new C(owner); },
                                 [member](TForm& form, TComponent* component) {
                                     C* typed = dynamic_cast<C*>(component);
                                     if (!typed) return false;
                                     static_cast<F&>(form).*member = typed;
                                     return true;
                                 }});
        return *this;
    }

    template <class... Args>
    TPublisher& Method(const char* name, void (F::*method)(Args...)) {
        table_.Methods.push_back({name, [method](TForm& form) -> std::any {
                                      F* self = &static_cast<F&>(form);
                                      return std::function<void(Args...)>([self, method](Args... args) {
                                          (self->*method)(std::forward<Args>(args)...);
                                      });
                                  }});
        return *this;
    }

    TPublishedTable Table() const { return table_; }

private:
    TPublishedTable table_;
};

}  // namespace toolkit
