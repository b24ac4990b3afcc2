// The dialog manager: dialogs built from templates, their default behaviour and modal loops.
#pragma once

#include "dlgtemplate.h"
#include "window.h"

// The dialog font's average character width and height in pixels.
SIZE DialogBaseUnits(HFONT font);
RECT DialogUnitsToPixels(const RECT& rect, SIZE units);
// A font for the template's DS_SETFONT fields; the caller owns it.
HFONT CreateDialogFont(const std::u16string& face, WORD pointSize, WORD weight, bool italic);

// Creates the dialog window and its controls, hidden unless the template asks to be visible,
// and sends WM_INITDIALOG. Null when a control cannot be made.
HWND CreateDialogFromTemplate(const DialogTemplate& dialog, HINSTANCE instance, HWND owner, DLGPROC proc, LPARAM param);
// Runs a dialog modally over its owner and destroys it; the value given to EndDialog.
INT_PTR RunModalDialog(HWND dialog, HWND owner);
