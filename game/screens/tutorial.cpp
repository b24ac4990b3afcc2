#include "tutorial.h"

#include "aux_control.h"
#include "cea_object.h"
#include "display.h"
#include "language.h"
#include "layout.h"
#include "screens.h"
#include "tile.h"

#include <algorithm>

namespace {

constexpr PIECE Tile(uint32_t color, uint32_t shape, uint32_t shading, uint32_t number)
{
    return {1, color, shape, shading, number, nullptr, 0};
}

constexpr PIECE kNone{};

} // namespace

// Pages 0-2 introduce the tiles; 3 and 4 show quibos; 5 and 7 ask for the third tile, which
// 6 and 8 then show; 9-11 keep one quibo in view while the text covers the rest of the game.
const TUTORIALPAGE g_tutorialPages[cTUTORIAL_PAGES] = {
    {50, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},  {56, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},
    {62, {Tile(1, 0, 2, 0), Tile(2, 1, 1, 1), Tile(0, 2, 0, 2)}},  {68, {Tile(2, 0, 2, 1), Tile(2, 2, 2, 1), Tile(2, 1, 2, 1)}},
    {72, {Tile(0, 1, 1, 1), Tile(1, 1, 2, 0), Tile(2, 1, 0, 2)}},  {84, {Tile(1, 2, 1, 0), Tile(2, 0, 1, 0), kNone}},
    {96, {Tile(1, 2, 1, 0), Tile(2, 0, 1, 0), Tile(0, 1, 1, 0)}},  {100, {Tile(0, 1, 2, 2), Tile(2, 2, 0, 0), kNone}},
    {112, {Tile(0, 1, 2, 2), Tile(2, 2, 0, 0), Tile(1, 0, 1, 1)}}, {118, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}},
    {124, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}}, {128, {Tile(0, 1, 1, 1), Tile(1, 0, 2, 2), Tile(2, 2, 0, 0)}},
};

namespace {

constexpr int kLastPage = cTUTORIAL_PAGES - 1;

int g_iPage = 0;
ANIMTEXT* g_pText = nullptr;
ANIMBUTTON* g_pBack = nullptr;
ANIMBUTTON* g_pNext = nullptr;
ANIMBUTTON* g_pDone = nullptr;
ANIMOBJECT* g_rgSamples[cTUTORIAL_TILES] = {};

// Back and Next exist only where they lead somewhere.
void ShowButton(ANIMBUTTON*& button, bool wanted, const char* name, int command)
{
    if (button && !wanted) {
        EmptyPressedList();
        DeleteElement(button);
    }
    if (wanted && !button)
        button = MakeButton(name, command, false);
}

void ShowSamples(const TUTORIALPAGE& page)
{
    AnimWindow* window = DisplayWindow();
    const int step = TileSize().cx + LayoutNumber("cxTILES_SPACING");
    const int x = LayoutNumber("object-tutorial xTILES");
    const int y = LayoutNumber("object-tutorial yTILES");
    for (int i = 0; i < cTUTORIAL_TILES; ++i) {
        DeletePicture(g_rgSamples[i]);
        if (!page.rgTiles[i].fPresent || !window)
            continue;
        // A sample belongs to no board slot.
        g_rgSamples[i] = CreateTileObject(window, page.rgTiles[i], -1, -1);
        if (g_rgSamples[i])
            g_rgSamples[i]->SetPosition(x + step * i, y);
    }
}

} // namespace

int TutorialPage()
{
    return g_iPage;
}

void BuildTutorialScreen()
{
    SetScreenFont("font-tutorial", "");
    g_iPage = 0;
    g_pText = MakeText("text-tutorial", string(), false, 0);
    g_pDone = MakeButton("button-tutorialdone", IDC_TUTORIALDONE, false);
    RefreshTexts(true);
}

void DestroyTutorialScreen()
{
    DeleteElement(g_pText);
    DeleteElement(g_pBack);
    DeleteElement(g_pNext);
    DeleteElement(g_pDone);
    for (ANIMOBJECT*& sample : g_rgSamples)
        DeletePicture(sample);
}

void RefreshTutorial()
{
    const TUTORIALPAGE& page = g_tutorialPages[g_iPage];
    ShowButton(g_pBack, g_iPage > 0, "button-back", IDC_BACK);
    ShowButton(g_pNext, g_iPage < kLastPage, "button-next", IDC_NEXT);
    if (g_pText)
        g_pText->SetText(string(LoadCatalogString(page.idText)));
    ShowSamples(page);
}

void TutorialStep(int direction)
{
    if (direction > 0)
        ++g_iPage;
    else if (direction < 0 && g_iPage > 0)
        --g_iPage;
    g_iPage = std::min(g_iPage, kLastPage);
    RefreshTexts(true);
}

ANIMBUTTON* TutorialGuide()
{
    return g_iPage >= kLastPage ? g_pDone : g_pNext;
}
