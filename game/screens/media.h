// The media set: the pack that fits the display, its images cut into cells, and the game's
// sounds. The pack is open from ChoosePack until ClosePack; the images and sounds it gave stay
// until FreeImages and FreeSounds at exit. Screens borrow the graphics and never free them.
//
// LoadSounds and LoadImages run on the intro's loader thread; nothing reads the media set
// before the loader has ended.
#pragma once

#include "tl_string.h"

#include "windows.h"

#include <string_view>

struct Graphic;
struct PaletteGroup;
struct SOUND;
struct ZIPENTRY;
class ZIPFILE;

// Cell sizes of the pack's images.
constexpr int cxBUTTON = 68;
constexpr int cyBUTTON = 46;
constexpr int xCAPTION = 16; // the caption piece inside a button face
constexpr int yCAPTION = 17;
constexpr int cxCAPTION = 35;
constexpr int cyCAPTION = 12;
constexpr int cxEFFECT = 64;
constexpr int cyEFFECT = 64;

constexpr int cBUTTON_FRAMES = 10; // the pressed-button background, animated
constexpr int cBUTTON_FACES = 14;
constexpr int cEFFECT_FRAMES = 24; // three kinds of eight
constexpr int cEFFECT_KIND_FRAMES = 8;
constexpr int cINSET_COLUMNS = 6;
constexpr int cINSET_ROWS = 9;
constexpr int cINSETS = cINSET_COLUMNS * cINSET_ROWS;
constexpr int cTILE_FACES = 3;
constexpr int cBANNERS = 3;

// The button face cells.
enum BUTTONFACE : int {
    FACE_MENU = 0,
    FACE_PAUSE = 1,
    FACE_NEW = 2,
    FACE_EXIT = 3,
    FACE_TUTORIAL = 4,
    FACE_PUBLISH = 5,
    FACE_OPTIONS = 6,
    FACE_VIEWSCORES = 7,
    FACE_DONE = 8,
    FACE_ADD = 9,
    FACE_HINT = 10,
    FACE_CHANGE = 11,
    FACE_BACK = 12,
    FACE_NEXT = 13,
};

// The tile face cells.
enum TILEFACE : int {
    TILE_NORMAL = 0,
    TILE_SELECTED = 1,
    TILE_BACK = 2, // while the game is paused: no images
};

// The faces and banners come in one set per language.
enum FACESET : int {
    SET_ENGLISH = 0,
    SET_ESPERANTO = 1,
    cFACESETS = 2,
};

struct MEDIASET {
    PaletteGroup* pGroup; // every pack image is in it
    Graphic* pButtonsDown;
    Graphic* rgButtonsDown[cBUTTON_FRAMES];
    Graphic* pFaces[cFACESETS];
    Graphic* rgFaces[cFACESETS][cBUTTON_FACES];
    Graphic* rgCaptions[cFACESETS][cBUTTON_FACES];
    Graphic* pEffects;
    Graphic* rgEffects[cEFFECT_FRAMES];
    Graphic* pInsets;
    Graphic* rgInsets[cINSETS];
    Graphic* pTiles;
    Graphic* rgTiles[cTILE_FACES];
    Graphic* pBanners[cFACESETS];
    Graphic* rgBanners[cFACESETS][cBANNERS];
    Graphic* pDivider;
    Graphic* pLogo;
};
extern MEDIASET g_media;

// The face set of the active language: Esperanto for language 0, else English.
int CurrentFaceSet();
// The game-over banner of the high-score screen in the active language: 0 the table viewed
// from the menu, 1 a game that did not enter it, 2 a new entry. None for another mode.
Graphic* GameOverBanner(int mode);

// The game's sounds: program resources 205 to 215.
enum GAMESOUND : int {
    SOUND_NOT_QUIBO = 205,
    SOUND_HIGH_SCORE = 206,
    SOUND_REFUSED = 207,
    SOUND_FLIGHT = 208,
    SOUND_NO_HIGH_SCORE = 209,
    SOUND_QUIBO = 210,
    SOUND_HINT = 211,
    SOUND_SELECT = 212,
    SOUND_DEAL = 213,
    SOUND_BUTTON_DOWN = 214,
    SOUND_BUTTON_UP = 215,
};
constexpr int cGAMESOUNDS = 11;

// Chooses the pack for the display (its size and depth from the engine), opens it from the
// program's folder (or the folder above when the program's holds no pack, or that folder's
// share/quibo when neither does, as under an installed prefix) and loads its layout.
// False when no pack opens.
bool ChoosePack();
// The same from the folder of the program path given ('/' or '\' separated).
bool ChoosePackFor(const string& programPath);
// The name of the pack that is open, or empty.
string OpenPackName();
bool LoadSounds();
// False when any image fails; the images loaded so far stay until FreeImages.
bool LoadImages();
void ClosePack();
void FreeImages();
void FreeSounds();

// The sound of a resource id, or none when it could not be made.
SOUND* GameSound(int sound);
// Plays the sound from its start when it exists and sound effects are on.
void PlayGameSound(int sound);

// The image operations.

// A layered image in a ".zz" container, in the media palette group when one is open; none when
// the entry is missing or empty or does not unpack or decode.
Graphic* LoadImageEntry(ZIPENTRY* entry, COLORREF transparency);
// The same for an entry of the open pack.
Graphic* LoadPackImage(std::string_view entryName, COLORREF transparency);
// A child graphic viewing that rectangle of the sheet.
Graphic* ImageCell(Graphic* sheet, int x, int y, int cx, int cy);
// Cells of cx by cy, left to right then top to bottom, as many columns as the sheet's width
// holds (rounded up). False when a cell could not be made.
bool CutBySize(Graphic* sheet, Graphic** cells, int count, int cx, int cy);
// Cells of a grid of columns by rows over the whole sheet.
bool CutByGrid(Graphic* sheet, Graphic** cells, int count, int columns, int rows);
// Piece i: the rectangle at (xOffset, yOffset) of size cxPiece by cyPiece inside cell i of a
// cx by cy pattern.
bool CutPieces(Graphic* sheet, Graphic** pieces, int count, int cx, int cy, int xOffset, int yOffset, int cxPiece, int cyPiece);
// Frees the cells, then the sheet; every pointer becomes none.
void FreeCells(Graphic*& sheet, Graphic** cells, int count);
