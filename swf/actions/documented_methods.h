#pragma once
// The methods the player's classes are documented to have, by class, so that
// a call to one this player lacks can be told apart from a call to a name a
// movie never defined.

#include <span>
#include <string_view>

namespace swf::actions {

struct DocumentedClass {
    std::string_view name;
    // Methods of its instances (the prototype's), and of the class itself.
    std::span<const std::string_view> methods;
    std::span<const std::string_view> statics;
};

// The classes of the player's library that this player has, with their methods.
std::span<const DocumentedClass> DocumentedClasses();

}  // namespace swf::actions
