// The screen switch and the screens around the play screen: menu, options, tutorial and high
// scores. One screen is built at a time; a switch tears every element down first, so nothing
// survives it but the game in progress and the media.
#pragma once

class ANIMBUTTON;

enum SCREEN : int {
    SCREEN_NONE = 0, // between tear-down and build
    SCREEN_PLAY = 1,
    SCREEN_MENU = 2,
    SCREEN_OPTIONS = 3,
    SCREEN_TUTORIAL = 4,
    SCREEN_HIGHSCORES = 5,
};

int CurrentScreen();

// Completes every pending flight, tears the current screen down, gives the board tiles objects
// on the play screen only, starts a new game when asked, and builds the screen.
void ShowScreen(int screen, bool newGame);
// Builds the current screen again, so that its texts, faces and font follow a new language.
void RebuildScreen();

// +1: the next tutorial page, -1: the previous one; the page stays within the tutorial.
void TutorialStep(int direction);
// The tutorial's guide button: Done on the last page, Next before; none when absent.
ANIMBUTTON* TutorialGuide();

// Shows the high-score table. mode: 0 viewed from the menu, 1 a game that did not enter the
// table, 2 a new entry, which row (0..8, else none) shows in bold yellow.
void ShowHighScores(int mode, int row);

// The texts of the options, tutorial and high-score screens, as part of RefreshTexts.
void RefreshScreenTexts(bool force);
