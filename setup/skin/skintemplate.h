// Dialog templates as the skin reads them: the window's style, caption and size and each
// control's class, style, id, place and text, and the skin control kind each becomes. Reading
// is a function of the template's bytes and refuses anything that runs past them.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

enum SKINKIND {
    SKIN_PBUTTON,
    SKIN_RBUTTON,
    SKIN_CBUTTON,
    SKIN_TEXT,
    SKIN_PBAR,
    SKIN_HSCROLL,
    SKIN_VSCROLL,
    SKIN_EDIT,
    SKIN_LIST,
    SKIN_USER,
    SKIN_FRAMEBUTTON, // the close and minimise buttons of a window's frame
};

struct SKINITEM {
    std::string windowClass; // lower case; ordinals are named ("button", "static", ...)
    DWORD style = 0;
    int id = 0;
    RECT rect{}; // dialog units
    std::string text; // UTF-8
};

struct SKINTEMPLATE {
    DWORD style = 0;
    std::string caption;
    RECT rect{}; // dialog units
    std::vector<SKINITEM> items;
};

// False when the bytes are not a whole extended dialog template.
bool ReadSkinTemplate(const void* data, size_t cb, SKINTEMPLATE& out);

// The control kind of an item; a "static" item whose text begins "CLASS:" takes its class from
// the rest of the text, and "USER"/"USER:..." makes a user-drawn area; both change text.
SKINKIND SkinKindOf(SKINITEM& item);

// Ids of a template: -1, 65535 and ids already used in this template or in `others` become
// fresh ids from 40100 upward. Each clash is described in `problems` with the messages the
// skin reports; the ids end up in `used` and `others` keeps its own.
void AssignSkinIds(std::vector<SKINITEM>& items, long dialogId, const std::vector<std::pair<long, std::set<int>>>& others,
                   std::set<int>& used, std::vector<std::string>& problems);

constexpr int kSkinFirstFreshId = 40100;
constexpr int kSkinCloseId = 40000;
constexpr int kSkinMinimiseId = 40001;
