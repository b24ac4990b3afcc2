#include "menu.h"

#include "aux_control.h"
#include "display.h"
#include "language.h"
#include "media.h"
#include "records.h"

#include <algorithm>

namespace {

struct ROW {
    const char* button;
    int command;
    const char* prompt;
    UINT idPrompt;
    const char* setting; // options only
};

constexpr int cMENU_ROWS = 5;
constexpr ROW kMenuRows[cMENU_ROWS] = {
    {"button-tutorial", IDC_TUTORIAL, "text-tutorial-prompt", 14, nullptr},
    {"button-options", IDC_OPTIONS, "text-options-prompt", 16, nullptr},
    {"button-viewlocal", IDC_VIEWLOCAL, "text-viewlocal-prompt", 18, nullptr},
    {"button-publish", IDC_PUBLISH, "text-publish-prompt", 20, nullptr},
    {"button-viewnet", IDC_VIEWNET, "text-viewnet-prompt", 22, nullptr},
};

enum { OPTION_EFFECTS, OPTION_ANIMATION, OPTION_SOUNDS, OPTION_MUSIC, OPTION_LANGUAGE, cOPTION_ROWS };
constexpr ROW kOptionRows[cOPTION_ROWS] = {
    {"button-effects", IDC_EFFECTS, "text-effects-prompt", 24, "text-effects-setting"},
    {"button-animation", IDC_ANIMATION, "text-animation-prompt", 26, "text-animation-setting"},
    {"button-sounds", IDC_SOUNDS, "text-sounds-prompt", 28, "text-sounds-setting"},
    {"button-music", IDC_MUSIC, "text-music-prompt", 30, "text-music-setting"},
    {"button-language", IDC_LANGUAGE, "text-language-prompt", 32, "text-language-setting"},
};

constexpr UINT idOFF = 40;
constexpr UINT idON = 42;

struct ELEMENTS {
    ANIMBUTTON* rgButtons[cOPTION_ROWS];
    ANIMTEXT* rgPrompts[cOPTION_ROWS];
    ANIMTEXT* rgSettings[cOPTION_ROWS];
    ANIMBUTTON* pDone;
    ANIMOBJECT* pDivider;
};
static_assert(cMENU_ROWS <= cOPTION_ROWS);
ELEMENTS g_menu;
ELEMENTS g_options;

string CatalogText(UINT id)
{
    return string(LoadCatalogString(id));
}

void DestroyElements(ELEMENTS& e)
{
    for (int i = 0; i < cOPTION_ROWS; ++i) {
        DeleteElement(e.rgButtons[i]);
        DeleteElement(e.rgPrompts[i]);
        DeleteElement(e.rgSettings[i]);
    }
    DeleteElement(e.pDone);
    DeletePicture(e.pDivider);
}

UINT OnOffText(uint32_t flag)
{
    return flag ? idON : idOFF;
}

// The catalog text a setting field shows.
UINT SettingText(int row)
{
    switch (row) {
    case OPTION_EFFECTS:
        // A stored level beyond the known three reads as the highest.
        return 34 + 2 * std::min<uint32_t>(g_settings.iEffects, EFFECTS_ALL);
    case OPTION_ANIMATION: return OnOffText(g_settings.fSmoothAnimation);
    case OPTION_SOUNDS: return OnOffText(g_settings.fSoundEffects);
    case OPTION_MUSIC: return OnOffText(g_settings.fMusic);
    default: return CurrentLanguageId() == LANGID_ENGLISH ? 44 : 46;
    }
}

} // namespace

void BuildMenuScreen()
{
    SetScreenFont("font-menu", "");
    for (int i = 0; i < cMENU_ROWS; ++i) {
        const ROW& row = kMenuRows[i];
        g_menu.rgButtons[i] = MakeButton(row.button, row.command, true);
        g_menu.rgPrompts[i] = MakeText(row.prompt, CatalogText(row.idPrompt), true, 0);
    }
    g_menu.pDone = MakeButton("button-menudone", IDC_MENUDONE, true);
    g_menu.pDivider = MakePicture("object-divider", g_media.pDivider);
}

void DestroyMenuScreen()
{
    DestroyElements(g_menu);
}

void BuildOptionsScreen()
{
    SetScreenFont("font-options", "");
    for (int i = 0; i < cOPTION_ROWS; ++i) {
        const ROW& row = kOptionRows[i];
        g_options.rgButtons[i] = MakeButton(row.button, row.command, true);
        g_options.rgPrompts[i] = MakeText(row.prompt, CatalogText(row.idPrompt), true, 0);
        g_options.rgSettings[i] = MakeText(row.setting, string(), true, 0);
    }
    g_options.pDone = MakeButton("button-optionsdone", IDC_OPTIONSDONE, true);
    RefreshTexts(true);
}

void DestroyOptionsScreen()
{
    DestroyElements(g_options);
}

void RefreshOptionTexts()
{
    for (int i = 0; i < cOPTION_ROWS; ++i) {
        ANIMTEXT* field = g_options.rgSettings[i];
        if (!field)
            continue;
        const string text = CatalogText(SettingText(i));
        if (!(field->GetText() == text))
            field->SetText(text);
    }
}
