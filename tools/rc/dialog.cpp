#include "dialog.h"

#include "resource.h"

namespace {

void nameOrOrdinal(ByteWriter& out, const NameOrOrdinal& value)
{
    if (value.ordinal) {
        out.word(0xFFFF);
        out.word(*value.ordinal);
    } else {
        out.text(value.text);
        out.word(0);
    }
}

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? c + 0x20 : c;
}

} // namespace

NameOrOrdinal ControlClass(const std::u16string& name)
{
    static const char16_t* const predefined[] = {u"button", u"edit", u"static", u"listbox", u"scrollbar", u"combobox"};
    std::u16string folded = name;
    for (char16_t& c : folded)
        c = lower(c);
    for (uint16_t i = 0; i < 6; ++i)
        if (folded == predefined[i])
            return {{}, static_cast<uint16_t>(0x80 + i)};
    return {name, std::nullopt};
}

std::vector<uint8_t> EncodeDialog(const ScriptDialog& dialog)
{
    ByteWriter out;
    out.word(1); // dlgVer
    out.word(0xFFFF); // signature of the extended template
    out.dword(dialog.helpId);
    out.dword(dialog.exStyle);
    out.dword(dialog.style);
    out.word(static_cast<uint16_t>(dialog.controls.size()));
    for (int16_t v : {dialog.x, dialog.y, dialog.cx, dialog.cy})
        out.word(static_cast<uint16_t>(v));
    out.word(0); // no menu
    nameOrOrdinal(out, dialog.windowClass);
    nameOrOrdinal(out, {dialog.title, std::nullopt});
    if (dialog.font) {
        out.word(dialog.font->pointSize);
        out.word(dialog.font->weight);
        out.byte(dialog.font->italic);
        out.byte(dialog.font->charset);
        nameOrOrdinal(out, {dialog.font->face, std::nullopt});
    }
    for (const DialogControl& control : dialog.controls) {
        out.alignDword();
        out.dword(control.helpId);
        out.dword(control.exStyle);
        out.dword(control.style);
        for (int16_t v : {control.x, control.y, control.cx, control.cy})
            out.word(static_cast<uint16_t>(v));
        out.dword(control.id);
        nameOrOrdinal(out, control.windowClass);
        nameOrOrdinal(out, control.title);
        out.word(0); // no creation data
    }
    return out.take();
}
