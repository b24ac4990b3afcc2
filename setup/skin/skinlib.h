// The skin: an archive with a description ("skin.txt", read as properties) and images in the
// layered image format (and sounds), from which the installer's windows are drawn.
#pragma once

#include "cetl/properties.h"
#include "skintemplate.h"

#include <windows.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct Sprite;
class ZIPFILE;

// A skin that cannot be used: a missing or damaged part, or clashing control ids.
class SKINERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SKINFILE {
    Sprite* sprite = nullptr; // ".psp" files
    std::vector<BYTE> sound; // ".wav" files, as stored
};

class SKIN {
public:
    // From an archive in a file, in memory or among the program's resources. Archive failures
    // throw the archive reader's exceptions; a missing or unreadable "skin.txt" or a damaged
    // image throws SKINERROR.
    static std::unique_ptr<SKIN> FromFile(LPCTSTR path);
    static std::unique_ptr<SKIN> FromMemory(const void* data, DWORD cb);
    static std::unique_ptr<SKIN> FromResource(HMODULE module, LPCTSTR name, LPCTSTR type);
    explicit SKIN(ZIPFILE& archive);
    ~SKIN();
    SKIN(const SKIN&) = delete;
    SKIN& operator=(const SKIN&) = delete;

    cetl::PROPERTIES& Properties() { return properties; }
    // The value of "PREFIX key" when the skin has it, else of "key", else fallback.
    std::string Value(const char* prefix, const std::string& key, const std::string& fallback) const;
    int Number(const char* prefix, const std::string& key, int fallback) const;
    COLORREF Color(const char* prefix, const std::string& key, COLORREF fallback) const;
    COLORREF Transparent() const { return transparent; }

    // Takes the sprite; replaces a file of the same name.
    void AddFile(const std::string& name, Sprite* sprite);
    // The sprite of "name.psp", or null.
    Sprite* Image(const std::string& name) const;
    // The sprite a control kind needs; SKINERROR with "the skin %s is missing the %s %s image".
    Sprite* Require(const char* control, const std::string& name) const;
    const SKINFILE* File(const std::string& name) const;

private:
    void Load(const std::string& name, const BYTE* data, DWORD cb);

    cetl::PROPERTIES properties;
    std::map<std::string, SKINFILE> files; // lower-case names
    COLORREF transparent = 0xFF0000;
};

// Registers the engine's classes and "SkinWindow" (from "AnimWindowNoCursor") with the icon.
bool SkinLibStartup(HINSTANCE instance, int iconId);
void SkinLibShutdown();

// A skin colour from its "#RRGGBB" text; fallback when the text is not one.
COLORREF SkinColorFromText(const std::string& text, COLORREF fallback);
