#pragma once
// The common face of everything a movie's dictionary holds.

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace swf {

enum class CharacterKind { Shape, Font, Text, Sprite, Button, Bitmap, Morph, EditText, Sound, Video };

struct Character {
    virtual ~Character() = default;
    virtual CharacterKind Kind() const = 0;
    std::uint16_t id = 0;
};

using Dictionary = std::unordered_map<std::uint16_t, std::shared_ptr<const Character>>;

// The character with that id when it is of type T, else nullptr.
template <typename T>
const T* FindCharacter(const Dictionary& dictionary, std::uint16_t id) {
    const auto it = dictionary.find(id);
    if (it == dictionary.end() || it->second->Kind() != T::kKind) return nullptr;
    return static_cast<const T*>(it->second.get());
}

}  // namespace swf
