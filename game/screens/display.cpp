#include "display.h"

#include "aux_control.h"
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "game.h"
#include "language.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr char kDefaultFont[] = "MS Shell Dlg";
constexpr int kMaxPressed = 4;
constexpr int kMaxFonts = 16;
constexpr int kSparkleLife = 8; // periods
constexpr int kSparkleKinds = 3;

enum : UINT {
    kStrTime = 10,
    kStrTiles = 12,
    kStrAverage = 132,
    kStrEstimate = 134,
};

enum : int {
    kSparkleCounter = 0,
    kSparklePeriod = 1,
    kSparkleFrame = 2,
};

struct FACEOF {
    int command;
    int face;
};
constexpr FACEOF kFaces[] = {
    {IDC_MENU, FACE_MENU},
    {IDC_PAUSE, FACE_PAUSE},
    {IDC_NEW, FACE_NEW},
    {IDC_EXIT, FACE_EXIT},
    {IDC_ADD, FACE_ADD},
    {IDC_HINT, FACE_HINT},
    {IDC_TUTORIAL, FACE_TUTORIAL},
    {IDC_OPTIONS, FACE_OPTIONS},
    {IDC_VIEWLOCAL, FACE_VIEWSCORES},
    {IDC_PUBLISH, FACE_PUBLISH},
    {IDC_VIEWNET, FACE_VIEWSCORES},
    {IDC_MENUDONE, FACE_DONE},
    {IDC_EFFECTS, FACE_CHANGE},
    {IDC_ANIMATION, FACE_CHANGE},
    {IDC_SOUNDS, FACE_CHANGE},
    {IDC_MUSIC, FACE_CHANGE},
    {IDC_LANGUAGE, FACE_CHANGE},
    {IDC_OPTIONSDONE, FACE_DONE},
    {IDC_BACK, FACE_BACK},
    {IDC_NEXT, FACE_NEXT},
    {IDC_TUTORIALDONE, FACE_DONE},
    {IDC_HIGHDONE, FACE_DONE},
    {IDC_HIGHPUBLISH, FACE_PUBLISH},
};

// Layout values kept from the layout they were read from.
struct GEOMETRY {
    int generation; // 0: not read yet
    int yTop;
    int xFour;
    int xFive;
    int cxSpacing;
    int cySpacing;
    int cxWindow;
    int cyWindow;
    int cEffects;
    int effectsFrequency;
};

struct FONTCACHE {
    string spec[kMaxFonts];
    LANGID language[kMaxFonts];
    HFONT font[kMaxFonts];
    int c;
};

// What the play screen shows and the status values its texts were built from.
struct PLAYSCREEN : PLAYELEMENTS {
    uint32_t shown[4]; // time, tiles left, average, estimate
};

struct DISPLAYSTATE {
    AnimWindow* window;
    HWND commandWindow;
    string font;
    ANIMOBJECT* pressed[kMaxPressed];
    int cPressed;
    GEOMETRY geometry;
    FONTCACHE fonts;
    PLAYSCREEN play;
};
DISPLAYSTATE g_display;

const GEOMETRY& Geometry()
{
    GEOMETRY& g = g_display.geometry;
    if (g.generation != LayoutGeneration() || g.generation == 0) {
        g.generation = LayoutGeneration();
        g.yTop = LayoutNumber("yTILES_TOP");
        g.xFour = LayoutNumber("xTILES_LEFT_FOUR");
        g.xFive = LayoutNumber("xTILES_LEFT_FIVE");
        g.cxSpacing = LayoutNumber("cxTILES_SPACING");
        g.cySpacing = LayoutNumber("cyTILES_SPACING");
        g.cxWindow = LayoutNumber("cxWINDOW");
        g.cyWindow = LayoutNumber("cyWINDOW");
        g.cEffects = LayoutNumber("object-effects count");
        g.effectsFrequency = LayoutNumber("object-effects freq");
    }
    return g;
}

