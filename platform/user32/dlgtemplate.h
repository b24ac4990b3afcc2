// Reading extended dialog templates (DLGTEMPLATEEX, see resourcemodule.h). Every field is
// checked against the template's size: a truncated or corrupt template is refused whole.
#pragma once

#include "windows.h"

#include <optional>
#include <string>
#include <vector>

struct DialogTemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{}; // dialog units
    int id = 0;
    std::u16string className; // ordinals become their class names
    std::u16string text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{}; // dialog units
    std::u16string className; // empty: the dialog class
    std::u16string title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    bool italic = false;
    std::u16string face;
    std::vector<DialogTemplateItem> items;
};

std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* data, size_t size);
