#include "swf/video/amf0.h"

#include <algorithm>
#include <bit>

namespace swf::video {

std::optional<double> AmfValue::Number() const {
    if (const double* number = As<double>()) return *number;
    return std::nullopt;
}

const std::vector<AmfMember>* AmfValue::Members() const {
    if (const auto* object = As<AmfObject>()) return &object->members;
    if (const auto* array = As<AmfEcmaArray>()) return &array->members;
    return nullptr;
}

const AmfValue* AmfValue::Find(std::string_view name) const {
    if (const auto* members = Members()) {
        for (const AmfMember& member : *members) {
            if (member.name == name) return &member.value;
        }
    }
    return nullptr;
}

namespace {

enum Marker : std::uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kMovieClip = 0x04,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kUnsupported = 0x0D,
    kRecordSet = 0x0E,
    kXmlDocument = 0x0F,
    kTypedObject = 0x10,
    kAvmPlus = 0x11,
};

// Objects, typed objects, ECMA arrays and strict arrays get a reference
// index in the order they begin. A reference is resolved by reading the
// referenced bytes again, so that nothing is copied up front and each copy
// is charged to the budget like any other value.
struct ComplexRange {
    std::size_t begin = 0;
    std::size_t end = 0;  // 0 while it is still being read
};

class Amf0Reader {
public:
    Amf0Reader(std::span<const std::uint8_t> data, std::size_t offset, const AmfLimits& limits)
        : data_(data), pos_(offset), limits_(limits) {}

    bool Value(AmfValue& out, int depth);
    std::size_t position() const { return pos_; }
    const std::string& problem() const { return problem_; }

private:
    bool Fail(std::string message);
    bool Need(std::size_t count, const char* what);
    bool Charge(std::size_t elements, std::size_t textBytes);
    std::uint16_t U16();
    std::uint32_t U32();
    double Double();
    bool Text(std::size_t length, std::string& out, const char* what);
    bool ShortText(std::string& out, const char* what);
    bool Members(std::vector<AmfMember>& out, int depth, bool endMayBeMissing, std::uint32_t count);
    bool Complex(std::uint8_t marker, AmfValue& out, int depth);
    bool Elements(AmfStrictArray& out, int depth);
    bool Reference(AmfValue& out, int depth);

    std::span<const std::uint8_t> data_;
    std::size_t pos_;
    const AmfLimits& limits_;
    std::size_t elements_ = 0;
    std::size_t textBytes_ = 0;
    std::vector<ComplexRange> complex_;
    int replaying_ = 0;  // inside a reference's second reading: add no new indexes
    std::string problem_;
};

bool Amf0Reader::Fail(std::string message) {
    if (problem_.empty()) problem_ = std::move(message) + " at byte " + std::to_string(pos_);
    return false;
}

bool Amf0Reader::Need(std::size_t count, const char* what) {
    if (data_.size() - pos_ >= count) return true;
    return Fail(std::string(what) + " runs past the end of the data (" + std::to_string(count) + " bytes needed, " +
                std::to_string(data_.size() - pos_) + " left)");
}

bool Amf0Reader::Charge(std::size_t elements, std::size_t textBytes) {
    elements_ += elements;
    textBytes_ += textBytes;
    if (elements_ > limits_.elements) return Fail("more than " + std::to_string(limits_.elements) + " values");
    if (textBytes_ > limits_.textBytes)
        return Fail("more than " + std::to_string(limits_.textBytes) + " bytes of text");
    return true;
}

std::uint16_t Amf0Reader::U16() {
    const std::uint16_t value = static_cast<std::uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
    pos_ += 2;
    return value;
}

std::uint32_t Amf0Reader::U32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | data_[pos_ + i];
    pos_ += 4;
    return value;
}

double Amf0Reader::Double() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | data_[pos_ + i];
    pos_ += 8;
    return std::bit_cast<double>(bits);
}

bool Amf0Reader::Text(std::size_t length, std::string& out, const char* what) {
    if (!Need(length, what) || !Charge(0, length)) return false;
    out.assign(reinterpret_cast<const char*>(data_.data() + pos_), length);
    pos_ += length;
    return true;
}

bool Amf0Reader::ShortText(std::string& out, const char* what) {
    if (!Need(2, what)) return false;
    return Text(U16(), out, what);
}