// Fonts are made once per font text and language and kept for the run.
HFONT ScreenFont(const string& spec)
{
    FONTCACHE& c = g_display.fonts;
    const LANGID language = CurrentLanguageId();
    for (int i = 0; i < c.c; ++i)
        if (c.spec[i] == spec && c.language[i] == language)
            return c.font[i];
    HFONT font = CreateCatalogFont(spec.View());
    if (font && c.c < kMaxFonts) {
        c.spec[c.c] = spec;
        c.language[c.c] = language;
        c.font[c.c++] = font;
    }
    return font;
}

void SetElementRect(ANIMOBJECT* object, const RECT& rect)
{
    if (ANIMCONTROL* control = ANIMCONTROL::FromObject(object))
        control->SetRect(&rect);
    else
        object->SetRect(rect);
}

void AddPressed(ANIMOBJECT* object)
{
    if (object && !IsPressed(object) && g_display.cPressed < kMaxPressed)
        g_display.pressed[g_display.cPressed++] = object;
}

void RemovePressed(const ANIMOBJECT* object)
{
    int n = 0;
    for (int i = 0; i < g_display.cPressed; ++i)
        if (g_display.pressed[i] != object)
            g_display.pressed[n++] = g_display.pressed[i];
    g_display.cPressed = n;
}

// The paint hook: the face, or while pressed the shimmering frame with the face's caption.
LRESULT ButtonPaint(ANIMOBJECT* object, UINT message, void* data)
{
    if (message != kObjDraw)
        return 1;
    const auto* draw = static_cast<const ANIMDRAW*>(data);
    ANIMCONTROL* control = ANIMCONTROL::FromObject(object);
    const int cell = control ? ButtonFaceCell(control->GetId()) : -1;
    if (cell < 0)
        return 0;
    const int set = CurrentFaceSet();
    const POINT at{object->rect.left, object->rect.top};
    if (!IsPressed(object)) {
        DrawImageAt(*draw, g_media.rgFaces[set][cell], at.x, at.y);
    } else {
        const DWORD frame = object->window->GetCurrentFrame() % cBUTTON_FRAMES;
        DrawImageAt(*draw, g_media.rgButtonsDown[frame], at.x, at.y);
        DrawImageAt(*draw, g_media.rgCaptions[set][cell], at.x + xCAPTION, at.y + yCAPTION);
    }
    return 0;
}

// The notification hook: the pressed look coming on and going off. The click itself goes on
// to the main window as its command.
LRESULT CALLBACK ButtonNotify(HWND caller, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND)
        return 0;
    auto* button = reinterpret_cast<ANIMBUTTON*>(lParam);
    switch (HIWORD(wParam)) {
    case kButtonClicked:
        if (caller)
            SendMessageW(caller, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), lParam);
        break;
    case kButtonPressed:
        EmptyPressedList();
        AddPressed(button->Object());
        PlayGameSound(SOUND_BUTTON_DOWN);
        break;
    default:
        RemovePressed(button->Object());
        PlayGameSound(SOUND_BUTTON_UP);
        break;
    }
    return 0;
}

bool WindowHolds(const ANIMOBJECT* object)
{
    AnimWindow* window = g_display.window;
    if (!IsLiveWindow(window))
        return false;
    for (ANIMOBJECT* o = window->FirstObject(); o; o = o->next)
        if (o == object)
            return true;
    return false;
}

// A status text: its label, three blanks and the value; empty when blankAtZero and 0.
void RefreshStatusText(ANIMTEXT* text, int i, UINT label, uint32_t value, bool fTime, bool blankAtZero, bool force)
{
    uint32_t& shown = g_display.play.shown[i];
    if (!text || (!force && shown == value))
        return;
    shown = value;
    string content;
    if (!(blankAtZero && value == 0)) {
        content = string(LoadCatalogString(label));
        content += "   ";
        content += fTime ? FormatTime(value).View() : std::string_view(std::to_string(value));
    }
    text->SetText(content);
    text->Invalidate();
}

