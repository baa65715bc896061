// Array: the constructor, the prototype methods and the sort options.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

// Arrays grow only this far through their methods.
constexpr std::size_t kMaxElements = 1u << 20;

enum SortOptions : int {
    kCaseInsensitive = 1,
    kDescending = 2,
    kUniqueSort = 4,
    kReturnIndexedArray = 8,
    kNumeric = 16,
};

Object* SelfArray(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->kind == ObjectKind::Array ? o : nullptr;
}

// Element copying is work: each element costs one step, and the array may not
// outgrow its limit.
bool Grow(CallContext& c, std::size_t from, std::size_t added) {
    if (from + added > kMaxElements) {
        c.interpreter.Fail(RunStatus::ResourceLimit);
        return false;
    }
    return c.interpreter.Budget().Spend(added);
}

// An index argument: negative counts from the end, the result lies in [0, size].
std::size_t Index(CallContext& c, std::size_t i, std::size_t size, std::size_t otherwise) {
    if (c.Arg(i).IsUndefined()) return otherwise;
    double v = ArgNumber(c, i);
    v = std::isnan(v) ? 0 : std::trunc(v);
    if (v < 0) v += static_cast<double>(size);
    if (v <= 0) return 0;
    return v >= static_cast<double>(size) ? size : static_cast<std::size_t>(v);
}

Value ArrayConstructor(CallContext& c) {
    std::vector<Value> elements;
    if (c.args.size() == 1 && c.args[0].IsNumber()) {
        double n = c.args[0].AsNumber();
        if (n >= 0 && n <= 65536) elements.resize(static_cast<std::size_t>(n));
    } else {
        elements = c.args;
    }
    // new Array(...) and super(...) from a class extending Array fill the new instance.
    Object* self = SelfArray(c);
    if (self && (c.construct || self->proto != c.interpreter.vm().arrayProto())) {
        self->elements = std::move(elements);
        return c.self;
    }
    return Value::Obj(c.interpreter.NewArray(std::move(elements)));
}

Value Push(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || !Grow(c, a->elements.size(), c.args.size())) return Value();
    for (const Value& v : c.args) a->elements.push_back(v);
    return Value::Number(static_cast<double>(a->elements.size()));
}

Value Pop(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || a->elements.empty()) return Value();
    Value v = a->elements.back();
    a->elements.pop_back();
    return v;
}

Value Shift(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || a->elements.empty() || !c.interpreter.Budget().Spend(a->elements.size())) return Value();
    Value v = a->elements.front();
    a->elements.erase(a->elements.begin());
    return v;
}

Value Unshift(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || !Grow(c, 0, a->elements.size() + c.args.size())) return Value();
    a->elements.insert(a->elements.begin(), c.args.begin(), c.args.end());
    return Value::Number(static_cast<double>(a->elements.size()));
}

// splice(start, deleteCount, items...): returns the removed elements.
Value Splice(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a || c.args.empty()) return Value();
    std::size_t size = a->elements.size();
    std::size_t start = Index(c, 0, size, 0);
    std::size_t count = size - start;
    if (!c.Arg(1).IsUndefined()) {
        double n = ArgNumber(c, 1);
        count = std::isnan(n) || n <= 0 ? 0 : std::min(count, static_cast<std::size_t>(std::min(n, 1e9)));
    }
    std::size_t inserted = c.args.size() > 2 ? c.args.size() - 2 : 0;
    if (!Grow(c, 0, size + inserted)) return Value();
    auto first = a->elements.begin() + static_cast<std::ptrdiff_t>(start);
    std::vector<Value> removed(first, first + static_cast<std::ptrdiff_t>(count));
    a->elements.erase(first, first + static_cast<std::ptrdiff_t>(count));
    if (inserted)
        a->elements.insert(a->elements.begin() + static_cast<std::ptrdiff_t>(start), c.args.begin() + 2, c.args.end());
    return Value::Obj(c.interpreter.NewArray(std::move(removed)));
}

Value Slice(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::size_t size = a->elements.size();
    std::size_t from = Index(c, 0, size, 0), to = Index(c, 1, size, size);
    std::vector<Value> part;
    if (to > from && Grow(c, 0, to - from))
        part.assign(a->elements.begin() + static_cast<std::ptrdiff_t>(from),
                    a->elements.begin() + static_cast<std::ptrdiff_t>(to));
    return Value::Obj(c.interpreter.NewArray(std::move(part)));
}

