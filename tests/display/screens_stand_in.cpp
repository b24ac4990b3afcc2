#include "screens_stand_in.h"

#include "screens.h"

SCREENSTANDIN g_standIn = {SCREEN_PLAY, nullptr, 0};

int CurrentScreen()
{
    return g_standIn.screen;
}

ANIMBUTTON* TutorialGuide()
{
    return g_standIn.tutorialGuide;
}

void RefreshScreenTexts(bool)
{
    ++g_standIn.cRefreshes;
}
