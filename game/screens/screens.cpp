#include "screens.h"

#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "highscreen.h"
#include "menu.h"
#include "tile.h"
#include "tutorial.h"

namespace {

int g_iScreen = SCREEN_NONE;

void TearDown()
{
    EmptyPressedList();
    DeletePlayElements();
    DestroyMenuScreen();
    DestroyOptionsScreen();
    DestroyTutorialScreen();
    DestroyHighScoreScreen();
    g_iScreen = SCREEN_NONE;
}

// The board's tiles are shown on the play screen only, each placed at once in its slot.
void PlaceBoardTiles(AnimWindow* window, bool onPlayScreen)
{
    window->BeginUpdate();
    window->AdvanceTo(kLastScheduledFrame);
    const bool fiveColumns = CountTiles() > 12;
    for (int row = 0; row < cROWS; ++row) {
        for (int column = 0; column < cCOLUMNS; ++column) {
            PIECE& piece = g_game.rgBoard[row][column];
            if (!piece.fPresent)
                continue;
            if (onPlayScreen && !piece.pObject) {
                piece.pObject = CreateTileObject(window, piece, column, row);
                if (piece.pObject)
                    piece.pObject->SetRect(TilePosition(column, row, fiveColumns));
            } else if (!onPlayScreen && piece.pObject) {
                piece.pObject->Destroy();
                piece.pObject = nullptr;
            }
        }
    }
    window->EndUpdate();
}

void Build(int screen)
{
    switch (screen) {
    case SCREEN_PLAY: BuildPlayScreen(); break;
    case SCREEN_MENU: BuildMenuScreen(); break;
    case SCREEN_OPTIONS: BuildOptionsScreen(); break;
    case SCREEN_TUTORIAL: BuildTutorialScreen(); break;
    case SCREEN_HIGHSCORES: BuildHighScoreScreen(); break;
    default: break;
    }
}

} // namespace

int CurrentScreen()
{
    return g_iScreen;
}

void ShowScreen(int screen, bool newGame)
{
    AnimWindow* window = DisplayWindow();
    if (!window)
        return;
    window->BeginUpdate();
    // Every pending flight and event completes before anything is torn down.
    window->AdvanceTo(kLastScheduledFrame);
    TearDown();
    g_iScreen = screen >= SCREEN_PLAY && screen <= SCREEN_HIGHSCORES ? screen : SCREEN_NONE;
    PlaceBoardTiles(window, g_iScreen == SCREEN_PLAY);
    if (newGame)
        NewGame();
    Build(g_iScreen);
    window->EndUpdate();
}

void RebuildScreen()
{
    ShowScreen(g_iScreen, false);
}

void RefreshScreenTexts(bool force)
{
    switch (g_iScreen) {
    case SCREEN_OPTIONS: RefreshOptionTexts(); break;
    case SCREEN_TUTORIAL:
        // The tutorial's texts change only with its page, which always refreshes with force.
        if (force)
            RefreshTutorial();
        break;
    default: break;
    }
}
