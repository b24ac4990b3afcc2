// QuiboSetup: the installer's window and panes, the target choice, and the install thread that
// puts the game on the desktop and on a connected handheld.
#include "cea_sprite.h"
#include "install.h"
#include "language.h"
#include "sformat.h"
#include "skinwindow.h"
#include "sl_main.h"
#include "sl_toolkit.h"
#include "trace.h"
#include "unzipper.h"
#include "utf.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

struct UPDATESTATUS {
    DWORD bar;
    DWORD percent;
    char text[256];
};

enum : int {
    kInstall = 1000,
    kEnglish = 1001,
    kEsperanto = 1002,
    kDesktopOnly = 1003,
    kBoth = 1004,
    kHandheldOnly = 1005,
    kTitle = 1006,
    kRescan = 1007,
    kBar1 = 1008,
    kBar2 = 1009,
    kStatusRecord = 1010,
    kStatus = 1011,
    kResult = 1012,
};

struct INSTALLER {
    HINSTANCE module = nullptr;
    std::unique_ptr<SKIN> skin;
    std::unique_ptr<SETUPLIB> setup;
    std::unique_ptr<ZIPFILE> payload;
    SKINWINDOW* window = nullptr;
    SKINWINDOWINSET* welcome = nullptr;
    SKINWINDOWINSET* target = nullptr; // the target choice or the no-handheld pane
    SKINWINDOWINSET* progress = nullptr;
    int targetKind = 0; // 0 desktop only, 1 both, 2 handheld only
    int result = 0; // 0 not run, 1 installed, 2 failed
    Sprite* installPicture = nullptr;
    Sprite* rescanPicture = nullptr;
    std::string error;
    HANDLE thread = nullptr;
};
INSTALLER g;

std::string Text(UINT id)
{
    return Utf16ToUtf8(LoadCatalogString(id));
}

std::string Fill(UINT id, const std::string& value)
{
    std::string text = Text(id);
    const size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

Sprite* Picture(int id)
{
    return new Sprite(g.module, MAKEINTRESOURCEW(id), RGB(0, 0, 255), 1, 1, 1);
}

void ShowPanes();
LRESULT WelcomeHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM);

void DestroyPanes()
{
    delete g.welcome;
    delete g.target;
    delete g.progress;
    g.welcome = g.target = g.progress = nullptr;
}

// The status line of one step, with only the last part of its path.
void StatusCallback(int kind, int percent, LPCTSTR path, LPARAM bar)
{
    auto* record = new UPDATESTATUS{DWORD(bar), DWORD(percent), {}};
    std::string name = path ? path : "";
    const size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos)
        name = name.substr(cut + 1);
    const UINT id = kind == 0 ? 6 : kind == 1 ? 8 : kind == 2 ? 10 : kind == 4 ? 14 : 12;
    const string text = sformat(LoadCatalogString(id), long(percent), name.c_str());
    std::strncpy(record->text, text.c_str(), sizeof record->text - 1);
    g.window->Post(WM_COMMAND, kStatusRecord, reinterpret_cast<LPARAM>(record));
}

bool Fail(UINT id, const std::string& path)
{
    g.error = Fill(id, path);
    Trace("QuiboSetup: %s", g.error.c_str());
    return false;
}

bool InstallOn(SETUPTOOLKIT* t, int bar)
{
    t->setcallback(StatusCallback, bar);
    INSTALLFAILURE failure;
    return InstallTarget(t, g.payload.get(), failure) || Fail(failure.message, failure.path);
}

DWORD WINAPI InstallThread(LPVOID)
{
    bool ok = true;
    if (g.targetKind == 0 || g.targetKind == 1)
        ok = InstallOn(g.setup->desktop(), kBar1);
    if (ok && (g.targetKind == 2 || g.targetKind == 1)) {
        SETUPTOOLKIT* handheld = g.setup->handheld();
        ok = handheld ? InstallOn(handheld, g.targetKind == 1 ? kBar2 : kBar1) : Fail(kCannotInstallFile, "\\");
    }
    g.window->Post(WM_COMMAND, kResult, ok ? 1 : 0);
    return 0;
}

LRESULT ProgressHandler(SKINPANE* pane, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        pane->SetText(kStatus, "");
        g.thread = CreateThread(nullptr, 0, InstallThread, nullptr, 0, nullptr);
    }
    return 0;
}

LRESULT TargetHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        pane->SetCheck(kDesktopOnly + g.targetKind, true);
        Trace("QuiboSetup: target choice shown with target %d", g.targetKind);
    } else if (message == WM_COMMAND && LOWORD(wParam) >= kDesktopOnly && LOWORD(wParam) <= kHandheldOnly)
        g.targetKind = pane->GetCheck(kDesktopOnly) ? 0 : pane->GetCheck(kBoth) ? 1 : 2;
    return 0;
}

