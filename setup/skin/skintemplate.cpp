#include "skintemplate.h"

#include "tl_string.h"
#include "user32/dlgtemplate.h"
#include "utf.h"

#include <cstdio>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

bool ReadSkinTemplate(const void* data, size_t cb, SKINTEMPLATE& out)
{
    const std::optional<DialogTemplate> dialog = ReadDialogTemplate(static_cast<const BYTE*>(data), cb);
    if (!dialog)
        return false;
    out.style = dialog->style;
    out.caption = Utf16ToUtf8(dialog->title);
    out.rect = dialog->rect;
    out.items.clear();
    for (const DialogTemplateItem& item : dialog->items)
        out.items.push_back({AsciiLower(Utf16ToUtf8(item.className)), item.style, item.id, item.rect, Utf16ToUtf8(item.text)});
    return true;
}

SKINKIND SkinKindOf(SKINITEM& item)
{
    if (item.windowClass == "static") {
        if (StartsWithNoCase(item.text, "CLASS:")) {
            item.windowClass = AsciiLower(item.text.substr(6));
            item.text.clear();
        } else if (StartsWithNoCase(item.text, "USER:") || EqualsIgnoringAsciiCase(item.text, "user")) {
            item.windowClass = "user";
            item.text = item.text.size() > 5 ? item.text.substr(5) : std::string();
        }
    }
    const std::string& c = item.windowClass;
    if (c == "button") {
        switch (item.style & 0xF) {
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return SKIN_RBUTTON;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX: return SKIN_CBUTTON;
        default: return SKIN_PBUTTON;
        }
    }
    if (c == "msctls_progress32" || c == "msctls_progress" || c == "progress")
        return SKIN_PBAR;
    if (c == "scrollbar")
        return (item.style & SBS_VERT) ? SKIN_VSCROLL : SKIN_HSCROLL;
    if (c == "edit")
        return SKIN_EDIT;
    if (c == "listbox")
        return SKIN_LIST;
    if (c == "user")
        return SKIN_USER;
    return SKIN_TEXT;
}

void AssignSkinIds(std::vector<SKINITEM>& items, long dialogId, const std::vector<std::pair<long, std::set<int>>>& others,
                   std::set<int>& used, std::vector<std::string>& problems)
{
    auto taken = [&](int id) {
        if (used.count(id))
            return true;
        for (const auto& other : others)
            if (other.second.count(id))
                return true;
        return false;
    };
    int fresh = kSkinFirstFreshId;
    char message[160];
    for (SKINITEM& item : items) {
        const int id = item.id & 0xFFFF;
        if (id == 0xFFFF) {
            item.id = -1;
        } else if (used.count(id)) {
            std::snprintf(message, sizeof message, "Dialog %ld contains more than one control with ID %ld", dialogId, long(id));
            problems.push_back(message);
            item.id = -1;
        } else {
            for (const auto& other : others) {
                if (!other.second.count(id))
                    continue;
                std::snprintf(message, sizeof message, "Dialogs %ld and %ld both contain a control with ID %ld", other.first, dialogId,
                              long(id));
                problems.push_back(message);
                item.id = -1;
                break;
            }
            if (item.id != -1)
                item.id = id;
        }
        if (item.id == -1) {
            while (taken(fresh))
                ++fresh;
            item.id = fresh++;
        }
        used.insert(item.id);
    }
}
