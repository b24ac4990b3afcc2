// The game's clock and the status values shown beside the board.
#include "cea_clock.h"
#include "game.h"
#include "sformat.h"

#include <windows.h>

GAMESTATUS g_status;

namespace {

constexpr uint32_t cQUIBOS_BEFORE_ESTIMATE = 5;

WCHAR timeSeparator()
{
    static const WCHAR separator = [] {
        WCHAR text[8] = {};
        return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, text, 8) > 0 && text[0] ? text[0] : u':';
    }();
    return separator;
}

} // namespace

uint32_t ElapsedTime()
{
    return EngineTime() - g_game.tStart;
}

void Penalise(uint32_t ms)
{
    g_game.tStart -= ms;
}

void RefreshStatus()
{
    g_status.cTilesLeft = cDECK - 3 * g_game.cFound - CountTiles();
    if (g_game.fPaused)
        return;
    if (!g_game.fActive) {
        g_status.dwEstimate = g_status.dwTime;
        return;
    }
    g_status.dwTime = ElapsedTime();
    g_status.dwAverage = g_game.cFound > 0 ? g_status.dwTime / g_game.cFound : 0;
    g_status.dwEstimate
        = g_game.cFound >= cQUIBOS_BEFORE_ESTIMATE ? g_status.dwTime + g_status.dwAverage * ((g_status.cTilesLeft + 3) / 3) : 0;
}

string FormatTime(uint32_t ms)
{
    const unsigned long seconds = ms / 1000;
    return sformat("%lu%c%02lu", seconds / 60, timeSeparator(), seconds % 60);
}
