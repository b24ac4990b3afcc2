// The tutorial: twelve pages of rules, each with up to three sample tiles drawn as on the board.
#pragma once

#include "game.h"

#include "windows.h"

constexpr int cTUTORIAL_PAGES = 12;
constexpr int cTUTORIAL_TILES = 3;

struct TUTORIALPAGE {
    UINT idText; // the catalog text that starts the page
    PIECE rgTiles[cTUTORIAL_TILES]; // fPresent 0: no tile at that position
};

extern const TUTORIALPAGE g_tutorialPages[cTUTORIAL_PAGES];

// The page shown, 0..11; the tutorial screen starts at 0 each time it is built.
int TutorialPage();

void BuildTutorialScreen();
void DestroyTutorialScreen();
// Back and Next as the page allows, the page's text and its sample tiles.
void RefreshTutorial();
