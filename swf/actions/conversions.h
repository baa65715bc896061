#pragma once
// The script's type conversions. Behaviour that changed between player
// generations takes the movie's SWF version.

#include <cstdint>
#include <string>

#include "swf/actions/value.h"

namespace swf::actions {

// The work a conversion may do, drawn from the running script's step budget:
// walking an array element costs one unit, building text one unit per
// kBytesPerUnit bytes. When it runs dry the conversion stops early with what
// it has, and the interpreter stops the script at its next step. Without a
// budget (null) conversions are bounded by their own limits only.
class WorkBudget {
public:
    static constexpr std::size_t kBytesPerUnit = 256;
    WorkBudget() = default;
    explicit WorkBudget(std::uint64_t* units) : units_(units) {}
    // False once the budget is spent.
    bool Spend(std::uint64_t units) {
        if (units_ == nullptr) return true;
        if (*units_ < units) {
            *units_ = 0;
            return false;
        }
        *units_ -= units;
        return true;
    }
    bool SpendBytes(std::size_t bytes) { return Spend(bytes / kBytesPerUnit); }
    bool Spent() const { return units_ != nullptr && *units_ == 0; }

private:
    std::uint64_t* units_ = nullptr;
};

// Turns an object into a primitive the way scripts can redefine it (toString,
// valueOf). Returns false to keep the built-in form ("[object Object]").
class PrimitiveHook {
public:
    virtual ~PrimitiveHook() = default;
    virtual bool ToPrimitive(Object& o, bool preferString, Value& out) = 0;
};

// Numbers print as integers when whole, else with up to 15 significant digits;
// very large or small magnitudes use the exponent form ("1e+21", "1e-7").
std::string FormatNumber(double n);

// Parses decimal or "0x" hexadecimal text, ignoring surrounding white space;
// anything else is NaN.
double ParseNumber(const std::string& text, int swfVersion);

// Arrays convert through their joined text; an array met again inside itself
// (directly or through others) converts to the empty string there.
// Wrapper objects (new Number(1), new String("a")) convert through their value.
double ToNumber(const Value& v, int swfVersion, WorkBudget budget = {}, PrimitiveHook* hook = nullptr);
std::string ToString(const Value& v, int swfVersion, WorkBudget budget = {}, PrimitiveHook* hook = nullptr);
bool ToBoolean(const Value& v, int swfVersion);
// ECMAScript ToInt32: NaN and infinities become 0, others wrap modulo 2^32.
std::int32_t ToInt32(double n);
// What the TypeOf action pushes: "number", "string", "movieclip", ...
std::string TypeOf(const Value& v);

// Loose (==) and strict (===) equality.
bool LooseEquals(const Value& a, const Value& b, int swfVersion, WorkBudget budget = {});
bool StrictEquals(const Value& a, const Value& b);

// Index of an array element when the name is a canonical non-negative integer.
bool ParseArrayIndex(const std::string& name, std::size_t& index);

}  // namespace swf::actions
