// Dialog templates, encoded as the DLGTEMPLATEEX bytes that Win32 dialog code reads (the
// layout is described in platform/include/resourcemodule.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A class or title: a string, or an ordinal (0xFFFF followed by the number).
struct NameOrOrdinal {
    std::u16string text;
    std::optional<uint16_t> ordinal;
};

struct DialogFont {
    uint16_t pointSize = 0;
    uint16_t weight = 400; // FW_NORMAL
    uint8_t italic = 0;
    uint8_t charset = 1; // DEFAULT_CHARSET
    std::u16string face;
};

struct DialogControl {
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
};

struct ScriptDialog {
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal windowClass; // empty text and no ordinal: the system's dialog class
    std::u16string title;
    std::optional<DialogFont> font;
    std::vector<DialogControl> controls;
};

// The predefined control classes "button", "edit", "static", "listbox", "scrollbar" and
// "combobox" (any case) become their ordinals 0x80..0x85, as the Win32 resource compiler does.
NameOrOrdinal ControlClass(const std::u16string& name);

std::vector<uint8_t> EncodeDialog(const ScriptDialog& dialog);
