#include "toolkit/win/property_values.h"

#include <variant>

namespace toolkit {

namespace {

template <class T>
const T& Expect(const FormProperty& property, const char* kind) {
    if (const T* value = std::get_if<T>(&property.Value)) return *value;
    InvalidPropertyValue(property, std::string("expected ") + kind + ", found " + FormValueKindName(property.Value));
}

struct NamedCursor {
    const char* name;
    TCursor value;
};

constexpr NamedCursor kCursors[] = {
    {"crDefault", crDefault},
    {"crArrow", crArrow},
    {"crCross", crCross},
    {"crIBeam", crIBeam},
    {"crSizeNESW", crSizeNESW},
    {"crSizeNS", crSizeNS},
    {"crSizeNWSE", crSizeNWSE},
    {"crSizeWE", crSizeWE},
    {"crUpArrow", crUpArrow},
    {"crHourGlass", crHourGlass},
    {"crNo", crNo},
    {"crHandPoint", crHandPoint},
    {"crSizeAll", crSizeAll},
};

}  // namespace

void InvalidPropertyValue(const FormProperty& property, const std::string& why) {
    throw FormDescriptionError(property.Line, "property " + property.Name + ": " + why);
}

std::int32_t IntegerValue(const FormProperty& property) { return Expect<std::int32_t>(property, "an integer"); }

bool BooleanValue(const FormProperty& property) {
    const std::string& name = Expect<FormIdentifier>(property, "True or False").Name;
    if (name == "True") return true;
    if (name == "False") return false;
    InvalidPropertyValue(property, "expected True or False, found " + name);
}

const std::string& StringValue(const FormProperty& property) { return Expect<std::string>(property, "a string"); }

const std::string& IdentifierValue(const FormProperty& property) {
    return Expect<FormIdentifier>(property, "an identifier").Name;
}

const std::vector<std::string>& SetValue(const FormProperty& property) {
    return Expect<FormSet>(property, "a set").Items;
}

const std::vector<std::uint8_t>& BinaryValue(const FormProperty& property) {
    return Expect<FormBinary>(property, "binary data").Bytes;
}

const FormPicture& PictureValue(const FormProperty& property) { return Expect<FormPicture>(property, "a picture"); }

TColor ColorValue(const FormProperty& property) {
    if (const auto* number = std::get_if<std::int32_t>(&property.Value)) return *number;
    const std::string& name = Expect<FormIdentifier>(property, "a colour").Name;
    if (auto color = ColorFromName(name)) return *color;
    InvalidPropertyValue(property, "'" + name + "' is not a colour");
}

TCursor CursorValue(const FormProperty& property) {
    if (const auto* number = std::get_if<std::int32_t>(&property.Value)) return *number;
    const std::string& name = Expect<FormIdentifier>(property, "a cursor").Name;
    for (const NamedCursor& cursor : kCursors) {
        if (name == cursor.name) return cursor.value;
    }
    InvalidPropertyValue(property, "'" + name + "' is not a cursor");
}

unsigned SetFlagsValue(const FormProperty& property, std::initializer_list<std::pair<const char*, unsigned>> names) {
    unsigned flags = 0;
    for (const std::string& item : SetValue(property)) {
        bool known = false;
        for (const auto& [text, value] : names) {
            if (item == text) {
                flags |= value;
                known = true;
            }
        }
        if (!known) InvalidPropertyValue(property, "'" + item + "' is not a valid set member");
    }
    return flags;
}

bool SetFontProperty(TFont& font, const FormProperty& property) {
    const std::string& name = property.Name;
    if (name == "Font.Name") {
        font.SetName(StringValue(property));
    } else if (name == "Font.Height") {
        font.SetHeight(IntegerValue(property));
    } else if (name == "Font.Size") {
        // Points at the design resolution of 96 pixels per inch.
        font.SetHeight(-MulDiv(IntegerValue(property), 96, 72));
    } else if (name == "Font.Style") {
        font.SetStyle(SetFlagsValue(
            property,
            {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}}));
    } else if (name == "Font.Charset") {
        if (const auto* number = std::get_if<std::int32_t>(&property.Value)) {
            font.SetCharset(*number);
        } else if (auto charset = CharsetFromName(IdentifierValue(property))) {
            font.SetCharset(*charset);
        } else {
            InvalidPropertyValue(property, "'" + IdentifierValue(property) + "' is not a character set");
        }
    } else if (name == "Font.Color") {
        font.SetColor(ColorValue(property));
    } else {
        return false;
    }
    return true;
}

}  // namespace toolkit