void RefreshPlayTexts(bool force)
{
    PLAYSCREEN& p = g_display.play;
    RefreshStatus();
    RefreshStatusText(p.time, 0, kStrTime, g_status.dwTime, true, false, force);
    RefreshStatusText(p.tiles, 1, kStrTiles, g_status.cTilesLeft, false, false, force);
    RefreshStatusText(p.average, 2, kStrAverage, g_status.dwAverage, true, true, force);
    RefreshStatusText(p.estimate, 3, kStrEstimate, g_status.dwEstimate, true, true, force);
}

ANIMTEXT* MakeLabel(std::string_view name, UINT label)
{
    ANIMTEXT* text = MakeText(name, string(LoadCatalogString(label)), true, 0);
    if (text)
        text->SetColor(kColorText, crHIGHLIGHT);
    return text;
}

ANIMBUTTON* GuideButton()
{
    if (CurrentScreen() == SCREEN_TUTORIAL)
        return TutorialGuide();
    if (g_game.fActive && g_game.fPaused)
        return g_display.play.pause;
    if (!g_game.fActive)
        return g_display.play.newGame;
    return nullptr;
}

void AgeSparkles(int* alive)
{
    AnimWindow* window = g_display.window;
    for (ANIMOBJECT* o = window->FirstInLayer(iLAYER_SPARKLES); o && o->layer == iLAYER_SPARKLES;) {
        ANIMOBJECT* next = o->next;
        const auto counter = int(o->GetData(kSparkleCounter)) + 1;
        const int period = std::max(int(o->GetData(kSparklePeriod)), 1);
        o->SetData(kSparkleCounter, UINT_PTR(counter));
        if (counter / period >= kSparkleLife) {
            o->Destroy();
        } else {
            ++*alive;
            if (counter % period == 0) {
                const int frame = std::min(int(o->GetData(kSparkleFrame)) + 1, cEFFECT_FRAMES - 1);
                o->SetData(kSparkleFrame, UINT_PTR(frame));
                o->SetGraphic(g_media.rgEffects[frame]);
            }
        }
        o = next;
    }
}

void StartSparkle()
{
    AnimWindow* window = g_display.window;
    const int kind = std::rand() % kSparkleKinds;
    const int frame = cEFFECT_KIND_FRAMES * kind;
    Graphic* cell = g_media.rgEffects[frame];
    ANIMOBJECT* sparkle = ANIMOBJECT::Create(window, cell, iLAYER_SPARKLES);
    if (!sparkle)
        return;
    const int period = std::rand() % 2 + 1;
    sparkle->SetData(kSparkleCounter, 0);
    sparkle->SetData(kSparkleFrame, UINT_PTR(frame));
    sparkle->SetData(kSparklePeriod, UINT_PTR(period));
    const int cx = cell ? cell->GetWidth() : cxEFFECT;
    const int cy = cell ? cell->GetHeight() : cyEFFECT;
    const int xRange = window->GetWidth() - cx / 2;
    const int yRange = window->GetHeight() - cy / 2;
    const int x = xRange > 0 ? std::rand() % xRange : 0;
    const int y = yRange > 0 ? std::rand() % yRange : 0;
    sparkle->SetPosition(x, y);
}

} // namespace

void SetDisplayWindow(AnimWindow* window, HWND commandWindow)
{
    g_display.window = window;
    g_display.commandWindow = commandWindow;
}

AnimWindow* DisplayWindow()
{
    return g_display.window;
}

int ButtonFaceCell(int command)
{
    for (const FACEOF& f : kFaces)
        if (f.command == command)
            return f.face;
    return -1;
}

void SetScreenFont(std::string_view fontKey, std::string_view suffix)
{
    g_display.font = LayoutText(fontKey);
    g_display.font += suffix;
}

