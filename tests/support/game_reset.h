// A fresh game for the suites that record or publish scores: no key of its own, the first
// language, the default settings and table. For programs that link the game.
#pragma once

#include "highscores.h"
#include "language.h"
#include "records.h"

inline void ResetGameState()
{
    GameKey().erase();
    registry::key(u"HKLM\\Software\\Zelnor\\NLS").erase();
    SelectLanguage("Quibo", 1);
    DefaultSettings();
    DefaultHighScores();
}