LRESULT NoHandheldHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        g.targetKind = 0;
    else if (message == WM_SKINREADY)
        pane->SetPicture(kRescan, g.rescanPicture, 5, 16);
    else if (message == WM_COMMAND && LOWORD(wParam) == kRescan && g.setup->findhandheld(1000)) {
        // Replaced after this handler returns: the pane must not be freed under its own call.
        g.targetKind = 1;
        g.window->Post(WM_COMMAND, kRescan + 0x10000, 0);
    }
    return 0;
}

void ShowPanes()
{
    g.welcome = new SKINWINDOWINSET(g.window, "", WelcomeHandler, 103);
    if (g.setup->findhandheld(0))
        g.target = new SKINWINDOWINSET(g.window, "", TargetHandler, 105);
    else
        g.target = new SKINWINDOWINSET(g.window, "", NoHandheldHandler, 107);
}

LRESULT WelcomeHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        pane->SetCheck(CurrentLanguageId() == LANGID_ENGLISH ? kEnglish : kEsperanto, true);
        g.window->SetText(kTitle, Text(2));
        g.window->SetTitle(Text(4));
        return 0;
    case WM_SKINREADY: pane->SetPicture(kInstall, g.installPicture, 5, 16); return 0;
    case WM_COMMAND: g.window->Post(WM_COMMAND, LOWORD(wParam) + 0x10000, 0); return 0;
    default: return 0;
    }
}

// Pane changes run from the window's own commands, never inside the pane being replaced.
void PaneCommand(int id)
{
    switch (id) {
    case kEnglish:
    case kEsperanto: {
        const LANGID chosen = g.welcome->GetCheck(kEnglish) ? LANGID_ENGLISH : 0;
        if (chosen == CurrentLanguageId())
            return;
        g.window->SuspendPainting(true);
        SetLanguage(chosen);
        DestroyPanes();
        ShowPanes();
        g.window->SuspendPainting(false);
        return;
    }
    case kInstall:
        DestroyPanes();
        g.progress = new SKINWINDOWINSET(g.window, "", ProgressHandler, g.targetKind == 1 ? 111 : 109);
        return;
    case kRescan:
        delete g.target;
        g.target = new SKINWINDOWINSET(g.window, "", TargetHandler, 105);
        return;
    default: return;
    }
}

LRESULT MainHandler(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        g.window = static_cast<SKINWINDOW*>(pane);
        ShowPanes();
        return 0;
    case WM_DESTROY: DestroyPanes(); return 0;
    case WM_COMMAND:
        if (wParam & 0x10000) {
            PaneCommand(int(wParam & 0xFFFF));
        } else if (LOWORD(wParam) == IDCANCEL) {
            if (!g.thread)
                g.window->EndModal(0);
        } else if (LOWORD(wParam) == kStatusRecord && lParam) {
            auto* record = reinterpret_cast<UPDATESTATUS*>(lParam);
            Trace("QuiboSetup: bar %lu at %lu%%", static_cast<unsigned long>(record->bar), static_cast<unsigned long>(record->percent));
            if (g.progress) {
                g.progress->SetPosition(int(record->bar), int(record->percent));
                g.progress->SetText(kStatus, record->text);
            }
            delete record;
        } else if (LOWORD(wParam) == kResult) {
            g.result = lParam ? 1 : 2;
            g.window->EndModal(0);
        }
        return 0;
    default: return 0;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g.module = instance;
    SelectLanguage("Quibo", 1);
    if (!SkinLibStartup(instance, 500))
        return 0;
    try {
        g.skin = SKIN::FromResource(instance, MAKEINTRESOURCEA(800), "ZIP");
        g.skin->Properties().Set(istring(string("Font")), cetl::PROPERTIESVALUE(string("MS Shell Dlg,-14")));
        g.setup = std::make_unique<SETUPLIB>();
        g.payload = std::make_unique<ZIPFILE>(instance, MAKEINTRESOURCEA(113), "ZIP", false);
        g.skin->AddFile("QuiboSetup Frame.psp", Picture(501));
        g.installPicture = Picture(502);
        g.rescanPicture = Picture(503);
        {
            SKINWINDOW window(g.skin.get(), "QuiboSetup", MainHandler, 101);
            window.RunModal();
            // The posted result comes after the thread's last record; the thread is done.
            if (g.thread) {
                WaitForSingleObject(g.thread, INFINITE);
                CloseHandle(g.thread);
            }
        }
        g.window = nullptr;
        if (g.result == 1)
            SkinMessageBox(g.skin.get(), MB_ICONINFORMATION, Text(4), Text(16));
        else if (g.result == 2)
            SkinMessageBox(g.skin.get(), MB_ICONHAND, Text(4), Fill(18, g.error));
    } catch (const SKINERROR& e) {
        MessageBoxW(nullptr, Utf8ToUtf16(e.what()).c_str(), u"QuiboSetup", MB_ICONHAND);
    }
    g.payload.reset();
    g.setup.reset();
    g.skin.reset();
    delete g.installPicture;
    delete g.rescanPicture;
    SkinLibShutdown();
    return 0;
}
