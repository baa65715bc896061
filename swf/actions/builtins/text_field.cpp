// TextField and TextFormat (and Button, the other display class without a timeline). A field's members are accessors on
// TextField.prototype (so scripts can extend or override them); they reach
// the field through its TextFieldTarget face.

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <variant>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"
#include "swf/actions/text_field_target.h"
#include "swf/actions/text_measurer.h"

namespace swf::actions {

namespace {

// How a member's value converts between script values and the field's own type.
enum class MemberType { Text, Number, Flag, Choice, NumberOrNull, TextOrNull, ReadOnlyNumber };

struct MemberInfo {
    const char* name;
    TextFieldMember member;
    MemberType type;
};

constexpr std::array<MemberInfo, 27> kMembers = {{
    {"text", TextFieldMember::Text, MemberType::Text},
    {"htmlText", TextFieldMember::HtmlText, MemberType::Text},
    {"html", TextFieldMember::Html, MemberType::Flag},
    {"textColor", TextFieldMember::TextColor, MemberType::Number},
    {"autoSize", TextFieldMember::AutoSize, MemberType::Choice},
    {"wordWrap", TextFieldMember::WordWrap, MemberType::Flag},
    {"multiline", TextFieldMember::Multiline, MemberType::Flag},
    {"selectable", TextFieldMember::Selectable, MemberType::Flag},
    {"border", TextFieldMember::Border, MemberType::Flag},
    {"borderColor", TextFieldMember::BorderColor, MemberType::Number},
    {"background", TextFieldMember::Background, MemberType::Flag},
    {"backgroundColor", TextFieldMember::BackgroundColor, MemberType::Number},
    {"embedFonts", TextFieldMember::EmbedFonts, MemberType::Flag},
    {"password", TextFieldMember::Password, MemberType::Flag},
    {"maxChars", TextFieldMember::MaxChars, MemberType::NumberOrNull},
    {"restrict", TextFieldMember::Restrict, MemberType::TextOrNull},
    {"type", TextFieldMember::Type, MemberType::Choice},
    {"variable", TextFieldMember::Variable, MemberType::TextOrNull},
    {"length", TextFieldMember::Length, MemberType::ReadOnlyNumber},
    {"textWidth", TextFieldMember::TextWidth, MemberType::ReadOnlyNumber},
    {"textHeight", TextFieldMember::TextHeight, MemberType::ReadOnlyNumber},
    {"scroll", TextFieldMember::Scroll, MemberType::Number},
    {"maxscroll", TextFieldMember::MaxScroll, MemberType::ReadOnlyNumber},
    {"hscroll", TextFieldMember::HScroll, MemberType::Number},
    {"maxhscroll", TextFieldMember::MaxHScroll, MemberType::ReadOnlyNumber},
    {"bottomScroll", TextFieldMember::BottomScroll, MemberType::ReadOnlyNumber},
    {"tabIndex", TextFieldMember::TabIndex, MemberType::NumberOrNull},
}};

TextFieldTarget* FieldOf(const Value& self) {
    Object* o = self.AsObject();
    return o && o->display ? o->display->AsTextField() : nullptr;
}

Value FromField(const TextFieldValue& v) {
    if (const bool* b = std::get_if<bool>(&v)) return Value::Bool(*b);
    if (const double* n = std::get_if<double>(&v)) return Value::Number(*n);
    if (const std::string* s = std::get_if<std::string>(&v)) return Value::String(*s);
    return Value::Null();
}

template <std::size_t I>
Value GetMember(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    return field ? FromField(field->GetTextMember(kMembers[I].member)) : Value();
}

template <std::size_t I>
Value SetMember(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    if (field == nullptr) return Value();
    const Value v = c.Arg(0);
    Interpreter& in = c.interpreter;
    const int version = in.vm().swfVersion();
    TextFieldValue value;
    switch (kMembers[I].type) {
    case MemberType::Text: value = in.Text(v); break;
    case MemberType::Number: {
        const double n = in.Number(v);
        if (!std::isfinite(n)) return Value();
        value = n;
        break;
    }
    case MemberType::Flag: value = ToBoolean(v, version); break;
    case MemberType::Choice:
        // autoSize takes true/false as well as a name.
        if (v.IsBool())
            value = v.AsBool();
        else
            value = in.Text(v);
        break;
    case MemberType::NumberOrNull:
        if (!v.IsUndefined() && !v.IsNull()) {
            const double n = in.Number(v);
            if (!std::isfinite(n)) return Value();
            value = n;
        }
        break;
    case MemberType::TextOrNull:
        if (!v.IsUndefined() && !v.IsNull()) value = in.Text(v);
        break;
    case MemberType::ReadOnlyNumber: return Value();
    }
    field->SetTextMember(kMembers[I].member, value);
    return Value();
}

template <std::size_t... I>
void InstallMembers(Installer& in, Object* proto, std::index_sequence<I...>) {
    (
        [&] {
            Property p;
            p.name = kMembers[I].name;
            p.flags = kDontEnum | kDontDelete;
            p.getter = in.NewFunction(GetMember<I>);
            p.setter = in.NewFunction(SetMember<I>);
            proto->properties.push_back(std::move(p));
        }(),
        ...);
}

// ---- TextFormat -------------------------------------------------------------------

constexpr std::array<const char*, 16> kFormatNames = {
    "font",  "size",       "color",       "url",    "target",  "bold",        "italic",   "underline",
    "align", "leftMargin", "rightMargin", "indent", "leading", "blockIndent", "tabStops", "bullet",
};

Object* NewTextFormat(Interpreter& in, const ScriptTextFormat& f) {
    Object* o = in.NewPlain();
    Object* ctor = in.vm().global()->Find("TextFormat") ? in.vm().global()->Find("TextFormat")->AsObject() : nullptr;
    if (ctor) {
        if (Value* proto = ctor->Find("prototype")) o->proto = proto->AsObject();
    }
    auto text = [](const std::optional<std::string>& s) { return s ? Value::String(*s) : Value::Null(); };
    auto number = [](const std::optional<double>& n) { return n ? Value::Number(*n) : Value::Null(); };
    auto flag = [](const std::optional<bool>& b) { return b ? Value::Bool(*b) : Value::Null(); };
    Value tabs = Value::Null();
    if (f.tabStops) {
        std::vector<Value> stops;
        for (double t : *f.tabStops) stops.push_back(Value::Number(t));
        tabs = Value::Obj(in.NewArray(std::move(stops)));
    }
    const std::array<Value, 16> values = {
        text(f.font),          number(f.size),   number(f.color),   text(f.url),           text(f.target),
        flag(f.bold),          flag(f.italic),   flag(f.underline), text(f.align),         number(f.leftMargin),
        number(f.rightMargin), number(f.indent), number(f.leading), number(f.blockIndent), tabs,
        flag(f.bullet),
    };
    for (std::size_t i = 0; i < kFormatNames.size(); ++i) o->Set(kFormatNames[i], values[i]);
    return o;
}

// Members that are null or undefined stay unset.
ScriptTextFormat ReadTextFormat(Interpreter& in, const Value& value) {
    ScriptTextFormat f;
    if (!value.IsObject()) return f;
    const int version = in.vm().swfVersion();
    auto get = [&](const char* name) { return in.GetMember(value, name); };
    auto given = [](const Value& v) { return !v.IsUndefined() && !v.IsNull(); };
    auto text = [&](const char* name, std::optional<std::string>& out) {
        const Value v = get(name);
        if (given(v)) out = in.Text(v);
    };
    auto number = [&](const char* name, std::optional<double>& out) {
        const Value v = get(name);
        if (!given(v)) return;
        const double n = in.Number(v);
        if (std::isfinite(n)) out = n;
    };
    auto flag = [&](const char* name, std::optional<bool>& out) {
        const Value v = get(name);
        if (given(v)) out = ToBoolean(v, version);
    };
    text("font", f.font);
    number("size", f.size);
    number("color", f.color);
    text("url", f.url);
    text("target", f.target);
    flag("bold", f.bold);
    flag("italic", f.italic);
    flag("underline", f.underline);
    text("align", f.align);
    number("leftMargin", f.leftMargin);
    number("rightMargin", f.rightMargin);
    number("indent", f.indent);
    number("leading", f.leading);
    number("blockIndent", f.blockIndent);
    flag("bullet", f.bullet);
    if (Object* tabs = get("tabStops").AsObject(); tabs && tabs->kind == ObjectKind::Array) {
        std::vector<double> stops;
        for (const Value& t : tabs->elements) stops.push_back(in.Number(t));
        f.tabStops = std::move(stops);
    }
    return f;
}

// new TextFormat(font, size, color, bold, italic, underline, url, target, align,
// leftMargin, rightMargin, indent, leading): every member null unless given.
Value TextFormatConstructor(CallContext& c) {
    Object* o = c.self.AsObject();
    if (o == nullptr) return Value();
    constexpr std::array<const char*, 13> kOrder = {"font",        "size",   "color",  "bold",  "italic",
                                                    "underline",   "url",    "target", "align", "leftMargin",
                                                    "rightMargin", "indent", "leading"};
    for (const char* name : kFormatNames) o->Set(name, Value::Null());
    for (std::size_t i = 0; i < kOrder.size() && i < c.args.size(); ++i) {
        if (!c.args[i].IsUndefined()) o->Set(kOrder[i], c.args[i]);
    }
    return Value();
}

// format.getTextExtent(text[, width]): the text's size in this format, and
// the size of a field that shows it (the text plus the 2-pixel gutter on
// every side). Plain text; lines wrap at `width` pixels when it is given.
Value TextFormatGetTextExtent(CallContext& c) {
    TextMeasurer* measurer = c.interpreter.vm().textMeasurer();
    if (measurer == nullptr || !c.self.IsObject()) return Value();
    std::optional<double> wrapWidth;
    if (c.args.size() >= 2 && !c.args[1].IsUndefined()) {
        const double w = ArgNumber(c, 1);
        if (std::isfinite(w) && w > 0) wrapWidth = std::min(w, 1e6);
    }
    const TextExtent e = measurer->Measure(ReadTextFormat(c.interpreter, c.self), ArgText(c, 0), wrapWidth);
    constexpr double kGutters = 4;
    Object* o = c.interpreter.NewPlain();
    o->Set("width", Value::Number(e.width));
    o->Set("height", Value::Number(e.height));
    o->Set("ascent", Value::Number(e.ascent));
    o->Set("descent", Value::Number(e.descent));
    o->Set("textFieldWidth", Value::Number(e.width + kGutters));
    o->Set("textFieldHeight", Value::Number(e.height + kGutters));
    return Value::Obj(o);
}

// ---- TextField methods ---------------------------------------------------------------

std::size_t Index(CallContext& c, std::size_t i) {
    const double n = ArgNumber(c, i);
    if (!(n > 0)) return 0;
    return n >= 1e9 ? static_cast<std::size_t>(1e9) : static_cast<std::size_t>(n);
}

std::size_t FieldLength(TextFieldTarget& field) {
    const TextFieldValue v = field.GetTextMember(TextFieldMember::Length);
    const double* n = std::get_if<double>(&v);
    return n ? static_cast<std::size_t>(*n) : 0;
}

// getTextFormat(), (index), (begin, end).
Value FieldGetTextFormat(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    if (field == nullptr) return Value();
    std::size_t begin = 0, end = FieldLength(*field);
    if (c.args.size() == 1) {
        begin = Index(c, 0);
        end = begin + 1;
    } else if (c.args.size() >= 2) {
        begin = Index(c, 0);
        end = Index(c, 1);
    }
    return Value::Obj(NewTextFormat(c.interpreter, field->GetTextFormat(begin, end)));
}

// setTextFormat(format), (index, format), (begin, end, format).
Value FieldSetTextFormat(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    if (field == nullptr || c.args.empty()) return Value();
    std::size_t begin = 0, end = FieldLength(*field);
    std::size_t formatArg = 0;
    if (c.args.size() == 2) {
        begin = Index(c, 0);
        end = begin + 1;
        formatArg = 1;
    } else if (c.args.size() >= 3) {
        begin = Index(c, 0);
        end = Index(c, 1);
        formatArg = 2;
    }
    if (!c.args[formatArg].IsObject()) return Value();
    field->SetTextFormat(begin, end, ReadTextFormat(c.interpreter, c.args[formatArg]));
    return Value();
}

Value FieldGetNewTextFormat(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    return field ? Value::Obj(NewTextFormat(c.interpreter, field->GetNewTextFormat())) : Value();
}

Value FieldSetNewTextFormat(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    if (field && c.Arg(0).IsObject()) field->SetNewTextFormat(ReadTextFormat(c.interpreter, c.Arg(0)));
    return Value();
}

Value FieldReplaceSel(CallContext& c) {
    if (TextFieldTarget* field = FieldOf(c.self); field && !c.args.empty()) field->ReplaceSel(ArgText(c, 0));
    return Value();
}

Value FieldReplaceText(CallContext& c) {
    if (TextFieldTarget* field = FieldOf(c.self); field && c.args.size() >= 3)
        field->ReplaceText(Index(c, 0), Index(c, 1), ArgText(c, 2));
    return Value();
}

Value FieldRemoveTextField(CallContext& c) {
    if (TextFieldTarget* field = FieldOf(c.self)) field->RemoveTextField();
    return Value();
}

Value FieldGetDepth(CallContext& c) {
    TextFieldTarget* field = FieldOf(c.self);
    return field ? Value::Number(field->ScriptDepth()) : Value();
}

Value TextFieldConstructor(CallContext&) { return Value(); }

// clip.createTextField(name, depth, x, y, width, height): the new field in
// movies of version 8, undefined before.
Value ClipCreateTextField(CallContext& c) {
    Object* clip = c.self.AsObject();
    if (clip == nullptr || clip->target == nullptr || c.args.size() < 6) return Value();
    const double depth = ArgNumber(c, 1);
    if (!std::isfinite(depth)) return Value();
    DisplayTarget* field =
        clip->target->CreateTextField(ArgText(c, 0), static_cast<int>(std::clamp(depth, -1e9, 1e9)), ArgNumber(c, 2),
                                      ArgNumber(c, 3), ArgNumber(c, 4), ArgNumber(c, 5));
    if (field == nullptr || c.interpreter.vm().swfVersion() < 8) return Value();
    return Value::Obj(c.interpreter.vm().ObjectFor(field));
}

}  // namespace

void InstallTextFieldBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* proto = in.NewObject(vm.objectProto());
    InstallMembers(in, proto, std::make_index_sequence<kMembers.size()>());
    in.Method(proto, "getTextFormat", FieldGetTextFormat);
    in.Method(proto, "setTextFormat", FieldSetTextFormat);
    in.Method(proto, "getNewTextFormat", FieldGetNewTextFormat);
    in.Method(proto, "setNewTextFormat", FieldSetNewTextFormat);
    in.Method(proto, "replaceSel", FieldReplaceSel);
    in.Method(proto, "replaceText", FieldReplaceText);
    in.Method(proto, "removeTextField", FieldRemoveTextField);
    in.Method(proto, "getDepth", FieldGetDepth);
    in.Class("TextField", TextFieldConstructor, proto);
    vm.SetTextFieldPrototype(proto);
    in.Method(vm.clipProto(), "createTextField", ClipCreateTextField);

    Object* formatProto = in.NewObject(vm.objectProto());
    in.Method(formatProto, "getTextExtent", TextFormatGetTextExtent);
    in.Class("TextFormat", TextFormatConstructor, formatProto);

    // Buttons: scripts set these per button; the player reads `enabled`.
    Object* button = in.NewObject(vm.objectProto());
    button->Set("enabled", Value::Bool(true));
    button->Set("useHandCursor", Value::Bool(true));
    in.Class("Button", TextFieldConstructor, button);
    vm.SetButtonPrototype(button);
}

}  // namespace swf::actions
