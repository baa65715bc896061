#include "swf/writer/edit_text.h"

namespace swf::writer {

std::vector<std::uint8_t> DefineEditTextBody(std::uint16_t id, const EditTextField& f) {
    BitWriter w;
    w.U16(id);
    WriteRect(w, f.bounds);
    const bool hasFontClass = !f.fontClass.empty();
    for (const bool flag : {f.initialText.has_value(), f.wordWrap, f.multiline, f.password, f.readOnly,
                            f.textColor.has_value(), f.maxLength.has_value(), f.fontId.has_value(), hasFontClass,
                            f.autoSize, f.hasLayout, f.noSelect, f.border, f.wasStatic, f.html, f.useOutlines}) {
        w.UB(1, flag ? 1 : 0);
    }
    if (f.fontId) w.U16(*f.fontId);
    if (hasFontClass) w.String(f.fontClass);
    if (f.fontId || hasFontClass) w.U16(f.fontHeight);
    if (f.textColor) WriteRgba(w, *f.textColor);
    if (f.maxLength) w.U16(*f.maxLength);
    if (f.hasLayout) {
        w.U8(static_cast<std::uint8_t>(f.align));
        w.U16(f.leftMargin);
        w.U16(f.rightMargin);
        w.U16(f.indent);
        w.S16(f.leading);
    }
    w.String(f.variableName);
    if (f.initialText) w.String(*f.initialText);
    return w.Take();
}

}  // namespace swf::writer
