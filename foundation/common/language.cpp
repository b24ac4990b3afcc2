#include "language.h"

#include "font.h"
#include "registry.h"
#include "sformat.h"
#include "tl_string.h"
#include "utf.h"

#include <vector>

namespace {

constexpr size_t cchLIST_MAX = 260;

struct CATALOG {
    bool fInitialised;
    std::u16string applicationName;
    std::u16string list;
    LANGID languageId;
    int iLanguage;
    int cLanguages;
};

CATALOG g_catalog{false, {}, {}, LANGID_ENGLISH, 0, 1};

// The list's codes in order; empty entries are no language.
std::vector<std::u16string_view> listCodes(std::u16string_view list)
{
    std::vector<std::u16string_view> codes;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(u',', start);
        if (comma == std::u16string_view::npos)
            comma = list.size();
        if (comma > start)
            codes.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return codes;
}

// Position of the code in the list, or -1.
int findCode(std::u16string_view list, std::u16string_view code)
{
    const auto codes = listCodes(list);
    for (size_t i = 0; i < codes.size(); ++i)
        if (EqualsIgnoringAsciiCase(codes[i], code))
            return static_cast<int>(i);
    return -1;
}

int countCodes(std::u16string_view list)
{
    const int count = static_cast<int>(listCodes(list).size());
    return count > 0 ? count : 1;
}

registry::value nlsValue(std::u16string_view prefix)
{
    return registry::value(registry::key(u"HKLM\\Software\\Zelnor\\NLS"), std::u16string(prefix) + g_catalog.applicationName);
}

// A string resource as stored, read in place.
std::u16string_view resourceString(UINT id)
{
    const WCHAR* text = nullptr;
    const int cch = LoadStringW(nullptr, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (cch <= 0 || !text)
        return {};
    return std::u16string_view(text, static_cast<size_t>(cch));
}

string loadForSformat(int id)
{
    return id < 0 ? string() : string(LoadCatalogString(static_cast<UINT>(id)));
}

void ensureInitialised()
{
    if (!g_catalog.fInitialised)
        SelectLanguage({}, 1);
}

// The current language's dialog template of a logical template id.
LPCWSTR languageTemplate(UINT templateId)
{
    ensureInitialised();
    return MAKEINTRESOURCEW(templateId + static_cast<UINT>(g_catalog.iLanguage));
}

} // namespace

LANGID LanguageIdFromCode(std::u16string_view code)
{
    static const struct {
        std::u16string_view code;
        LANGID id;
    } known[] = {
        {u"EO", LANGID_ESPERANTO}, {u"EN", 0x409}, {u"FR", 0x40C}, {u"DE", 0x407}, {u"ES", 0x40A},
    };
    for (const auto& entry : known)
        if (EqualsIgnoringAsciiCase(code, entry.code))
            return entry.id;
    return LANGID_UNKNOWN;
}

void SelectLanguage(std::string_view applicationName, UINT listId)
{
    if (g_catalog.fInitialised && applicationName.empty())
        return;
    g_catalog.fInitialised = true;
    SetSformatStringLoader(loadForSformat);
    if (!applicationName.empty())
        g_catalog.applicationName = Utf8ToUtf16(applicationName);
    const bool named = !g_catalog.applicationName.empty();

    g_catalog.list = resourceString(listId).substr(0, cchLIST_MAX);
    if (g_catalog.list.empty())
        g_catalog.list = u"EN";
    if (named)
        nlsValue(u"Opt-").writeString(g_catalog.list);

    std::u16string code = nlsValue(u"Lang-").readString();
    int position = findCode(g_catalog.list, code);
    if (LanguageIdFromCode(code) == LANGID_UNKNOWN || position < 0) {
        const auto codes = listCodes(g_catalog.list);
        code = codes.empty() ? std::u16string() : std::u16string(codes.front());
        position = codes.empty() ? -1 : 0;
    }
    if (named && !code.empty())
        nlsValue(u"Lang-").writeString(code);

    g_catalog.languageId = LANGID_ENGLISH;
    g_catalog.iLanguage = 0;
    if (position >= 0) {
        g_catalog.languageId = LanguageIdFromCode(code);
        g_catalog.iLanguage = position;
    }
    g_catalog.cLanguages = countCodes(g_catalog.list);
}

bool SetLanguage(LANGID id)
{
    ensureInitialised();
    const auto codes = listCodes(g_catalog.list);
    for (size_t i = 0; i < codes.size(); ++i) {
        if (LanguageIdFromCode(codes[i]) != id)
            continue;
        g_catalog.languageId = id;
        g_catalog.iLanguage = static_cast<int>(i);
        g_catalog.cLanguages = countCodes(g_catalog.list);
        if (!g_catalog.applicationName.empty())
            nlsValue(u"Lang-").writeString(codes[i]);
        return true;
    }
    return false;
}

LANGID CurrentLanguageId()
{
    ensureInitialised();
    return g_catalog.languageId;
}

int CurrentLanguageIndex()
{
    ensureInitialised();
    return g_catalog.iLanguage;
}

int LanguageCount()
{
    ensureInitialised();
    return g_catalog.cLanguages;
}

std::u16string LoadCatalogString(UINT id)
{
    ensureInitialised();
    std::u16string text;
    for (UINT r = id + g_catalog.iLanguage; r <= 0xFFFF; r += g_catalog.cLanguages) {
        const std::u16string_view piece = resourceString(r);
        if (piece.empty())
            break;
        text += piece;
        if (text.back() != u'+')
            break;
        text.pop_back();
    }
    return text;
}

HWND CreateCatalogDialog(UINT templateId, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    return CreateDialogParamW(nullptr, languageTemplate(templateId), parent, procedure, initParam);
}

INT_PTR RunCatalogDialog(UINT templateId, HWND parent, DLGPROC procedure, LPARAM initParam)
{
    return DialogBoxParamW(nullptr, languageTemplate(templateId), parent, procedure, initParam);
}

HFONT CreateCatalogFont(std::string_view specification)
{
    LOGFONTW lf = FontFromSpecification(specification);
    ApplyLanguageFace(lf.lfFaceName, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

void ApplyLanguageFace(WCHAR* faceName, size_t cchFace)
{
    if (CurrentLanguageId() != LANGID_ESPERANTO || cchFace == 0)
        return;
    const std::u16string_view suffix = u" Eo";
    size_t cch = 0;
    while (cch < cchFace && faceName[cch])
        ++cch;
    if (cch == cchFace) // not terminated: leave it alone rather than read on
        return;
    const std::u16string_view face(faceName, cch);
    if (face.size() >= suffix.size() && face.substr(face.size() - suffix.size()) == suffix)
        return;
    if (cch + suffix.size() + 1 > cchFace)
        return;
    suffix.copy(faceName + cch, suffix.size());
    faceName[cch + suffix.size()] = u'\0';
}