bool Amf0Reader::Value(AmfValue& out, int depth) {
    if (!Need(1, "a type marker") || !Charge(1, 0)) return false;
    const std::uint8_t marker = data_[pos_++];
    switch (marker) {
    case kNumber:
        if (!Need(8, "a number")) return false;
        out = Double();
        return true;
    case kBoolean:
        if (!Need(1, "a boolean")) return false;
        out = data_[pos_++] != 0;
        return true;
    case kString:
    case kLongString:
    case kXmlDocument: {
        std::string text;
        const std::size_t lengthBytes = marker == kString ? 2 : 4;
        if (!Need(lengthBytes, "a string's length")) return false;
        const std::size_t length = marker == kString ? U16() : U32();
        if (!Text(length, text, "a string")) return false;
        out = std::move(text);
        return true;
    }
    case kNull: out = AmfNull{}; return true;
    case kUndefined:
    case kUnsupported: out = AmfUndefined{}; return true;
    case kDate: {
        if (!Need(10, "a date")) return false;
        AmfDate date;
        date.milliseconds = Double();
        date.timezone = static_cast<std::int16_t>(U16());
        out = date;
        return true;
    }
    case kReference: return Reference(out, depth);
    case kObject:
    case kTypedObject:
    case kEcmaArray:
    case kStrictArray: return Complex(marker, out, depth);
    case kObjectEnd: --pos_; return Fail("an object end marker outside an object");
    case kMovieClip:
    case kRecordSet:
    case kAvmPlus:
    default: --pos_; return Fail("unsupported type marker " + std::to_string(marker));
    }
}

bool Amf0Reader::Complex(std::uint8_t marker, AmfValue& out, int depth) {
    if (depth >= limits_.depth) {
        --pos_;
        return Fail("values nested more than " + std::to_string(limits_.depth) + " deep");
    }
    const std::size_t index = complex_.size();
    if (replaying_ == 0) complex_.push_back({pos_ - 1, 0});
    bool ok = false;
    if (marker == kStrictArray) {
        AmfStrictArray array;
        ok = Elements(array, depth + 1);
        if (ok) out = std::move(array);
    } else if (marker == kEcmaArray) {
        AmfEcmaArray array;
        // The count is only a hint: the members run to the end marker, which
        // some writers leave out after the last member of the data.
        ok = Need(4, "an ECMA array's count");
        if (ok) ok = Members(array.members, depth + 1, true, U32());
        if (ok) out = std::move(array);
    } else {
        AmfObject object;
        ok = marker != kTypedObject || ShortText(object.className, "a class name");
        if (ok) ok = Members(object.members, depth + 1, false, 0);
        if (ok) out = std::move(object);
    }
    if (ok && replaying_ == 0) complex_[index].end = pos_;
    return ok;
}

bool Amf0Reader::Members(std::vector<AmfMember>& out, int depth, bool endMayBeMissing, std::uint32_t count) {
    for (;;) {
        if (endMayBeMissing && pos_ == data_.size() && out.size() >= count) return true;
        if (!Need(2, "a member name")) return false;
        const std::size_t length = U16();
        if (length == 0) {
            if (!Need(1, "an object end marker")) return false;
            if (data_[pos_] != kObjectEnd) return Fail("an empty member name without an object end marker");
            ++pos_;
            return true;
        }
        AmfMember member;
        if (!Text(length, member.name, "a member name") || !Value(member.value, depth)) return false;
        out.push_back(std::move(member));
    }
}

bool Amf0Reader::Elements(AmfStrictArray& out, int depth) {
    if (!Need(4, "a strict array's count")) return false;
    const std::uint32_t count = U32();
    // Every element takes a byte at least: a count beyond the data is not
    // believed before the elements are there.
    if (count > data_.size() - pos_)
        return Fail("a strict array of " + std::to_string(count) + " elements runs past the end of the data");
    out.elements.reserve(std::min<std::size_t>(count, 1024));
    for (std::uint32_t i = 0; i < count; ++i) {
        out.elements.emplace_back();
        if (!Value(out.elements.back(), depth)) return false;
    }
    return true;
}

bool Amf0Reader::Reference(AmfValue& out, int depth) {
    if (!Need(2, "a reference")) return false;
    const std::size_t index = U16();
    if (index >= complex_.size())
        return Fail("a reference to object " + std::to_string(index) + " of " + std::to_string(complex_.size()));
    const ComplexRange range = complex_[index];
    if (range.end == 0) return Fail("a reference to object " + std::to_string(index) + ", which contains it");
    const std::size_t resume = pos_;
    pos_ = range.begin;
    ++replaying_;
    const bool ok = Value(out, depth);
    --replaying_;
    if (ok) pos_ = resume;
    return ok;
}

}  // namespace

std::optional<AmfValue> ReadAmf0(std::span<const std::uint8_t> data, std::size_t& offset, std::string* problem,
                                 const AmfLimits& limits) {
    Amf0Reader reader(data, std::min(offset, data.size()), limits);
    AmfValue value;
    if (!reader.Value(value, 0)) {
        if (problem) *problem = reader.problem();
        return std::nullopt;
    }
    offset = reader.position();
    return value;
}

}  // namespace swf::video
