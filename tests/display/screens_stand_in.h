// What the display asks of the screen switch, stood in for by the display suites.
#pragma once

class ANIMBUTTON;

struct SCREENSTANDIN {
    int screen;
    ANIMBUTTON* tutorialGuide;
    int cRefreshes; // of the other screens' texts
};
extern SCREENSTANDIN g_standIn;
