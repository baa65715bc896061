#pragma once
// Script values and objects. Objects live in the VM's heap and are referred to
// by plain pointers; the heap frees unreachable ones between action blocks.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace swf {
class ActionTarget;
class DisplayTarget;
}  // namespace swf

namespace swf::actions {

struct Object;

enum class ValueType : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

// Sixteen bytes: the type and one payload. Text is counted by reference
// without atomics: values belong to the thread that runs the scripts.
class Value {
public:
    Value() = default;  // undefined
    Value(const Value& other) : type_(other.type_) { CopyPayload(other); }
    Value(Value&& other) noexcept : type_(other.type_) { TakePayload(other); }
    Value& operator=(const Value& other) {
        if (this != &other) {
            if (other.type_ == ValueType::String) ++other.payload_.text->references;
            Release();
            type_ = other.type_;
            TakeBits(other);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            Release();
            type_ = other.type_;
            TakePayload(other);
        }
        return *this;
    }
    ~Value() { Release(); }

    static Value Null() {
        Value v;
        v.type_ = ValueType::Null;
        return v;
    }
    static Value Bool(bool b) {
        Value v;
        v.type_ = ValueType::Boolean;
        v.payload_.flag = b;
        return v;
    }
    static Value Number(double n) {
        Value v;
        v.type_ = ValueType::Number;
        v.payload_.number = n;
        return v;
    }
    // Text is shared between copies: a value copied into many slots holds
    // its characters once.
    static Value String(std::string s) {
        Value v;
        v.type_ = ValueType::String;
        v.payload_.text = new Text{std::move(s), 1};
        return v;
    }
    static Value Obj(Object* o) {
        if (!o) return Null();
        Value v;
        v.type_ = ValueType::Object;
        v.payload_.object = o;
        return v;
    }

    ValueType type() const { return type_; }
    bool IsUndefined() const { return type_ == ValueType::Undefined; }
    bool IsNull() const { return type_ == ValueType::Null; }
    bool IsBool() const { return type_ == ValueType::Boolean; }
    bool IsNumber() const { return type_ == ValueType::Number; }
    bool IsString() const { return type_ == ValueType::String; }
    bool IsObject() const { return type_ == ValueType::Object; }

    // Each reads its own type; any other type gives false, 0, "" or null.
    bool AsBool() const { return type_ == ValueType::Boolean && payload_.flag; }
    double AsNumber() const { return type_ == ValueType::Number ? payload_.number : 0; }
    const std::string& AsString() const { return type_ == ValueType::String ? payload_.text->text : EmptyText(); }
    // Where the characters live, so that memory counts can tell shared text apart.
    const void* TextIdentity() const { return type_ == ValueType::String ? payload_.text : nullptr; }
    Object* AsObject() const { return type_ == ValueType::Object ? payload_.object : nullptr; }

private:
    struct Text {
        std::string text;
        std::uint32_t references;
    };

    void CopyPayload(const Value& other) {
        if (type_ == ValueType::String) ++other.payload_.text->references;
        TakeBits(other);
    }
    void TakePayload(Value& other) {
        TakeBits(other);
        other.type_ = ValueType::Undefined;
    }
    // The payload's bytes, whichever member holds them.
    void TakeBits(const Value& other) { std::memcpy(&payload_, &other.payload_, sizeof payload_); }
    void Release() {
        if (type_ == ValueType::String && --payload_.text->references == 0) delete payload_.text;
    }

    static const std::string& EmptyText() {
        static const std::string empty;
        return empty;
    }

