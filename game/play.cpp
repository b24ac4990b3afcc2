// The game in progress: dealing, the player's taps, Add and Hint, pause, and the end of a game.
// The board's slots are the truth; the tile objects follow them by flights.
#include "cea_clock.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "highscores.h"
#include "media.h"
#include "namedialog.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"
#include "tile.h"
#include "trace.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr int cOPENING_COLUMNS = 4;
constexpr int cFULL_BOARD = 15;

PIECE& slot(int row, int column)
{
    return g_game.rgBoard[row][column];
}

// Traced, so that a test or a trace can tell what the player heard.
void sound(GAMESOUND id)
{
    Trace("game: sound %d", static_cast<int>(id));
    PlayGameSound(id);
}

bool smooth()
{
    return g_settings.fSmoothAnimation != 0;
}

// Pending flights: the schedule reaches beyond the frame now showing.
bool animating(AnimWindow* window)
{
    return window && window->GetCurrentFrame() != window->GetEndFrame();
}

void refresh()
{
    RefreshStatus();
    RefreshTexts(false);
}

void select(int row, int column, bool selected)
{
    PIECE& piece = slot(row, column);
    piece.fSelected = selected ? 1 : 0;
    if (piece.pObject)
        SetTileSelected(piece.pObject, selected);
}

// A new object for the tile in a slot, waiting at the deck's place beside the window.
ANIMOBJECT* makeTileObject(AnimWindow* window, int row, int column)
{
    PIECE& piece = slot(row, column);
    piece.pObject = CreateTileObject(window, piece, column, row);
    if (piece.pObject)
        piece.pObject->SetRect(TilePosition(-1, row, false));
    return piece.pObject;
}

// Each tile object learns the slot it now shows, so that its end clears the right one.
void retargetTileObjects()
{
    for (int row = 0; row < cROWS; ++row)
        for (int column = 0; column < cCOLUMNS; ++column)
            if (ANIMOBJECT* object = slot(row, column).pObject)
                SetTileSlot(object, column, row);
}

void dealOpeningBoard()
{
    PIECE found[3];
    do {
        BuildDeck();
        g_game.iNextTile = 0;
        for (int row = 0; row < cROWS; ++row)
            for (int column = 0; column < cOPENING_COLUMNS; ++column)
                slot(row, column) = g_game.rgDeck[g_game.iNextTile++];
    } while (!FindQuibo(SCOPE_BOARD, nullptr, found));
}

struct SELECTION {
    int count;
    int rows[3];
    int columns[3];
};

SELECTION selection()
{
    SELECTION s{};
    for (int row = 0; row < cROWS; ++row) {
        for (int column = 0; column < cCOLUMNS; ++column) {
            if (slot(row, column).fPresent && slot(row, column).fSelected && s.count < 3) {
                s.rows[s.count] = row;
                s.columns[s.count] = column;
                ++s.count;
            }
        }
    }
    return s;
}

// The first present slot whose tile matches; false when none does.
template<typename Match> bool findSlot(Match matches, int* row, int* column)
{
    for (int r = 0; r < cROWS; ++r) {
        for (int c = 0; c < cCOLUMNS; ++c) {
            if (slot(r, c).fPresent && matches(slot(r, c))) {
                *row = r;
                *column = c;
                return true;
            }
        }
    }
    return false;
}

// Selects the board's copy of a tile found by the search; false when it is not on the board.
bool selectTile(const PIECE& tile)
{
    int row;
    int column;
    if (!findSlot([&](const PIECE& piece) { return SameTile(piece, tile); }, &row, &column))
        return false;
    select(row, column, true);
    return true;
}

ANIMOBJECT* tileObjectAt(AnimWindow* window, POINT point)
{
    for (ANIMOBJECT* object = window->FirstObject(); object; object = object->next)
        if (PtInRect(&object->rect, point) && TileOf(object))
            return object;
    return nullptr;
}

} // namespace

