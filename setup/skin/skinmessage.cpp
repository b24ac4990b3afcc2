// The skin's message box: an icon, the text with markup and one or three buttons, centred.
#include "language.h"
#include "skinmarkup.h"
#include "skinwindow.h"

#include <algorithm>

namespace {

struct BUTTON {
    int id;
    const char* english;
    const char* esperanto;
};

constexpr BUTTON kOk = {IDOK, "OK", "Akceptu"};
constexpr BUTTON kYesNoCancel[] = {{IDYES, "Yes", "Jes"}, {IDNO, "No", "Ne"}, {IDCANCEL, "Cancel", "Nuligu"}};
constexpr int kIconId = 3000;
constexpr int kTextId = 3001;

const char* IconName(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
    case MB_ICONEXCLAMATION: return "icon-alert";
    case MB_ICONQUESTION: return "icon-question";
    case MB_ICONASTERISK: return "icon-info";
    default: return nullptr;
    }
}

// Lines the text needs at about 40 characters a line.
int LineCount(const std::string& text)
{
    int lines = 0;
    size_t start = 0;
    const std::string plain = SkinMarkupPlainText(text);
    while (start <= plain.size()) {
        size_t end = plain.find('\n', start);
        if (end == std::string::npos)
            end = plain.size();
        lines += 1 + int((end - start) / 40);
        start = end + 1;
    }
    return lines;
}

LRESULT BoxHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND)
        return 0;
    const int id = LOWORD(wParam);
    const bool single = !pane->Control(IDYES);
    if (id == IDOK || id == IDYES || id == IDNO || id == IDCANCEL)
        pane->Window()->EndModal(single ? IDOK : id);
    return 0;
}

} // namespace

int SkinMessageBox(SKIN* skin, UINT flags, const std::string& title, const std::string& text)
{
    const bool esperanto = CurrentLanguageIndex() == 1;
    const bool three = (flags & MB_TYPEMASK) == MB_YESNOCANCEL;
    const char* icon = IconName(flags);
    SKINTEMPLATE t;
    t.caption = title;
    t.style = WS_POPUP | WS_SYSMENU;
    const int textLeft = icon ? 40 : 10;
    const int textHeight = std::max(24, 9 * LineCount(text));
    const int height = 10 + textHeight + 8 + 16 + 6;
    t.rect = RECT{0, 0, 260, height};
    if (icon)
        t.items.push_back({"user", 0, kIconId, RECT{8, 8, 32, 32}, ""});
    t.items.push_back({"static", 0, kTextId, RECT{textLeft, 8, 252, 8 + textHeight}, text});
    std::vector<BUTTON> buttons;
    if (three)
        buttons.assign(std::begin(kYesNoCancel), std::end(kYesNoCancel));
    else
        buttons.push_back(kOk);
    const int width = 54, gap = 8;
    int x = (260 - int(buttons.size()) * width - int(buttons.size() - 1) * gap) / 2;
    for (const BUTTON& b : buttons) {
        t.items.push_back({"button", BS_PUSHBUTTON, b.id, RECT{x, height - 22, x + width, height - 6},
                           std::string("<b>") + (esperanto ? b.esperanto : b.english) + "</b>"});
        x += width + gap;
    }
    SKINWINDOW box(skin, t, BoxHandler);
    if (icon)
        box.SetPicture(kIconId, skin->Require("message box", icon), 0, 0);
    SetForegroundWindow(box.Hwnd());
    return int(box.RunModal());
}
