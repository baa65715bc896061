#pragma once
// Reader of text form descriptions: a tree of objects, each with a name, a
// class name, ordered properties and ordered child objects.
//
//   object PlayerForm: TPlayerForm
//     Left = 234                      integer (decimal, or $hex as 32 bits)
//     Caption = 'It''s'#13#10'two'    string ('' is a quote, #n a character code,
//                                      '...' + on the next line continues it)
//     BorderStyle = bsNone            identifier (may be dotted)
//     Font.Style = [fsBold]           set of identifiers
//     ControlData = {67556655 ...}    binary data, hex digits, may span lines
//     Picture = bitmap 'TITLESTRIP'   picture resource (bitmap or icon)
//     object TitlePanel: TPanel
//     end
//   end
//
// A line whose first non-blank characters are // is a comment. Keywords
// (object, end, bitmap, icon) are lower case. Component names are unique within
// one description, and a property is given at most once per object.
// Any fault throws FormDescriptionError naming the line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "toolkit/core/exception.h"

namespace toolkit {

class FormDescriptionError : public Exception {
public:
    FormDescriptionError(int line, const std::string& what);
    int Line() const { return line_; }

private:
    int line_;
};

// A bare name such as True, alTop, clWindow or a handler name.
struct FormIdentifier {
    std::string Name;
    bool operator==(const FormIdentifier&) const = default;
};

struct FormSet {
    std::vector<std::string> Items;
    bool operator==(const FormSet&) const = default;
};

struct FormBinary {
    std::vector<std::uint8_t> Bytes;
    bool operator==(const FormBinary&) const = default;
};

enum class FormPictureKind { Bitmap, Icon };

// A picture carried as a named resource of the executable.
struct FormPicture {
    FormPictureKind Kind = FormPictureKind::Bitmap;
    std::string ResourceName;
    bool operator==(const FormPicture&) const = default;
};

// Strings are 8-bit text in the system code page.
using FormValue = std::variant<std::int32_t, std::string, FormIdentifier, FormSet, FormBinary, FormPicture>;

struct FormProperty {
    std::string Name;
    FormValue Value;
    int Line = 0;
};

struct FormNode {
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<FormProperty> Properties;
    std::vector<FormNode> Children;  // in description order, which is the painting order

    // Lookups; null when absent.
    const FormProperty* FindProperty(std::string_view name) const;
    const FormNode* FindChild(std::string_view name) const;      // direct children only
    const FormNode* FindComponent(std::string_view name) const;  // this node or any below it

    // Typed getters: throw FormDescriptionError when the property is missing
    // (naming this object's line) or of another kind (naming the property's line).
    std::int32_t Integer(std::string_view name) const;
    const std::string& String(std::string_view name) const;
    const std::string& Identifier(std::string_view name) const;
    bool Boolean(std::string_view name) const;  // the identifiers True or False
    const std::vector<std::string>& Set(std::string_view name) const;
    const std::vector<std::uint8_t>& Binary(std::string_view name) const;
    const FormPicture& Picture(std::string_view name) const;

    const FormProperty& Require(std::string_view name) const;
};

// Objects may nest at most this deep (the root object is depth 1).
inline constexpr int kMaxFormNestingDepth = 32;

// Parses a whole description: exactly one root object and nothing after it
// but blanks and comments.
FormNode ParseFormDescription(std::string_view text);

// The kind of a value in words ("an integer", "a set"...), for messages.
const char* FormValueKindName(const FormValue& value);

}  // namespace toolkit
