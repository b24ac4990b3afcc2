// The play display: the element builders every screen shares (buttons, text fields, pictures
// placed from the layout and drawn from the media set), how elements fly in, how buttons look
// and sound when pressed, the play screen with its status texts, the tile geometry, and the
// per-frame work: the shimmering guide button and the sparkles.
//
// Elements are engine objects in layer 150 (pictures 151), in front of the sparkles (500) and
// behind the resting tiles (100). An element the layout disables is never made: every builder
// then returns none and everything that would use it skips it.
#pragma once

#include "windows.h"

#include <string_view>

class ANIMBUTTON;
class ANIMCONTROL;
class ANIMTEXT;
class string;
struct ANIMOBJECT;
struct AnimWindow;
struct Graphic;

constexpr int iLAYER_ELEMENTS = 150;
constexpr int iLAYER_PICTURES = 151;
constexpr int iLAYER_SPARKLES = 500;

constexpr COLORREF crTEXT = 0x00FFFFFF; // white
constexpr COLORREF crHIGHLIGHT = 0x0000FFFF; // yellow

// The commands of the screens' buttons, sent to the main window as WM_COMMAND.
enum : int {
    IDC_MENU = 1002,
    IDC_PAUSE = 1003,
    IDC_NEW = 1004,
    IDC_EXIT = 1005,
    IDC_ADD = 1006,
    IDC_HINT = 1007,
    IDC_TUTORIAL = 1008,
    IDC_OPTIONS = 1009,
    IDC_VIEWLOCAL = 1010,
    IDC_PUBLISH = 1011,
    IDC_VIEWNET = 1012,
    IDC_MENUDONE = 1013,
    IDC_EFFECTS = 1014,
    IDC_ANIMATION = 1015,
    IDC_SOUNDS = 1016,
    IDC_MUSIC = 1017,
    IDC_LANGUAGE = 1018,
    IDC_OPTIONSDONE = 1019,
    IDC_BACK = 1020,
    IDC_NEXT = 1021,
    IDC_TUTORIALDONE = 1022,
    IDC_HIGHDONE = 1023,
    IDC_HIGHPUBLISH = 1025,
};

// The window the display builds on, and the window whose procedure receives the buttons'
// commands. Set once the main window exists, before any screen is built.
void SetDisplayWindow(AnimWindow* window, HWND commandWindow);
AnimWindow* DisplayWindow();

// The builders. name is the element's layout name ("button-menu", "text-time", "object-logo").
ANIMBUTTON* MakeButton(std::string_view name, int command, bool slideIn);
ANIMTEXT* MakeText(std::string_view name, const string& text, bool slideIn, int yOffset);
ANIMOBJECT* MakePicture(std::string_view name, Graphic* graphic);
// The font of the text fields made from now on: the text of fontKey followed by suffix (""
// or ",B").
void SetScreenFont(std::string_view fontKey, std::string_view suffix);
// Puts the element at target, flying it in from the nearest edge when special effects are on.
void PlaceElement(ANIMOBJECT* object, const RECT& target);

// Deletes an element and clears its static; a picture only when the window still holds it.
void DeleteElement(ANIMBUTTON*& button);
void DeleteElement(ANIMTEXT*& text);
void DeletePicture(ANIMOBJECT*& picture);

// The face cell of a button's command (FACE_*), or -1.
int ButtonFaceCell(int command);

// The buttons drawn pressed: at most one in practice.
void EmptyPressedList(); // redraws the buttons it held
bool IsPressed(const ANIMOBJECT* object);

// The tile geometry. Column -1: a tile arriving from the deck, right of the window at the
// middle row; row -1: a tile leaving, below the window.
RECT TilePosition(int column, int row, bool fiveColumns);
SIZE TileSize();

// The play screen. Its elements are deleted by DeletePlayElements (the screen switch's
// tear-down).
struct PLAYELEMENTS {
    ANIMBUTTON* menu;
    ANIMBUTTON* pause;
    ANIMBUTTON* newGame;
    ANIMBUTTON* exit;
    ANIMBUTTON* add;
    ANIMBUTTON* hint;
    ANIMTEXT* time;
    ANIMTEXT* tiles;
    ANIMTEXT* average;
    ANIMTEXT* estimate;
    ANIMOBJECT* logo;
};
// None where the layout disables an element or the play screen is not up.
const PLAYELEMENTS& PlayElements();
void BuildPlayScreen();
void DeletePlayElements();

// Refreshes the texts of the current screen: each play status text only when its value changed,
// or all of them when forced.
void RefreshTexts(bool force);

// The per-frame work: the guide button, the pressed button's shimmer and the sparkles.
void DisplayTick();
// Sparkles alive now (objects of the sparkle layer).
int SparkleCount();
