// The installer's work on one target: the journal with the game's registry values and the
// language choice, the program of the target's processor, the packs of its kind, the Games
// shortcut, and the shared uninstaller with the product's registration.
#pragma once

#include "sl_toolkit.h"
#include "unzipper.h"

#include <string>

// The installer's messages a failed target ends with (ids of its string table).
constexpr UINT kCannotInstallFile = 22; // names the file's path
constexpr UINT kCannotSaveUninstall = 24;

struct INSTALLFAILURE {
    UINT message = 0;
    std::string path;
};

// Installs Quibo from the payload; progress goes to the target's callback. Stops at the first
// step that fails and says why in `failure`; what was installed before stays, and the journal
// lists it.
bool InstallTarget(SETUPTOOLKIT* target, ZIPFILE* payload, INSTALLFAILURE& failure);