    ValueType type_ = ValueType::Undefined;
    union Payload {
        bool flag;
        double number;
        Object* object;
        Text* text;
    } payload_{.number = 0};
};

static_assert(sizeof(Value) == 16, "values are copied by the million: keep them small");

// Super: what `super` names inside a method (see Object::superThis).
enum class ObjectKind { Plain, Array, Function, Clip, Super };

// Property attributes, numbered as ASSetPropFlags numbers them.
enum PropertyFlags : std::uint8_t { kDontEnum = 1, kDontDelete = 2, kReadOnly = 4 };

struct CallContext;
using NativeFunction = Value (*)(CallContext& call);

// The body and captured environment of a function defined by script.
struct ScriptFunction {
    std::string name;
    std::vector<std::uint8_t> body;
    std::vector<std::string> params;
    std::vector<std::uint8_t> paramRegisters;  // DefineFunction2: 0 = plain local
    bool isFunction2 = false;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    // Whether "arguments" can be named in the body (its code or its constants
    // mention it): without that no call needs to make the arguments object.
    bool namesArguments = true;
    std::shared_ptr<const std::vector<Value>> constants;
    std::vector<Object*> scope;  // activation objects visible where it was defined
    Object* clip = nullptr;      // the timeline it was defined on
};

struct Property {
    std::string name;
    Value value;
    std::uint8_t flags = 0;
    // addProperty: reads and writes go through these functions instead of `value`.
    Object* getter = nullptr;
    Object* setter = nullptr;
};

// An object's named members in insertion order, found by a hash of the
// case-folded name once there are more than a few: an object holding tens of
// thousands of loaded variables must not be searched member by member.
class PropertyTable {
public:
    // The first member with that name (exactly, or ignoring ASCII case), or null.
    Property* Find(const std::string& name, bool ignoreCase);
    // Appends without looking for an existing member of that name.
    Property& push_back(Property property);
    // Removes the first member with that name; false when there was none.
    bool Remove(const std::string& name, bool ignoreCase);
    void clear();

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    Property& back() { return items_.back(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    // Below this many members a walk is as quick as hashing.
    static constexpr std::size_t kIndexFrom = 8;

    void Index(std::uint32_t position);
    void Reindex();
    std::size_t Position(const std::string& name, bool ignoreCase) const;

    std::vector<Property> items_;
    // Hash of the ASCII-lower-cased name -> positions, ascending.
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> index_;
};

// Native state a built-in class keeps with one of its objects (a bitmap's
// pixels): freed with the object, its bytes counted with the script memory.
struct ObjectPayload {
    virtual ~ObjectPayload() = default;
    virtual std::size_t Bytes() const = 0;
};

// watch(): writes to `name` pass through `callback` first.
struct Watch {
    std::string name;
    Object* callback = nullptr;
    Value userData;
};

struct Object {
    explicit Object(ObjectKind k) : kind(k) {}

    ObjectKind kind;
    PropertyTable properties;
    std::vector<Value> elements;  // arrays only
    Object* proto = nullptr;
    std::shared_ptr<const ScriptFunction> script;  // scripted functions
    NativeFunction native = nullptr;               // built-in functions
    // Display objects (kind Clip): what the script object stands for, and its
    // timeline face when it has one (movie clips). Null once the object is gone.
    DisplayTarget* display = nullptr;
    ActionTarget* target = nullptr;
    // Prototypes declared by ImplementsOp on a class's prototype (instanceof follows them).
    std::vector<Object*> interfaces;
    std::vector<Watch> watches;
    // The wrapped value of Number, String, Boolean and Date objects.
    Value primitive;
    // Super objects: the `this` of the method that named `super`, and the
    // prototype holding that method (its __proto__ is where super looks).
    Value superThis;
    Object* superHome = nullptr;
    // Slots built-in classes keep for themselves (a loader's listeners, byte
    // counts): scripts neither see nor enumerate them.
    std::vector<std::pair<std::string, Value>> internals;
    std::unique_ptr<ObjectPayload> payload;
    bool marked = false;

    // Names compare exactly, or ignoring ASCII case (movies of version 6 and below).
    Property* FindProperty(const std::string& name, bool ignoreCase = false);
    // An array's `length` or the element a numeric name gives; false for
    // other objects and names.
    bool FindElement(const std::string& name, Value& out) const;
    Value* Find(const std::string& name, bool ignoreCase = false);
    // Stores a plain value, keeping the slot's attributes (not its accessors).
    void Set(const std::string& name, Value value, bool ignoreCase = false);
    // Adds or replaces with the given attributes.
    void Define(const std::string& name, Value value, std::uint8_t flags);
    bool Remove(const std::string& name, bool ignoreCase = false);
    Value* FindInternal(const std::string& name);
    void SetInternal(const std::string& name, Value value);
};

bool NamesEqualIgnoringCase(const std::string& a, const std::string& b);
// Inline: member lookups compare names more than anything else. The first
// characters settle most pairs of the short names scripts use.
inline bool NamesEqual(const std::string& a, const std::string& b, bool ignoreCase) {
    if (ignoreCase) return NamesEqualIgnoringCase(a, b);
    return a.size() == b.size() && (a.empty() || (a[0] == b[0] && a.compare(b) == 0));
}

}  // namespace swf::actions
