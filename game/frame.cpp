// The frame of the game program: start-up, the main window with its commands, taps, keys and
// clock, and the shutdown that writes the records back.
#include "frame.h"

#include "browser.h"
#include "cea_clock.h"
#include "cea_main.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "guilib.h"
#include "instance.h"
#include "keys.h"
#include "language.h"
#include "layout.h"
#include "logo.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"

#include <aygshell.h>
#include <hostscale.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

constexpr UINT IDD_MAIN = 200;
constexpr int IDC_ANIMWINDOW = 1001;
constexpr UINT_PTR CLOCK_TIMER = 1000;
constexpr UINT CLOCK_PERIOD = 250;
constexpr double FRAMES_PER_SECOND = 20;
constexpr UINT IDS_TITLE = 2;
constexpr UINT IDS_ERROR_CAPTION = 6;
constexpr UINT IDS_NO_GRAPHICS = 8;
constexpr WORD IDI_QUIBO = 500;

HINSTANCE g_instance;
HWND g_mainWindow;
AnimWindow* g_animWindow;
bool g_firstRun;
std::atomic<bool> g_mediaLoaded;

bool gameRunning()
{
    return g_game.fActive && !g_game.fPaused;
}

void showError()
{
    MessageBoxW(nullptr, LoadCatalogString(IDS_NO_GRAPHICS).c_str(), LoadCatalogString(IDS_ERROR_CAPTION).c_str(), MB_ICONINFORMATION);
}

void bringToFront(HWND window)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

void makeFullScreen(HWND window)
{
    SHINITDLGINFO init{};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = window;
    init.dwFlags = SHIDIF_FULLSCREENNOMENUBAR;
    SHInitDialog(&init);
    SHFullScreen(window, SHFS_HIDESIPBUTTON | SHFS_SHOWTASKBAR | SHFS_SHOWSTARTICON);
}

void saveOptions()
{
    SaveRecords();
    RefreshTexts(false);
}

LRESULT appCallback(AnimWindow* window, UINT code, WPARAM a, LPARAM b)
{
    switch (code) {
    case kAnimBackground: window->Invalidate(nullptr, true); break;
    case kAnimBeforeUpdate:
        DisplayTick();
        RefreshFocus();
        break;
    case kAnimEvent: SequencerEvent(static_cast<DWORD>(a), reinterpret_cast<ANIMOBJECT*>(b)); break;
    default: break;
    }
    return 1;
}

BOOL messageHook(AnimWindow* window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_LBUTTONDOWN) {
        const DWORD position = GetMessagePos();
        POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        ScreenToClient(window->GetWindow(), &point);
        ClickTile(point);
    } else if (message == WM_RBUTTONDOWN) {
        DeselectAll();
    } else if (message == WM_CHAR && wParam == VK_ESCAPE) {
        // Keys reach the animation window when it holds the focus, not the main window.
        DeselectAll();
    } else if (message == WM_KEYDOWN) {
        PlayKey(g_mainWindow, UINT(wParam));
    }
    return FALSE;
}

