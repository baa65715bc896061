#include "toolkit/win/component_registry.h"

#include <map>

#include "toolkit/win/image.h"
#include "toolkit/win/image_list.h"
#include "toolkit/win/label.h"
#include "toolkit/win/panel.h"

namespace toolkit {

namespace {

template <class C>
std::pair<const std::string, TComponentFactory> Entry() {
    return {C::kClassName, [](TComponent* owner) -> TStreamable* { return new C(owner); }};
}

std::map<std::string, TComponentFactory>& Registry() {
    static std::map<std::string, TComponentFactory> registry{Entry<TPanel>(), Entry<TImage>(), Entry<TLabel>(),
                                                             Entry<TImageList>()};
    return registry;
}

}  // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
    Registry()[className] = std::move(factory);
}

const TComponentFactory* FindComponentClass(const std::string& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace toolkit