ANIMBUTTON* MakeButton(std::string_view name, int command, bool slideIn)
{
    if (ElementNumber(name, "disable") != 0 || !g_display.window)
        return nullptr;
    ANIMBUTTON* button = ANIMBUTTON::Create(g_display.window, command, kButtonCentred, iLAYER_ELEMENTS);
    if (!button->Object()) {
        button->Destroy();
        return nullptr;
    }
    button->SetNotify(ButtonNotify, g_display.commandWindow);
    button->SetCustomHandler(ButtonPaint);
    const int left = ElementNumber(name, "left");
    const int top = ElementNumber(name, "top");
    const RECT target{left, top, left + cxBUTTON, top + cyBUTTON};
    if (slideIn)
        PlaceElement(button->Object(), target);
    else
        button->SetRect(&target);
    return button;
}

ANIMTEXT* MakeText(std::string_view name, const string& text, bool slideIn, int yOffset)
{
    if (ElementNumber(name, "disable") != 0 || !g_display.window)
        return nullptr;
    if (g_display.font.IsEmpty())
        g_display.font = kDefaultFont;
    ANIMTEXT* field = ANIMTEXT::Create(g_display.window, iLAYER_ELEMENTS, DWORD(ElementNumber(name, "flags")), text);
    if (!field->Object()) {
        field->Destroy();
        return nullptr;
    }
    field->SetColor(kColorBackground, kNoColor);
    field->SetColor(kColorText, crTEXT);
    if (HFONT font = ScreenFont(g_display.font))
        field->SetFont(font);
    const int left = ElementNumber(name, "left");
    const int top = ElementNumber(name, "top") + yOffset;
    const RECT target{left, top, left + ElementNumber(name, "width"), top + ElementNumber(name, "height")};
    if (slideIn)
        PlaceElement(field->Object(), target);
    else
        field->SetRect(&target);
    return field;
}

ANIMOBJECT* MakePicture(std::string_view name, Graphic* graphic)
{
    if (ElementNumber(name, "disable") != 0 || !g_display.window)
        return nullptr;
    ANIMOBJECT* picture = ANIMOBJECT::Create(g_display.window, graphic, iLAYER_PICTURES);
    if (!picture)
        return nullptr;
    picture->SetPosition(ElementNumber(name, "left"), ElementNumber(name, "top"));
    PlaceElement(picture, picture->GetRect());
    return picture;
}

void PlaceElement(ANIMOBJECT* object, const RECT& target)
{
    if (!object)
        return;
    if (g_settings.iEffects == EFFECTS_NONE) {
        SetElementRect(object, target);
        return;
    }
    const GEOMETRY& g = Geometry();
    const int xMiddle = g.cxWindow / 2;
    const int yMiddle = g.cyWindow / 2;
    const bool fUpper = target.top < yMiddle;
    const bool fLeft = target.left < xMiddle;
    const bool fStraddles = target.left < xMiddle && xMiddle < target.right;
    RECT start = target;
    if (CurrentScreen() == SCREEN_PLAY || fStraddles) {
        const int dy = fUpper ? -target.bottom : g.cyWindow - target.top;
        start.top += dy;
        start.bottom += dy;
    } else {
        const int dx = fLeft ? -target.right : g.cxWindow - target.left;
        start.left += dx;
        start.right += dx;
    }
    SetElementRect(object, start);
    Fly(object, target, true, true);
}

void DeleteElement(ANIMBUTTON*& button)
{
    if (!button)
        return;
    RemovePressed(button->Object());
    button->Destroy();
    button = nullptr;
}

void DeleteElement(ANIMTEXT*& text)
{
    if (!text)
        return;
    text->Destroy();
    text = nullptr;
}

void DeletePicture(ANIMOBJECT*& picture)
{
    if (picture && WindowHolds(picture))
        picture->Destroy();
    picture = nullptr;
}

void EmptyPressedList()
{
    for (int i = 0; i < g_display.cPressed; ++i)
        g_display.pressed[i]->Invalidate();
    g_display.cPressed = 0;
}

