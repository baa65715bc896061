#pragma once
// Typed access to the values of a form description's properties. Every
// mismatch throws FormDescriptionError naming the property's line.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/core/form_description.h"
#include "toolkit/win/events.h"
#include "toolkit/win/graphics.h"

namespace toolkit {

[[noreturn]] void InvalidPropertyValue(const FormProperty& property, const std::string& why);

std::int32_t IntegerValue(const FormProperty& property);
bool BooleanValue(const FormProperty& property);
const std::string& StringValue(const FormProperty& property);
const std::string& IdentifierValue(const FormProperty& property);
const std::vector<std::string>& SetValue(const FormProperty& property);
const std::vector<std::uint8_t>& BinaryValue(const FormProperty& property);
const FormPicture& PictureValue(const FormProperty& property);
// A colour name (clBtnFace) or a number ($000100FE).
TColor ColorValue(const FormProperty& property);
// A cursor name (crSizeWE) or a number.
TCursor CursorValue(const FormProperty& property);

// An identifier out of a fixed list.
template <class E>
E EnumValue(const FormProperty& property, std::initializer_list<std::pair<const char*, E>> names) {
    const std::string& name = IdentifierValue(property);
    for (const auto& [text, value] : names) {
        if (name == text) return value;
    }
    InvalidPropertyValue(property, "'" + name + "' is not a valid value");
}

// A set of identifiers out of a fixed list, as bit flags.
unsigned SetFlagsValue(const FormProperty& property, std::initializer_list<std::pair<const char*, unsigned>> names);

// Font.Name, Font.Height, Font.Size, Font.Style, Font.Charset, Font.Color;
// false for any other property.
bool SetFontProperty(TFont& font, const FormProperty& property);

}  // namespace toolkit