// concat(values...): array arguments add their elements, others themselves.
Value Concat(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::vector<Value> out = a->elements;
    for (const Value& v : c.args) {
        Object* other = v.AsObject();
        std::size_t n = other && other->kind == ObjectKind::Array ? other->elements.size() : 1;
        if (!Grow(c, out.size(), n)) break;
        if (other && other->kind == ObjectKind::Array)
            out.insert(out.end(), other->elements.begin(), other->elements.end());
        else
            out.push_back(v);
    }
    return Value::Obj(c.interpreter.NewArray(std::move(out)));
}

Value Join(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::string separator = c.Arg(0).IsUndefined() ? "," : ArgText(c, 0);
    std::string out;
    for (std::size_t i = 0; i < a->elements.size(); ++i) {
        if (!c.interpreter.Budget().Spend(1) || !c.interpreter.ok()) break;
        if (i) out += separator;
        const Value& e = a->elements[i];
        if (!e.IsUndefined() && !e.IsNull()) out += c.interpreter.Text(e);
        if (out.size() > c.interpreter.vm().limits().maxStringLength) break;
    }
    return c.interpreter.MakeString(std::move(out));
}

Value ToStringMethod(CallContext& c) {
    std::vector<Value> none;
    CallContext join{c.interpreter, c.self, none};
    return Join(join);
}

Value Reverse(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::reverse(a->elements.begin(), a->elements.end());
    return c.self;
}

// ---- sort and sortOn ----

struct SortKey {
    std::string field;  // sortOn only
    int options = 0;
};

class Sorter {
public:
    Sorter(CallContext& c, Value comparator, std::vector<SortKey> keys)
        : c_(c), comparator_(std::move(comparator)), keys_(std::move(keys)) {}

    // Negative, zero or positive as a sorts before, with or after b.
    int Compare(const Value& a, const Value& b) {
        if (!c_.interpreter.Budget().Spend(1)) return 0;
        if (comparator_.IsObject()) {
            double r = c_.interpreter.Number(c_.interpreter.Call(comparator_, Value(), {a, b}));
            int order = r < 0 ? -1 : r > 0 ? 1 : 0;
            return (keys_[0].options & kDescending) ? -order : order;
        }
        for (const SortKey& key : keys_) {
            int order = key.field.empty() ? CompareValues(a, b, key.options)
                                          : CompareValues(c_.interpreter.GetMember(a, key.field),
                                                          c_.interpreter.GetMember(b, key.field), key.options);
            if (order) return (key.options & kDescending) ? -order : order;
        }
        return 0;
    }