void NewGame()
{
    AnimWindow* window = DisplayWindow();
    if (window) {
        window->BeginUpdate();
        window->AdvanceTo(kLastScheduledFrame);
    }
    for (auto& row : g_game.rgBoard)
        for (PIECE& piece : row)
            if (piece.pObject)
                piece.pObject->Destroy();
    std::memset(&g_game, 0, sizeof g_game);
    g_game.fActive = 1;
    g_game.fPaused = 0;
    g_game.tStart = EngineTime();
    dealOpeningBoard();

    if (window) {
        DWORD base = window->GetCurrentFrame();
        for (int column = 0; column < cOPENING_COLUMNS; ++column) {
            for (int row = 0; row < cROWS; ++row)
                if (ANIMOBJECT* object = makeTileObject(window, row, column))
                    Fly(object, TilePosition(column, row, false), false, false, base + row);
            base += smooth() ? 5 : 1;
        }
    }
    refresh();
    if (window)
        window->EndUpdate();
}

void ClickTile(POINT point)
{
    AnimWindow* window = DisplayWindow();
    if (g_game.fPaused || !g_game.fActive || !window)
        return;
    const ANIMOBJECT* object = tileObjectAt(window, point);
    int row;
    int column;
    if (!object || !findSlot([&](const PIECE& piece) { return piece.pObject == object; }, &row, &column))
        return;

    const SELECTION s = selection();
    PIECE& tapped = slot(row, column);
    const bool third = s.count == 2 && !tapped.fSelected;
    if (third && !IsQuibo(slot(s.rows[0], s.columns[0]), slot(s.rows[1], s.columns[1]), tapped)) {
        Penalise(tPENALTY_WRONG_THIRD);
        sound(SOUND_NOT_QUIBO);
        refresh();
        return;
    }

    window->BeginUpdate();
    select(row, column, !tapped.fSelected);
    bool over = false;
    if (third) {
        const DWORD end = TakeQuibo();
        sound(SOUND_QUIBO);
        if (CountTiles() < 12)
            AddTiles(false, end);
        PIECE found[3];
        if (!FindQuibo(SCOPE_REMAINING, nullptr, found)) {
            g_game.fActive = 0;
            refresh();
            over = true;
        }
    } else {
        sound(SOUND_SELECT);
    }
    window->EndUpdate();
    // The score goes to the table once the board is drawn as it stands.
    if (over)
        EndGame(g_status.dwTime);
}

DWORD TakeQuibo()
{
    AnimWindow* window = DisplayWindow();
    if (window)
        window->BeginUpdate();
    const DWORD f0 = window ? window->GetCurrentFrame() : 0;
    int rows[cROWS];
    const int n = CountTiles(rows);

    for (int row = 0; row < cROWS; ++row) {
        for (int column = 0; column < cCOLUMNS; ++column) {
            PIECE& piece = slot(row, column);
            if (!piece.fPresent || !piece.fSelected)
                continue;
            --rows[row];
            if (piece.pObject) {
                Fly(piece.pObject, TilePosition(column, -1, true), true, true, f0 + column + row);
                DeleteWhenDone(piece.pObject);
            }
            piece = PIECE{};
        }
    }

    CompactBoard(n, rows);
    retargetTileObjects();
    if (window) {
        const DWORD start = window->GetEndFrame();
        for (int row = 0; row < cROWS; ++row) {
            for (int column = 0; column < cCOLUMNS; ++column) {
                ANIMOBJECT* object = slot(row, column).pObject;
                const RECT target = TilePosition(column, row, false);
                if (object && !EqualRect(&object->rect, &target))
                    Fly(object, target, true, false, start);
            }
        }
    }

    ++g_game.cFound;
    refresh();
    if (!window)
        return 0;
    window->EndUpdate();
    return window->GetEndFrame();
}

