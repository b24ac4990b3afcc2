// The game's persistent state: the Settings record and the high-score table, each kept
// as a versioned binary value under HKCU\Software\Zelnor\Quibo.
#pragma once

#include "registry.h"

#include <cstdint>
#include <string>

constexpr int cchRECENT_NAMES = 512;

enum EFFECTS : uint32_t {
    EFFECTS_NONE = 0,
    EFFECTS_SOME = 1,
    EFFECTS_ALL = 2,
};

// The options and the recent player names, exactly as stored in the "Settings" record.
struct SETTINGS {
    uint32_t iEffects;
    uint32_t fSmoothAnimation;
    uint32_t fSoundEffects;
    uint32_t fMusic;
    uint32_t dwReserved; // kept as found and written back
    // Each name followed by ";", most recent first, zero-terminated.
    char16_t szRecentNames[cchRECENT_NAMES];
};
static_assert(sizeof(SETTINGS) == 1044);

extern SETTINGS g_settings;

constexpr DWORD RECORD_VERSION = 0x00030000;

registry::key GameKey();

// The device owner's name, else the catalog's "Anonymous".
std::u16string DefaultPlayerName();
void DefaultSettings();

constexpr char APPLICATION_NAME[] = "Quibo";

// Reads "HighScores"; a missing, short or wrong-version record is replaced by the default
// table, written back.
void LoadHighScores();
// Reads "Settings"; false, leaving the record as it was, when it is unusable.
bool ReadSettings();
// The defaults, written back at once.
void ResetSettings();
// The records at start-up: the high scores (forged entries marked), the Settings record and
// the language. False on a first run: no usable Settings, so the defaults were written back.
bool LoadRecords();
// Writes Settings, then HighScores.
void SaveRecords();
