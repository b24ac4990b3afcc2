// The language catalog: which language the program speaks, and its texts in that language.
//
// A program's string table holds every text once per language, side by side: the logical
// id is the first language's resource id and language k's text sits at id + k. String 1
// lists the offered language codes ("EN,EO"); their order is the language index. The
// choice is kept under HKLM\Software\Zelnor\NLS, where the installer records it too.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

constexpr LANGID LANGID_ESPERANTO = 0; // Esperanto has no system language id
constexpr LANGID LANGID_ENGLISH = 0x409;
constexpr LANGID LANGID_UNKNOWN = 0xFFFF;

// The id of a language code ("EN", "eo", ...), or LANGID_UNKNOWN.
LANGID LanguageIdFromCode(std::u16string_view code);

// Reads the offered list and the recorded choice for the named program and makes that
// language current (the first of the list when none usable is recorded); from then on
// sformat's "%m" and format ids read this catalog. A call with an empty name once the
// catalog is set up changes nothing.
void SelectLanguage(std::string_view applicationName, UINT listId);
// Makes another language of the list current and records the choice; false when the list
// does not offer it.
bool SetLanguage(LANGID id);

LANGID CurrentLanguageId();
int CurrentLanguageIndex();
int LanguageCount();

// The text of a logical string id in the current language. A text ending in "+" goes on in
// the same language's next logical id; a missing string gives what was joined so far.
std::u16string LoadCatalogString(UINT id);

// A dialog from the current language's template: the logical template id plus the language
// index, as with strings.
HWND CreateCatalogDialog(UINT templateId, HWND parent, DLGPROC procedure, LPARAM initParam = 0);
INT_PTR RunCatalogDialog(UINT templateId, HWND parent, DLGPROC procedure, LPARAM initParam = 0);

// The font a layout font specification describes, with the current language's face (see
// ApplyLanguageFace); null when it cannot be made.
HFONT CreateCatalogFont(std::string_view specification);

// Esperanto needs a face with its accented letters: in Esperanto a face name gets " Eo"
// appended unless it already ends so. faceName holds cchFace units with its terminating
// zero; a name that would not fit is left as it is.
void ApplyLanguageFace(WCHAR* faceName, size_t cchFace);
