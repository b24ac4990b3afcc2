#include "skinlib.h"

#include "cea_main.h"
#include "cea_sprite.h"
#include "tl_string.h"
#include "trace.h"
#include "unzipper.h"
#include "utf.h"

#include <algorithm>
#include <cctype>

namespace {

// A text file holds no zero bytes and is valid UTF-8.
bool IsText(const BYTE* data, DWORD cb)
{
    if (std::find(data, data + cb, BYTE(0)) != data + cb)
        return false;
    const std::string_view text(reinterpret_cast<const char*>(data), cb);
    for (size_t i = 0; i < text.size();) {
        const size_t at = i;
        if (DecodeUtf8(text, i) == 0xFFFD && text.substr(at, i - at) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}

WNDPROC g_animProc = nullptr;

} // namespace

COLORREF SkinColorFromText(const std::string& text, COLORREF fallback)
{
    std::string_view v = text;
    while (!v.empty() && v[0] == ' ')
        v.remove_prefix(1);
    if (!v.empty() && v[0] == '#')
        v.remove_prefix(1);
    if (v.size() < 6 || !std::all_of(v.begin(), v.begin() + 6, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return fallback;
    const unsigned long rgb = std::stoul(std::string(v.substr(0, 6)), nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::unique_ptr<SKIN> SKIN::FromFile(LPCTSTR path)
{
    ZIPFILE archive(path, false);
    return std::make_unique<SKIN>(archive);
}

std::unique_ptr<SKIN> SKIN::FromMemory(const void* data, DWORD cb)
{
    ZIPFILE archive(data, cb, false);
    return std::make_unique<SKIN>(archive);
}

std::unique_ptr<SKIN> SKIN::FromResource(HMODULE module, LPCTSTR name, LPCTSTR type)
{
    ZIPFILE archive(module, name, type, false);
    return std::make_unique<SKIN>(archive);
}

SKIN::SKIN(ZIPFILE& archive)
{
    const ZIPENTRY* description = nullptr;
    for (auto& entry : archive)
        if (AsciiLower(entry.value->View()) == "skin.txt")
            description = entry.value;
    if (!description)
        throw SKINERROR("the skin has no skin.txt");
    if (!IsText(description->pbUncompressed, description->cbUncompressed))
        throw SKINERROR("the skin's skin.txt is not a text file");
    properties.Parse(string(std::string_view(reinterpret_cast<const char*>(description->pbUncompressed), description->cbUncompressed)),
                     cetl::PROPERTIES::kParseSet);
    transparent = Color(nullptr, "transparent color", RGB(0, 0, 255));
    try {
        for (auto& entry : archive) {
            ZIPENTRY* e = entry.value;
            Load(std::string(e->View()), e->pbUncompressed, e->cbUncompressed);
            e->ReleaseData();
        }
    } catch (...) {
        for (auto& [name, file] : files)
            delete file.sprite;
        throw;
    }
}

SKIN::~SKIN()
{
    for (auto& [name, file] : files)
        delete file.sprite;
}

void SKIN::Load(const std::string& path, const BYTE* data, DWORD cb)
{
    const std::string name = AsciiLower(path);
    const size_t dot = name.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    if (ext == ".psp") {
        auto* sprite = new Sprite(data, cb, transparent, 1, 1, 1);
        if (sprite->FrameCount() == 0) {
            delete sprite;
            throw SKINERROR("the skin " + Value(nullptr, "skin", "") + " has a damaged image " + path);
        }
        AddFile(name, sprite);
    } else if (ext == ".wav") {
        files[name].sound.assign(data, data + cb);
    }
}

std::string SKIN::Value(const char* prefix, const std::string& key, const std::string& fallback) const
{
    if (prefix) {
        const istring full(string(std::string(prefix) + " " + key));
        if (properties.Contains(full))
            return std::string(properties.Lookup(full).View());
    }
    const istring plain{string(key)};
    if (properties.Contains(plain))
        return std::string(properties.Lookup(plain).View());
    return fallback;
}

int SKIN::Number(const char* prefix, const std::string& key, int fallback) const
{
    const std::string text = Value(prefix, key, "");
    if (text.empty())
        return fallback;
    return cetl::PROPERTIESVALUE(string(text)).Number();
}

COLORREF SKIN::Color(const char* prefix, const std::string& key, COLORREF fallback) const
{
    return SkinColorFromText(Value(prefix, key, ""), fallback);
}

void SKIN::AddFile(const std::string& name, Sprite* sprite)
{
    SKINFILE& file = files[AsciiLower(name)];
    delete file.sprite;
    file.sprite = sprite;
}

Sprite* SKIN::Image(const std::string& name) const
{
    const auto it = files.find(AsciiLower(name) + ".psp");
    return it == files.end() ? nullptr : it->second.sprite;
}

Sprite* SKIN::Require(const char* control, const std::string& name) const
{
    if (Sprite* sprite = Image(name))
        return sprite;
    const std::string skinName = Value(nullptr, "skin", "(unnamed)");
    throw SKINERROR("the skin " + skinName + " is missing the " + control + " " + name + " image");
}

const SKINFILE* SKIN::File(const std::string& name) const
{
    const auto it = files.find(AsciiLower(name));
    return it == files.end() ? nullptr : &it->second;
}

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool SkinLibStartup(HINSTANCE instance, int iconId)
{
    if (!InitAnimEngine(instance, 0))
        return false;
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, u"AnimWindowNoCursor", &wc))
        return false;
    g_animProc = wc.lpfnWndProc;
    wc.lpfnWndProc = SkinWindowProc;
    wc.lpszClassName = u"SkinWindow";
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SkinLibShutdown()
{
    UnregisterClassW(u"SkinWindow", nullptr);
}

WNDPROC SkinAnimProc()
{
    return g_animProc;
}
