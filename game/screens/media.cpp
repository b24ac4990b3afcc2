#include "media.h"

#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_palette.h"
#include "cea_sound.h"
#include "cetl/exception.h"
#include "language.h"
#include "layout.h"
#include "memmgr.h"
#include "records.h"
#include "tile.h"
#include "trace.h"
#include "unzipper.h"
#include "zz.h"

#include <string>

MEDIASET g_media;

namespace {

constexpr COLORREF crKEY = 0x00FF0000; // blue: the packs' transparent colour
constexpr int kFirstSound = SOUND_NOT_QUIBO;

struct PACKCHOICE {
    const char* name;
    int cx;
    int cy;
    int bitsPerPixel;
};
// Largest first; the first that fits the display and opens wins.
constexpr PACKCHOICE kPacks[] = {
    {"quibo-l-hi.res", 1024, 768, 16}, {"quibo-l-lo.res", 1024, 768, 0}, {"quibo-s-hi.res", 640, 480, 16},
    {"quibo-s-lo.res", 640, 480, 0},   {"quibo-p-hi.res", 240, 320, 16}, {"quibo-p-lo.res", 240, 320, 0},
};

struct PACKSTATE {
    ZIPFILE* pack;
    const char* name;
    SOUND* rgSounds[cGAMESOUNDS];
};
PACKSTATE g_pack;

// The folder of a path: separators made '\', one trailing '\' dropped, cut after the last '\',
// always ending in '\'.
std::string FolderOf(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    const size_t slash = path.rfind('\\');
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

bool HoldsPacks(const std::string& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(string(folder + "*.res").Wide(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

// The pack at path, or none when it is missing, is not an archive or has no layout.
ZIPFILE* OpenPack(const std::string& path)
{
    if (GetFileAttributesW(string(path).Wide()) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    ZIPFILE* pack = nullptr;
    try {
        pack = MEM_NEW(ZIPFILE, path.c_str(), false);
    } catch (const cetl::exception&) {
        Trace("Pack %s is not a readable archive", path.c_str());
        return nullptr;
    }
    if (!pack->Contains(istring("layout.txt"))) {
        Trace("Pack %s has no layout", path.c_str());
        MEM_DELETE(pack);
        return nullptr;
    }
    return pack;
}

void FillTileArt()
{
    for (int i = 0; i < cTILE_FACES; ++i)
        g_tileArt.rgFaces[i] = g_media.rgTiles[i];
    for (int i = 0; i < cINSETS; ++i)
        g_tileArt.rgInsets[i] = g_media.rgInsets[i];
}

// Loads one sheet and cuts it; false when either fails.
template<class Cut> bool LoadSheet(const char* entry, COLORREF transparency, Graphic*& sheet, Cut cut)
{
    sheet = LoadPackImage(entry, transparency);
    if (!sheet) {
        Trace("Pack image %s could not be loaded", entry);
        return false;
    }
    return cut(sheet);
}

bool LoadAllImages()
{
    MEDIASET& m = g_media;
    const auto bySize
        = [](Graphic** cells, int count, int cx, int cy) { return [=](Graphic* sheet) { return CutBySize(sheet, cells, count, cx, cy); }; };
    const auto byGrid = [](Graphic** cells, int count, int columns, int rows) {
        return [=](Graphic* sheet) { return CutByGrid(sheet, cells, count, columns, rows); };
    };
    const auto faces = [](int set) {
        return [set](Graphic* sheet) {
            return CutBySize(sheet, g_media.rgFaces[set], cBUTTON_FACES, cxBUTTON, cyBUTTON)
                   && CutPieces(sheet, g_media.rgCaptions[set], cBUTTON_FACES, cxBUTTON, cyBUTTON, xCAPTION, yCAPTION, cxCAPTION,
                                cyCAPTION);
        };
    };
    const auto whole = [](Graphic*) { return true; };
    return LoadSheet("buttons-down.zz", crKEY, m.pButtonsDown, bySize(m.rgButtonsDown, cBUTTON_FRAMES, cxBUTTON, cyBUTTON))
           && LoadSheet("buttons-en.zz", crKEY, m.pFaces[SET_ENGLISH], faces(SET_ENGLISH))
           && LoadSheet("buttons-eo.zz", crKEY, m.pFaces[SET_ESPERANTO], faces(SET_ESPERANTO))
           && LoadSheet("effects.zz", crKEY, m.pEffects, bySize(m.rgEffects, cEFFECT_FRAMES, cxEFFECT, cyEFFECT))
           && LoadSheet("insets.zz", kNoColor, m.pInsets, byGrid(m.rgInsets, cINSETS, cINSET_COLUMNS, cINSET_ROWS))
           && LoadSheet("tiles.zz", kNoColor, m.pTiles, byGrid(m.rgTiles, cTILE_FACES, cTILE_FACES, 1))
           && LoadSheet("gameover-en.zz", crKEY, m.pBanners[SET_ENGLISH], byGrid(m.rgBanners[SET_ENGLISH], cBANNERS, 1, cBANNERS))
           && LoadSheet("gameover-eo.zz", crKEY, m.pBanners[SET_ESPERANTO], byGrid(m.rgBanners[SET_ESPERANTO], cBANNERS, 1, cBANNERS))
           && LoadSheet("divider.zz", crKEY, m.pDivider, whole) && LoadSheet("logo.zz", crKEY, m.pLogo, whole);
}

void FreeImage(Graphic*& graphic)
{
    MEM_DELETE(graphic);
    graphic = nullptr;
}

} // namespace

int CurrentFaceSet()
{
    return CurrentLanguageId() == LANGID_ESPERANTO ? SET_ESPERANTO : SET_ENGLISH;
}

Graphic* GameOverBanner(int mode)
{
    if (mode < 0 || mode >= cBANNERS)
        return nullptr;
    return g_media.rgBanners[CurrentFaceSet()][mode];
}

bool ChoosePack()
{
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ChoosePackFor(string(path));
}

bool ChoosePackFor(const string& programPath)
{
    std::string folder = FolderOf(std::string(programPath.View()));
    if (!HoldsPacks(folder))
        folder = FolderOf(folder);
    // Installed under a prefix: the program in PREFIX/bin, its packs in PREFIX/share/quibo.
    if (!HoldsPacks(folder) && HoldsPacks(folder + "share\\quibo\\"))
        folder += "share\\quibo\\";
    const int cx = DisplayWidth();
    const int cy = DisplayHeight();
    const int bitsPerPixel = DisplayBitDepth();
    for (const PACKCHOICE& choice : kPacks) {
        if (g_pack.pack || cx < choice.cx || cy < choice.cy || bitsPerPixel < choice.bitsPerPixel)
            continue;
        if ((g_pack.pack = OpenPack(folder + choice.name)))
            g_pack.name = choice.name;
    }
    if (!g_pack.pack)
        return false;
    LoadLayout(*g_pack.pack);
    // Read here, on the window's thread, rather than by the image loader's thread.
    g_tileArt.cyInsetsSpacing = LayoutNumber("cyINSETS_SPACING");
    return true;
}

string OpenPackName()
{
    return g_pack.pack ? string(g_pack.name) : string();
}

bool LoadSounds()
{
    HMODULE module = GetModuleHandleW(nullptr);
    for (int i = 0; i < cGAMESOUNDS; ++i) {
        SOUND* sound = MEM_NEW(SOUND, module, MAKEINTRESOURCEW(kFirstSound + i));
        if (!sound->IsLoaded()) {
            MEM_DELETE(sound);
            sound = nullptr;
        }
        g_pack.rgSounds[i] = sound;
    }
    return true;
}

bool LoadImages()
{
    g_media.pGroup = MEM_NEW(PaletteGroup);
    g_media.pGroup->Open();
    g_media.pGroup->Add(kSystemColorsMarker, 0);
    const bool loaded = LoadAllImages();
    g_media.pGroup->Close();
    FillTileArt();
    return loaded;
}

void ClosePack()
{
    MEM_DELETE(g_pack.pack);
    g_pack.pack = nullptr;
    g_pack.name = nullptr;
}

void FreeImages()
{
    MEDIASET& m = g_media;
    FreeImage(m.pLogo);
    FreeImage(m.pDivider);
    FreeCells(m.pBanners[SET_ENGLISH], m.rgBanners[SET_ENGLISH], cBANNERS);
    FreeCells(m.pBanners[SET_ESPERANTO], m.rgBanners[SET_ESPERANTO], cBANNERS);
    FreeCells(m.pTiles, m.rgTiles, cTILE_FACES);
    FreeCells(m.pButtonsDown, m.rgButtonsDown, cBUTTON_FRAMES);
    for (int set : {SET_ENGLISH, SET_ESPERANTO}) {
        // The captions and the faces are both views of one sheet.
        for (Graphic*& caption : m.rgCaptions[set])
            FreeImage(caption);
        FreeCells(m.pFaces[set], m.rgFaces[set], cBUTTON_FACES);
    }
    FreeCells(m.pEffects, m.rgEffects, cEFFECT_FRAMES);
    FreeCells(m.pInsets, m.rgInsets, cINSETS);
    // The display must not keep a group that is about to go.
    if (m.pGroup && GetDisplayPaletteGroup() == m.pGroup)
        SetDisplayPaletteGroup(nullptr);
    if (m.pGroup)
        MEM_DELETE(m.pGroup);
    m.pGroup = nullptr;
    FillTileArt();
}

void FreeSounds()
{
    // The button sounds first.
    for (int i = cGAMESOUNDS - 1; i >= 0; --i) {
        if (g_pack.rgSounds[i])
            MEM_DELETE(g_pack.rgSounds[i]);
        g_pack.rgSounds[i] = nullptr;
    }
}

SOUND* GameSound(int sound)
{
    const int i = sound - kFirstSound;
    return i >= 0 && i < cGAMESOUNDS ? g_pack.rgSounds[i] : nullptr;
}

void PlayGameSound(int sound)
{
    if (SOUND* s = GameSound(sound); s && g_settings.fSoundEffects)
        s->Play(0);
}

Graphic* LoadImageEntry(ZIPENTRY* entry, COLORREF transparency)
{
    if (!entry)
        return nullptr;
    entry->Decompress();
    if (!entry->pbUncompressed || entry->cbUncompressed == 0)
        return nullptr;
    BYTE* unpacked = nullptr;
    DWORD cbUnpacked = 0;
    if (!ZZDecompress(&unpacked, &cbUnpacked, entry->pbUncompressed, entry->cbUncompressed))
        return nullptr;
    Graphic* graphic = MEM_NEW(Graphic, unpacked, cbUnpacked, nullptr, transparency);
    ZZFree(unpacked);
    if (!graphic->HasBitmap()) {
        MEM_DELETE(graphic);
        return nullptr;
    }
    if (g_media.pGroup && g_media.pGroup->openCount)
        g_media.pGroup->Add(graphic);
    return graphic;
}

Graphic* LoadPackImage(std::string_view entryName, COLORREF transparency)
{
    const istring name(entryName);
    if (!g_pack.pack || !g_pack.pack->Contains(name))
        return nullptr;
    return LoadImageEntry((*g_pack.pack)[name], transparency);
}

Graphic* ImageCell(Graphic* sheet, int x, int y, int cx, int cy)
{
    if (!sheet || !sheet->valid)
        return nullptr;
    const RECT rect{x, y, x + cx, y + cy};
    return MEM_NEW(Graphic, sheet, &rect);
}

bool CutBySize(Graphic* sheet, Graphic** cells, int count, int cx, int cy)
{
    return CutPieces(sheet, cells, count, cx, cy, 0, 0, cx, cy);
}

bool CutByGrid(Graphic* sheet, Graphic** cells, int count, int columns, int rows)
{
    if (!sheet || columns <= 0 || rows <= 0)
        return false;
    return CutBySize(sheet, cells, count, sheet->GetWidth() / columns, sheet->GetHeight() / rows);
}

bool CutPieces(Graphic* sheet, Graphic** pieces, int count, int cx, int cy, int xOffset, int yOffset, int cxPiece, int cyPiece)
{
    if (!sheet || cx <= 0 || cy <= 0)
        return false;
    const int columns = (sheet->GetWidth() + cx - 1) / cx;
    for (int i = 0; i < count; ++i)
        if (!(pieces[i] = ImageCell(sheet, i % columns * cx + xOffset, i / columns * cy + yOffset, cxPiece, cyPiece)))
            return false;
    return true;
}

void FreeCells(Graphic*& sheet, Graphic** cells, int count)
{
    for (int i = 0; i < count; ++i)
        FreeImage(cells[i]);
    FreeImage(sheet);
}
