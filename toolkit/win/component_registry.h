#pragma once
// Component classes that any description may use, created by class name.
// The toolkit's own classes are always known; a form's published members add
// their classes for that form's description.

#include <functional>
#include <string>

#include "toolkit/win/control.h"

namespace toolkit {

using TComponentFactory = std::function<TStreamable*(TComponent* owner)>;

void RegisterComponentClass(const std::string& className, TComponentFactory factory);

template <class C>
void RegisterComponentClass() {
    RegisterComponentClass(C::kClassName, [](TComponent* owner) -> TStreamable* { return new C(owner); });
}

// Null when no class of that name is registered.
const TComponentFactory* FindComponentClass(const std::string& className);

}  // namespace toolkit
