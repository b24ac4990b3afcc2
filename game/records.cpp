#include "records.h"

#include "highscores.h"
#include "language.h"

#include <cstring>

SETTINGS g_settings;

namespace {

constexpr UINT idsANONYMOUS = 4;
constexpr UINT idsLANGUAGES = 1;

registry::value settingsValue()
{
    return registry::value(GameKey(), u"Settings");
}

registry::value highScoresValue()
{
    return registry::value(GameKey(), u"HighScores");
}

} // namespace

registry::key GameKey()
{
    return registry::key(u"HKCU\\Software\\Zelnor\\Quibo");
}

std::u16string DefaultPlayerName()
{
    const registry::binary owner = registry::value(registry::key(u"HKCU\\ControlPanel\\Owner"), u"Owner").readBinary();
    std::u16string name(owner.size() / sizeof(char16_t), u'\0');
    if (!name.empty())
        std::memcpy(name.data(), owner.data(), name.size() * sizeof(char16_t));
    const size_t end = name.find(u'\0');
    if (end != std::u16string::npos)
        name.resize(end);
    return name.empty() ? LoadCatalogString(idsANONYMOUS) : name;
}

void DefaultSettings()
{
    std::memset(&g_settings, 0, sizeof g_settings);
    g_settings.iEffects = EFFECTS_SOME;
    g_settings.fSmoothAnimation = 1;
    g_settings.fSoundEffects = 1;
    g_settings.fMusic = 1;
    const std::u16string list = DefaultPlayerName().substr(0, cchRECENT_NAMES - 2) + u";";
    list.copy(g_settings.szRecentNames, list.size());
}

void LoadHighScores()
{
    // A short table would come back zero-filled: entries of time 0 that nothing can ever beat.
    const registry::value stored = highScoresValue();
    if (stored.size() >= sizeof(DWORD) + sizeof g_highScores && stored.readVersioned(RECORD_VERSION, g_highScores, sizeof g_highScores))
        return;
    DefaultHighScores();
    stored.writeVersioned(RECORD_VERSION, g_highScores, sizeof g_highScores);
}

bool ReadSettings()
{
    return settingsValue().readVersioned(RECORD_VERSION, &g_settings, sizeof g_settings);
}

void ResetSettings()
{
    DefaultSettings();
    settingsValue().writeVersioned(RECORD_VERSION, &g_settings, sizeof g_settings);
}

bool LoadRecords()
{
    LoadHighScores();
    const bool usable = ReadSettings();
    CheckHighScores();
    SelectLanguage(APPLICATION_NAME, idsLANGUAGES);
    // The default player name is a text of the catalog, so it waits for the language.
    if (!usable)
        ResetSettings();
    return usable;
}

void SaveRecords()
{
    settingsValue().writeVersioned(RECORD_VERSION, &g_settings, sizeof g_settings);
    highScoresValue().writeVersioned(RECORD_VERSION, g_highScores, sizeof g_highScores);
}