    // A stable merge sort of positions: any comparator, however inconsistent,
    // leaves a permutation.
    std::vector<std::size_t> Order(const std::vector<Value>& values) {
        std::vector<std::size_t> order(values.size()), scratch(values.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        for (std::size_t width = 1; width < order.size() && c_.interpreter.ok(); width *= 2) {
            for (std::size_t lo = 0; lo < order.size(); lo += 2 * width) {
                std::size_t mid = std::min(lo + width, order.size()), hi = std::min(lo + 2 * width, order.size());
                std::size_t i = lo, j = mid, k = lo;
                while (i < mid && j < hi) {
                    bool takeRight = c_.interpreter.ok() && Compare(values[order[j]], values[order[i]]) < 0;
                    scratch[k++] = takeRight ? order[j++] : order[i++];
                }
                while (i < mid) scratch[k++] = order[i++];
                while (j < hi) scratch[k++] = order[j++];
            }
            order.swap(scratch);
        }
        return order;
    }

private:
    int CompareValues(const Value& a, const Value& b, int options) {
        // Undefined sorts after everything else.
        if (a.IsUndefined() || b.IsUndefined()) return a.IsUndefined() - b.IsUndefined();
        if (options & kNumeric) {
            double x = c_.interpreter.Number(a), y = c_.interpreter.Number(b);
            if (std::isnan(x) || std::isnan(y)) return std::isnan(x) - std::isnan(y);
            return x < y ? -1 : x > y ? 1 : 0;
        }
        std::string x = c_.interpreter.Text(a), y = c_.interpreter.Text(b);
        if (options & kCaseInsensitive) {
            for (char& ch : x) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            for (char& ch : y) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        return x.compare(y) < 0 ? -1 : x == y ? 0 : 1;
    }

    CallContext& c_;
    Value comparator_;
    std::vector<SortKey> keys_;
};

// Shared by sort and sortOn once the keys are known.
Value SortBy(CallContext& c, Object* a, Value comparator, std::vector<SortKey> keys) {
    int options = keys[0].options;
    std::vector<Value> values = a->elements;
    Sorter sorter(c, std::move(comparator), std::move(keys));
    std::vector<std::size_t> order = sorter.Order(values);
    if (!c.interpreter.ok()) return Value();
    if (options & kUniqueSort) {
        for (std::size_t i = 1; i < order.size(); ++i)
            if (sorter.Compare(values[order[i - 1]], values[order[i]]) == 0) return Value::Number(0);
    }
    if (options & kReturnIndexedArray) {
        std::vector<Value> indices;
        for (std::size_t i : order) indices.push_back(Value::Number(static_cast<double>(i)));
        return Value::Obj(c.interpreter.NewArray(std::move(indices)));
    }
    a->elements.clear();
    for (std::size_t i : order) a->elements.push_back(values[i]);
    return c.self;
}

// sort(), sort(options), sort(compareFunction), sort(compareFunction, options).
Value Sort(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    Value comparator;
    std::size_t optionArg = 0;
    if (Object* f = c.Arg(0).AsObject(); f && f->kind == ObjectKind::Function) {
        comparator = c.Arg(0);
        optionArg = 1;
    }
    int options = c.Arg(optionArg).IsUndefined() ? 0 : ToInt32(ArgNumber(c, optionArg));
    return SortBy(c, a, std::move(comparator), {SortKey{"", options}});
}

// sortOn(field or [fields], options or [options per field]).
Value SortOn(CallContext& c) {
    Object* a = SelfArray(c);
    if (!a) return Value();
    std::vector<SortKey> keys;
    if (Object* fields = c.Arg(0).AsObject(); fields && fields->kind == ObjectKind::Array) {
        for (const Value& f : fields->elements) keys.push_back({c.interpreter.Text(f), 0});
    } else {
        keys.push_back({ArgText(c, 0), 0});
    }
    if (keys.empty()) return c.self;
    if (Object* options = c.Arg(1).AsObject(); options && options->kind == ObjectKind::Array) {
        for (std::size_t i = 0; i < keys.size() && i < options->elements.size(); ++i)
            keys[i].options = ToInt32(c.interpreter.Number(options->elements[i]));
    } else if (!c.Arg(1).IsUndefined()) {
        int options = ToInt32(ArgNumber(c, 1));
        for (SortKey& k : keys) k.options = options;
    }
    return SortBy(c, a, Value(), std::move(keys));
}

}  // namespace

void InstallArrayBuiltins(Installer& in) {
    Object* proto = in.vm().arrayProto();
    Object* ctor = in.Class("Array", ArrayConstructor, proto);
    in.Constant(ctor, "CASEINSENSITIVE", Value::Number(kCaseInsensitive));
    in.Constant(ctor, "DESCENDING", Value::Number(kDescending));
    in.Constant(ctor, "UNIQUESORT", Value::Number(kUniqueSort));
    in.Constant(ctor, "RETURNINDEXEDARRAY", Value::Number(kReturnIndexedArray));
    in.Constant(ctor, "NUMERIC", Value::Number(kNumeric));
    in.Method(proto, "push", Push);
    in.Method(proto, "pop", Pop);
    in.Method(proto, "shift", Shift);
    in.Method(proto, "unshift", Unshift);
    in.Method(proto, "splice", Splice);
    in.Method(proto, "slice", Slice);
    in.Method(proto, "concat", Concat);
    in.Method(proto, "join", Join);
    in.Method(proto, "toString", ToStringMethod);
    in.Method(proto, "reverse", Reverse);
    in.Method(proto, "sort", Sort);
    in.Method(proto, "sortOn", SortOn);
}

}  // namespace swf::actions
