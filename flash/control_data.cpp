#include "flash/control_data.h"

#include <algorithm>
#include <utility>

namespace flash {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'g', 'U', 'f', 'U'};

using T = ControlValueType;
constexpr std::array<ControlValueType, kControlValueCount> kValueTypes{
    T::Text,   T::Text,    T::Text,   T::Text,    // 1-4
    T::Switch, T::Switch,  T::Text,   T::Text,    // 5-8
    T::Switch, T::Text,    T::Text,   T::Text,    // 9-12
    T::Switch, T::Switch,  T::Text,   T::Text,    // 13-16
    T::Text,   T::Block,   T::Switch, T::Switch,  // 17-20
    T::Text,   T::Integer, T::Text,   T::Text,    // 21-24
};

constexpr std::size_t kWMode = 3, kQuality = 6, kAllowScriptAccess = 10, kScale = 11, kAllowNetworking = 22,
                      kAllowFullScreen = 23;

class Writer {
public:
    void Bytes(const std::uint8_t* data, std::size_t size) { out_.insert(out_.end(), data, data + size); }
    void U16(std::uint16_t value) {
        out_.push_back(static_cast<std::uint8_t>(value));
        out_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    std::vector<std::uint8_t> Take() { return std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return pos_; }
    std::size_t Left() const { return bytes_.size() - pos_; }

    void Need(std::size_t count, const std::string& what) const {
        if (Left() < count) {
            throw ControlDataError("Control data cut short at byte " + std::to_string(bytes_.size()) + ": " + what +
                                   " needs " + std::to_string(count) + " bytes from byte " + std::to_string(pos_));
        }
    }
    std::uint16_t U16(const std::string& what) {
        Need(2, what);
        std::uint16_t value = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return value;
    }
    std::uint32_t U32(const std::string& what) {
        Need(4, what);
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | bytes_[pos_ + static_cast<std::size_t>(i)];
        pos_ += 4;
        return value;
    }
    std::span<const std::uint8_t> Take(std::size_t count, const std::string& what) {
        Need(count, what);
        auto part = bytes_.subspan(pos_, count);
        pos_ += count;
        return part;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

std::string ValueName(std::size_t index) { return "value " + std::to_string(index + 1); }

ControlValue ReadValue(Reader& reader, std::size_t index) {
    const std::string name = ValueName(index);
    std::size_t start = reader.Offset();
    std::uint16_t tag = reader.U16("the type of " + name);
    ControlValueType expected = kValueTypes[index];
    if (tag != static_cast<std::uint16_t>(expected)) {
        throw ControlDataError("Control data: " + name + " at byte " + std::to_string(start) + " has type " +
                               std::to_string(tag) + ", expected " +
                               std::to_string(static_cast<std::uint16_t>(expected)));
    }
    ControlValue value;
    value.Type = expected;
    switch (expected) {
    case ControlValueType::Integer: value.Integer = static_cast<std::int32_t>(reader.U32(name)); break;
    case ControlValueType::Switch: value.Switch = reader.U16(name); break;
    case ControlValueType::Block: {
        auto block = reader.Take(16, name);
        std::copy(block.begin(), block.end(), value.Block.begin());
        break;
    }
    case ControlValueType::Text: {
        std::uint32_t count = reader.U32("the length of " + name);
        if (count % 2 != 0) {
            throw ControlDataError("Control data: " + name + " has an odd text length of " + std::to_string(count) +
                                   " bytes");
        }
        auto text = reader.Take(count, "the text of " + name);
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            value.Text += static_cast<char16_t>(text[i] | (text[i + 1] << 8));
        }
        if (!value.Text.empty() && value.Text.back() == u'\0') {
            value.Text.pop_back();
            value.TextTerminated = true;
        }
        break;
    }
    }
    return value;
}

}  // namespace

ControlValue ControlValue::MakeText(std::u16string text, bool terminated) {
    ControlValue value;
    value.Type = ControlValueType::Text;
    value.Text = std::move(text);
    value.TextTerminated = terminated;
    return value;
}

ControlValue ControlValue::MakeSwitch(std::uint16_t stored) {
    ControlValue value;
    value.Type = ControlValueType::Switch;
    value.Switch = stored;
    return value;
}

ControlValue ControlValue::MakeInteger(std::int32_t integer) {
    ControlValue value;
    value.Type = ControlValueType::Integer;
    value.Integer = integer;
    return value;
}

ControlValue ControlValue::MakeBlock(const std::array<std::uint8_t, 16>& bytes) {
    ControlValue value;
    value.Type = ControlValueType::Block;
    value.Block = bytes;
    return value;
}

const std::u16string& ControlData::WMode() const { return Values[kWMode].Text; }
const std::u16string& ControlData::Quality() const { return Values[kQuality].Text; }
const std::u16string& ControlData::AllowScriptAccess() const { return Values[kAllowScriptAccess].Text; }
const std::u16string& ControlData::Scale() const { return Values[kScale].Text; }
const std::u16string& ControlData::AllowNetworking() const { return Values[kAllowNetworking].Text; }
const std::u16string& ControlData::AllowFullScreen() const { return Values[kAllowFullScreen].Text; }

ControlValueType ExpectedControlValueType(std::size_t index) { return kValueTypes.at(index); }

ControlData DefaultControlData() {
    // The texts before the 16-byte block (values 1 to 17) are stored with a
    // terminating zero, an empty one as a lone zero character; the three
    // after it (values 21, 23, 24) without. The first switch that is on
    // (value 9) holds the automation true 0xFFFF, value 19 holds 1.
    // That makes the block 244 bytes long.
    auto text = [](std::u16string s) { return ControlValue::MakeText(std::move(s), true); };
    auto bareText = [](std::u16string s) { return ControlValue::MakeText(std::move(s), false); };
    const ControlValue off = ControlValue::MakeSwitch(0);

    ControlData data;
    data.ExtentWidth = 25294;   // 956 pixels at 96 dpi
    data.ExtentHeight = 16801;  // 635 pixels
    data.Values = {
        text(u""),
        text(u""),
        text(u""),
        text(u"Window"),
        off,
        off,
        text(u"High"),
        text(u""),
        ControlValue::MakeSwitch(kSwitchTrue),
        text(u""),
        text(u"always"),
        text(u"ShowAll"),
        off,
        off,
        text(u""),
        text(u""),
        text(u""),
        ControlValue::MakeBlock({}),
        ControlValue::MakeSwitch(1),
        off,
        bareText(u""),
        ControlValue::MakeInteger(0),
        bareText(u"all"),
        bareText(u"false"),
    };
    return data;
}

std::vector<std::uint8_t> BuildDefaultControlData() { return SerializeControlData(DefaultControlData()); }

std::vector<std::uint8_t> SerializeControlData(const ControlData& data) {
    Writer out;
    out.Bytes(kMagic.data(), kMagic.size());
    out.U32(kControlDataMarker);
    out.U32(static_cast<std::uint32_t>(data.ExtentWidth));
    out.U32(static_cast<std::uint32_t>(data.ExtentHeight));
    for (std::size_t i = 0; i < kControlValueCount; ++i) {
        const ControlValue& value = data.Values[i];
        if (value.Type != kValueTypes[i]) {
            throw ControlDataError("Control data: " + ValueName(i) + " has the wrong type");
        }
        out.U16(static_cast<std::uint16_t>(value.Type));
        switch (value.Type) {
        case ControlValueType::Integer: out.U32(static_cast<std::uint32_t>(value.Integer)); break;
        case ControlValueType::Switch: out.U16(value.Switch); break;
        case ControlValueType::Block: out.Bytes(value.Block.data(), value.Block.size()); break;
        case ControlValueType::Text: {
            std::size_t characters = value.Text.size() + (value.TextTerminated ? 1 : 0);
            out.U32(static_cast<std::uint32_t>(characters * 2));
            for (char16_t c : value.Text) out.U16(static_cast<std::uint16_t>(c));
            if (value.TextTerminated) out.U16(0);
            break;
        }
        }
    }
    return out.Take();
}

ControlData ParseControlData(std::span<const std::uint8_t> bytes) {
    Reader reader(bytes);
    auto magic = reader.Take(kMagic.size(), "the magic");
    if (!std::equal(magic.begin(), magic.end(), kMagic.begin())) {
        throw ControlDataError("Control data does not start with \"gUfU\"");
    }
    std::uint32_t marker = reader.U32("the format marker");
    if (marker != kControlDataMarker) {
        throw ControlDataError("Control data has format marker " + std::to_string(marker) + ", expected " +
                               std::to_string(kControlDataMarker));
    }
    ControlData data;
    data.ExtentWidth = static_cast<std::int32_t>(reader.U32("the extent"));
    data.ExtentHeight = static_cast<std::int32_t>(reader.U32("the extent"));
    for (std::size_t i = 0; i < kControlValueCount; ++i) data.Values[i] = ReadValue(reader, i);
    if (reader.Left() != 0) {
        throw ControlDataError("Control data has " + std::to_string(reader.Left()) + " bytes after its last value");
    }
    return data;
}

}  // namespace flash
