#pragma once
// AMF0 values, as FLV script data tags carry them (onMetaData, onCuePoint):
// a value tree and a reader that stays bounded on hostile data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace swf::video {

class AmfValue;
struct AmfMember;

struct AmfNull {};
struct AmfUndefined {};

struct AmfDate {
    double milliseconds = 0;    // since 1970-01-01 UTC
    std::int16_t timezone = 0;  // minutes; writers put 0 here
};

// Objects and ECMA arrays keep their members in the order written. A typed
// object reads as an object with its class name.
struct AmfObject {
    std::vector<AmfMember> members;
    std::string className;
};
struct AmfEcmaArray {
    std::vector<AmfMember> members;
};
struct AmfStrictArray {
    std::vector<AmfValue> elements;
};

class AmfValue {
public:
    using Variant = std::variant<AmfUndefined, AmfNull, double, bool, std::string, AmfObject, AmfEcmaArray,
                                 AmfStrictArray, AmfDate>;

    AmfValue() = default;
    template <typename T>
    requires(!std::is_same_v<std::remove_cvref_t<T>, AmfValue> && std::is_constructible_v<Variant, T&&>)
        AmfValue(T&& value)
        : value_(std::forward<T>(value)) {}

    const Variant& variant() const { return value_; }
    template <typename T>
    bool Is() const {
        return std::holds_alternative<T>(value_);
    }
    template <typename T>
    const T* As() const {
        return std::get_if<T>(&value_);
    }

    std::optional<double> Number() const;
    // An object's or ECMA array's members; nullptr for other values.
    const std::vector<AmfMember>* Members() const;
    // The first member called `name` of an object or ECMA array.
    const AmfValue* Find(std::string_view name) const;

private:
    Variant value_;
};

struct AmfMember {
    std::string name;
    AmfValue value;
};

struct AmfLimits {
    int depth = 64;  // objects and arrays inside one another
    // Values and string bytes of one read, counting the copies references
    // make, so that a few bytes cannot grow into a huge tree.
    std::size_t elements = 1 << 18;
    std::size_t textBytes = 16 << 20;
};

// The value at `offset` in `data`, moving `offset` past it. On failure
// nothing, `offset` is left as it was and `problem` (when given) says why.
std::optional<AmfValue> ReadAmf0(std::span<const std::uint8_t> data, std::size_t& offset,
                                 std::string* problem = nullptr, const AmfLimits& limits = {});

}  // namespace swf::video