bool IsPressed(const ANIMOBJECT* object)
{
    return object && std::find(g_display.pressed, g_display.pressed + g_display.cPressed, object) != g_display.pressed + g_display.cPressed;
}

SIZE TileSize()
{
    const Graphic* face = g_media.rgTiles[TILE_NORMAL];
    return face ? SIZE{face->GetWidth(), face->GetHeight()} : SIZE{0, 0};
}

RECT TilePosition(int column, int row, bool fiveColumns)
{
    const GEOMETRY& g = Geometry();
    const SIZE tile = TileSize();
    AnimWindow* window = g_display.window;
    RECT r;
    if (row == -1) {
        const int right5 = g.xFive + 4 * g.cxSpacing + 5 * tile.cx;
        r.top = window ? window->GetHeight() : g.cyWindow;
        r.left = g.xFive + (right5 - tile.cx) / 2;
    } else {
        if (column == -1) {
            r.left = window ? window->GetWidth() : g.cxWindow;
            row = 1;
        } else {
            r.left = (fiveColumns ? g.xFive : g.xFour) + (tile.cx + g.cxSpacing) * column;
        }
        r.top = g.yTop + (tile.cy + g.cySpacing) * row;
    }
    r.right = r.left + tile.cx;
    r.bottom = r.top + tile.cy;
    return r;
}

const PLAYELEMENTS& PlayElements()
{
    return g_display.play;
}

void BuildPlayScreen()
{
    PLAYSCREEN& p = g_display.play;
    SetScreenFont("font-main", "");
    p.menu = MakeButton("button-menu", IDC_MENU, true);
    p.pause = MakeButton("button-pause", IDC_PAUSE, true);
    p.newGame = MakeButton("button-new", IDC_NEW, true);
    p.exit = MakeButton("button-exit", IDC_EXIT, true);
    p.add = MakeButton("button-add", IDC_ADD, true);
    p.hint = MakeButton("button-hint", IDC_HINT, true);
    p.time = MakeLabel("text-time", kStrTime);
    p.tiles = MakeLabel("text-tiles", kStrTiles);
    p.average = MakeLabel("text-average", kStrAverage);
    p.estimate = MakeLabel("text-estimate", kStrEstimate);
    p.logo = MakePicture("object-logo", g_media.pLogo);
    RefreshTexts(true);
}

void DeletePlayElements()
{
    PLAYSCREEN& p = g_display.play;
    for (ANIMBUTTON** button : {&p.menu, &p.pause, &p.newGame, &p.exit, &p.add, &p.hint})
        DeleteElement(*button);
    for (ANIMTEXT** text : {&p.time, &p.tiles, &p.average, &p.estimate})
        DeleteElement(*text);
    DeletePicture(p.logo);
}

void RefreshTexts(bool force)
{
    if (CurrentScreen() == SCREEN_PLAY)
        RefreshPlayTexts(force);
    else
        RefreshScreenTexts(force);
}

void DisplayTick()
{
    AnimWindow* window = g_display.window;
    if (!window)
        return;
    const GEOMETRY& g = Geometry();
    if (g_display.cPressed == 0)
        if (ANIMBUTTON* guide = GuideButton())
            AddPressed(guide->Object());
    // The pressed button's frame moves on with the window's frame number.
    for (int i = 0; i < g_display.cPressed; ++i)
        g_display.pressed[i]->Invalidate();
    int alive = 0;
    AgeSparkles(&alive);
    if (g_settings.iEffects == EFFECTS_ALL && alive < g.cEffects && g.effectsFrequency > 0 && std::rand() % g.effectsFrequency == 0)
        StartSparkle();
}

int SparkleCount()
{
    AnimWindow* window = g_display.window;
    int c = 0;
    for (ANIMOBJECT* o = window ? window->FirstInLayer(iLAYER_SPARKLES) : nullptr; o && o->layer == iLAYER_SPARKLES; o = o->next)
        ++c;
    return c;
}