void layOut(HWND dialog)
{
    HWND control = GetDlgItem(dialog, IDC_ANIMWINDOW);
    g_animWindow = AnimWindow::FromWindow(control);
    if (g_animWindow) {
        g_animWindow->SetCallback(appCallback);
        g_animWindow->AddHook(messageHook, kHookAll);
        g_animWindow->SetFrameRate(FRAMES_PER_SECOND);
    }
    SetWindowTextW(dialog, LoadCatalogString(IDS_TITLE).c_str());
    // A dialog's class has no icon: the window takes the program's, big and small.
    const HANDLE big = LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_QUIBO));
    const HANDLE small = LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_QUIBO), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    SetWindowPos(dialog, nullptr, 0, 0, LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW"), SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect;
    GetWindowRect(dialog, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    MoveWindow(control, 0, 0, rect.right, rect.bottom, TRUE);
    SetDisplayWindow(g_animWindow, dialog);
}

void command(HWND dialog, WORD id)
{
    switch (id) {
    case CMD_TO_FRONT: bringToFront(dialog); break;
    case IDCANCEL:
    case IDC_EXIT: DestroyWindow(dialog); break;
    case IDC_MENU:
        if (gameRunning())
            TogglePause();
        ShowScreen(SCREEN_MENU, false);
        break;
    case IDC_PAUSE: TogglePause(); break;
    case IDC_NEW: NewGame(); break;
    case IDC_ADD: AddTiles(true, 0); break;
    case IDC_HINT: Hint(); break;
    case IDC_TUTORIAL: ShowScreen(SCREEN_TUTORIAL, false); break;
    case IDC_OPTIONS: ShowScreen(SCREEN_OPTIONS, false); break;
    case IDC_VIEWLOCAL: ShowHighScores(0, -1); break;
    case IDC_PUBLISH:
    case IDC_HIGHPUBLISH: PublishScores(); break;
    case IDC_VIEWNET: ViewNetScores(); break;
    case IDC_MENUDONE:
        if (g_game.fPaused)
            TogglePause();
        ShowScreen(SCREEN_PLAY, false);
        break;
    case IDC_EFFECTS:
        g_settings.iEffects = (g_settings.iEffects + 1) % (EFFECTS_ALL + 1);
        saveOptions();
        break;
    case IDC_ANIMATION:
        g_settings.fSmoothAnimation = !g_settings.fSmoothAnimation;
        saveOptions();
        break;
    case IDC_SOUNDS:
        g_settings.fSoundEffects = !g_settings.fSoundEffects;
        saveOptions();
        break;
    case IDC_MUSIC:
        g_settings.fMusic = !g_settings.fMusic;
        saveOptions();
        break;
    case IDC_LANGUAGE:
        SetLanguage(CurrentLanguageId() == LANGID_ENGLISH ? LANGID_ESPERANTO : LANGID_ENGLISH);
        RebuildScreen();
        break;
    case IDC_OPTIONSDONE: ShowScreen(SCREEN_MENU, false); break;
    case IDC_BACK: TutorialStep(-1); break;
    case IDC_NEXT: TutorialStep(+1); break;
    case IDC_TUTORIALDONE:
        if (!g_firstRun || g_game.fActive)
            ShowScreen(SCREEN_MENU, false);
        else
            ShowScreen(SCREEN_PLAY, true);
        break;
    case IDC_HIGHDONE:
        if (!g_game.fActive)
            ShowScreen(SCREEN_PLAY, true);
        else
            ShowScreen(SCREEN_MENU, false);
        break;
    default: break;
    }
}

INT_PTR CALLBACK mainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        g_mainWindow = dialog;
        PublishMainWindow(dialog);
        layOut(dialog);
        SetTimer(dialog, CLOCK_TIMER, CLOCK_PERIOD, nullptr);
        return 0;
    case WM_TIMER:
        // What makes the clock tick on screen.
        RefreshStatus();
        RefreshTexts(false);
        return 0;
    case WM_ACTIVATE: {
        const bool inactive = LOWORD(wParam) == WA_INACTIVE;
        if (inactive && gameRunning())
            TogglePause();
        if (g_animWindow)
            g_animWindow->SetHold(inactive);
        if (!inactive)
            makeFullScreen(dialog);
        return 0;
    }
    case WM_CHAR:
        if (wParam == VK_ESCAPE)
            DeselectAll();
        return 0;
    case WM_KEYDOWN: PlayKey(dialog, UINT(wParam)); return 0;
    case WM_COMMAND: command(dialog, LOWORD(wParam)); return 0;
    case WM_DESTROY:
        KillTimer(dialog, CLOCK_TIMER);
        SetDisplayWindow(nullptr, nullptr);
        g_animWindow = nullptr;
        g_mainWindow = nullptr;
        return 0;
    default: return FALSE;
    }
}

// Runs on the intro's worker thread; only the media set and the flag are touched.
bool loadMedia()
{
    LoadSounds();
    g_mediaLoaded = LoadImages();
    return g_mediaLoaded;
}

} // namespace

int WindowScale(SIZE screen, SIZE window, const char* forced)
{
    if (forced) {
        char* end = nullptr;
        const long n = std::strtol(forced, &end, 10);
        if (end != forced && *end == 0 && n >= 1 && n <= 8)
            return int(n);
    }
    if (window.cx <= 0 || window.cy <= 0)
        return 1;
    return std::max(1, int(std::min(screen.cx / window.cx, screen.cy / window.cy)));
}

bool StartUp(HINSTANCE instance)
{
    if (!ClaimSingleInstance(instance))
        return false;
    std::srand(EngineTime());
    g_instance = instance;
    g_firstRun = !LoadRecords();
    RegisterGuiLibDialogClass();
    // The engine measures the display: a true-colour desktop gets the high-colour pack rather
    // than being treated as a palettised handheld screen.
    if (!InitAnimEngine(instance, 0))
        return false;
    if (!ChoosePack()) {
        showError();
        return false;
    }
    // Crisp whole-number scaling on large screens; the game still composes at the layout's size.
    SetHostScale(WindowScale({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                             {LayoutNumber("cxWINDOW"), LayoutNumber("cyWINDOW")}, std::getenv("QUIBO_SCALE")));
    return true;
}

HWND CreateMainWindow()
{
    HWND main = CreateCatalogDialog(IDD_MAIN, nullptr, mainWindowProc);
    if (!main)
        return nullptr;
    ShowWindow(main, SW_SHOW);
    makeFullScreen(main);
    bringToFront(main);
    return main;
}

bool StartGame()
{
    if (RunLogo(g_animWindow, g_instance, loadMedia, false)) {
        ClosePack();
        ShowFirstScreen();
        return true;
    }
    // A window closed during the intro ends it too: that is no failure to report.
    if (!g_mediaLoaded && g_mainWindow)
        showError();
    if (g_mainWindow)
        DestroyWindow(g_mainWindow);
    return false;
}

void ShowFirstScreen()
{
    SetDisplayPaletteGroup(g_media.pGroup);
    if (g_firstRun)
        ShowScreen(SCREEN_TUTORIAL, false);
    else
        ShowScreen(SCREEN_PLAY, true);
}

void ShutDown()
{
    SaveRecords();
    DestroyLogo();
    FreeSounds();
    FreeImages();
}

void Run()
{
    if (CreateMainWindow() && StartGame() && g_animWindow)
        g_animWindow->Run(-1);
    ShutDown();
}