void AddTiles(bool fromUser, DWORD startFrame)
{
    AnimWindow* window = DisplayWindow();
    if (g_game.fPaused || !g_game.fActive || (fromUser && animating(window)))
        return;
    if (window)
        window->BeginUpdate();
    PIECE found[3];
    const bool penalise = fromUser && FindQuibo(SCOPE_BOARD, nullptr, found);
    int rows[cROWS];
    const int n = CountTiles(rows);

    if (n < cFULL_BOARD && g_game.iNextTile < cDECK) {
        if (fromUser)
            sound(SOUND_FLIGHT);
        if (n == 12)
            PrepareAdd();
        if (startFrame == 0 && window)
            startFrame = window->GetCurrentFrame();
        if (penalise)
            Penalise(tPENALTY_NEEDLESS_ADD);
        const int columns = (n + 3) / 3;
        bool shifted = false;
        if (columns == cCOLUMNS) {
            for (int k = 0; k < cOPENING_COLUMNS; ++k) {
                for (int row = 0; row < cROWS; ++row) {
                    if (ANIMOBJECT* object = slot(row, k).pObject) {
                        Fly(object, TilePosition(k, row, true), true, false, startFrame + row + (smooth() ? 2 * k : 0));
                        shifted = true;
                    }
                }
            }
        }
        const DWORD s = startFrame + (shifted && smooth() ? 8 : 0);
        for (int row = 0; row < cROWS; ++row) {
            while (rows[row] < columns && g_game.iNextTile < cDECK) {
                const int column = rows[row]++;
                slot(row, column) = g_game.rgDeck[g_game.iNextTile++];
                if (!window)
                    continue;
                if (ANIMOBJECT* object = makeTileObject(window, row, column))
                    Fly(object, TilePosition(column, row, column == cCOLUMNS - 1), true, false, s + row);
            }
        }
    } else if (fromUser) {
        sound(SOUND_REFUSED);
    }
    refresh();
    if (window)
        window->EndUpdate();
}

void Hint()
{
    AnimWindow* window = DisplayWindow();
    if (g_game.fPaused || !g_game.fActive || animating(window))
        return;
    if (window)
        window->BeginUpdate();
    SELECTION s = selection();
    bool given = false;
    PIECE found[3];
    if (s.count == 1) {
        const int row = s.rows[0];
        const int column = s.columns[0];
        if (FindQuibo(SCOPE_BOARD, &slot(row, column), found) && selectTile(found[1])) {
            s.count = 2;
            Penalise(tPENALTY_HINT_PAIR);
            given = true;
        } else {
            select(row, column, false);
            s.count = 0;
        }
    }
    if (s.count == 0 && FindQuibo(SCOPE_BOARD, nullptr, found) && selectTile(found[0])) {
        Penalise(tPENALTY_HINT);
        given = true;
    }
    if (given) {
        sound(SOUND_HINT);
    } else {
        if (s.count != 2)
            Penalise(tPENALTY_NO_HINT);
        sound(SOUND_REFUSED);
    }
    refresh();
    if (window)
        window->EndUpdate();
}

void DeselectAll()
{
    if (g_game.fPaused)
        return;
    bool any = false;
    for (int row = 0; row < cROWS; ++row) {
        for (int column = 0; column < cCOLUMNS; ++column) {
            if (slot(row, column).fSelected) {
                select(row, column, false);
                any = true;
            }
        }
    }
    if (any)
        sound(SOUND_SELECT);
}

void TogglePause()
{
    if (!g_game.fActive)
        return;
    if (!g_game.fPaused) {
        g_game.tPauseStart = GetTickCount();
        g_game.fPaused = 1;
        // Nothing pasted elsewhere may help the player while the board is hidden.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    } else {
        g_game.tStart += GetTickCount() - g_game.tPauseStart;
        g_game.fPaused = 0;
    }
    // Paused tiles show their backs.
    for (auto& row : g_game.rgBoard)
        for (PIECE& piece : row)
            if (piece.pObject)
                piece.pObject->Invalidate();
}

void EndGame(uint32_t finalTime)
{
    const int rank = HighScoreRank(finalTime);
    if (rank < 0) {
        sound(SOUND_NO_HIGH_SCORE);
        ShowHighScores(1, -1);
        return;
    }
    sound(SOUND_HIGH_SCORE);
    AnimWindow* window = DisplayWindow();
    if (window)
        window->AdvanceTo(kLastScheduledFrame);
    // The animation window sits in the main window, which the name dialog keeps disabled.
    const std::u16string name = AskPlayerName(window ? GetParent(window->GetWindow()) : nullptr);
    EnterHighScore(rank, name, finalTime);
    ShowHighScores(2, rank);
}
