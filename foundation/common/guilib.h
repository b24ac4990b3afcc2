// The dialog library's default dialog class, "GuiLibDefDlgClass": dialog templates may name it
// instead of the system's dialog class, and then behave as ordinary dialogs.
#pragma once

#include <windows.h>

// Registers the class once; later calls only report whether it is there.
bool RegisterGuiLibDialogClass();
