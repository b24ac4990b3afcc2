#include "fonts.h"
#include "tl_string.h"
#include "trace.h"
#include "utf.h"

#include <SDL_ttf.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <map>
#include <string>

namespace {

// The Esperanto letters every face we pick must have.
constexpr char32_t kEsperanto[] = U"ĉĝĥĵŝŭĈĜĤĴŜŬ";
// Faces the callers name that no Linux system has. A condensed sans face stands in for them: its
// widths are close to theirs, so texts fit the fields that were measured for them.
constexpr const char* kSansAliases[] = {"ms shell dlg", "ms shell dlg 2", "system", "tahoma", ""};

struct Match {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
};

std::string FaceName(const LOGFONTW& lf)
{
    const WCHAR* end = std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, u'\0');
    std::string face = Utf16ToUtf8(std::u16string_view(lf.lfFaceName, size_t(end - lf.lfFaceName)));
    // Faces with " Eo" appended are the same faces with the Esperanto letters: ours all have them.
    if (face.size() >= 3 && face.compare(face.size() - 3, 3, " Eo") == 0)
        face.resize(face.size() - 3);
    const std::string lower = AsciiLower(face);
    if (std::find(std::begin(kSansAliases), std::end(kSansAliases), lower) != std::end(kSansAliases))
        return "DejaVu Sans Condensed";
    return face;
}

std::optional<Match> MatchFace(const std::string& family, bool bold, bool italic)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcCharSet* letters = FcCharSetCreate();
    for (char32_t c : std::u32string_view(kEsperanto))
        FcCharSetAddChar(letters, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, letters);
    FcCharSetDestroy(letters);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found)
        return std::nullopt;
    Match match;
    FcChar8* file = nullptr;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch)
        match.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(found, FC_INDEX, 0, &match.index);
    FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(found, FC_SLANT, 0, &slant);
    match.bold = weight >= FC_WEIGHT_DEMIBOLD;
    match.italic = slant != FC_SLANT_ROMAN;
    FcPatternDestroy(found);
    if (match.file.empty())
        return std::nullopt;
    return match;
}

bool HasEsperanto(TTF_Font* font)
{
    for (char32_t c : std::u32string_view(kEsperanto))
        if (!TTF_GlyphIsProvided32(font, c))
            return false;
    return true;
}

constexpr int kReferenceEm = 1000;

// The em size in pixels: a negative height is the character height, a positive one the cell.
int EmPixels(TTF_Font* reference, LONG height)
{
    if (height < 0)
        return int(std::min<int64_t>(-int64_t{height}, 2000));
    const int cell = height == 0 ? 16 : int(std::min<LONG>(height, 2000));
    const int referenceCell = TTF_FontAscent(reference) - TTF_FontDescent(reference);
    return std::max(1, int((int64_t{cell} * kReferenceEm + referenceCell / 2) / referenceCell));
}

void Measure(RealFont& real)
{
    TTF_Font* f = real.ttf;
    real.ascent = TTF_FontAscent(f);
    real.descent = -TTF_FontDescent(f);
    real.height = real.ascent + real.descent;
    real.externalLeading = std::max(0, TTF_FontLineSkip(f) - real.height);
    int w = 0, h = 0;
    TTF_SizeUTF8(f, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &w, &h);
    real.aveCharWidth = (w / 26 + 1) / 2;
    for (Uint32 c = 32; c < 127; ++c) {
        int minx, maxx, miny, maxy, advance;
        if (TTF_GlyphMetrics32(f, c, &minx, &maxx, &miny, &maxy, &advance) == 0)
            real.maxCharWidth = std::max(real.maxCharWidth, advance);
    }
}

// A face file opened once at a reference size, to learn its proportions and coverage.
struct Face {
    TTF_Font* reference = nullptr;
    bool esperanto = false;
};

struct FontCache {
    std::map<std::string, std::unique_ptr<RealFont>> byLogFont;
    std::map<std::string, Face> faces; // file and index
    std::map<std::string, TTF_Font*> bySize; // file, index, pixel size and style
    bool ready = false;
};

FontCache& Cache()
{
    static FontCache* cache = new FontCache;
    return *cache;
}

const Face& FaceOf(const Match& match)
{
    const std::string key = match.file + '\n' + std::to_string(match.index);
    auto it = Cache().faces.find(key);
    if (it == Cache().faces.end()) {
        Face face;
        face.reference = TTF_OpenFontIndex(match.file.c_str(), kReferenceEm, match.index);
        face.esperanto = face.reference && HasEsperanto(face.reference);
        it = Cache().faces.emplace(key, face).first;
    }
    return it->second;
}

std::unique_ptr<RealFont> Open(const LOGFONTW& lf)
{
    const bool bold = lf.lfWeight >= FW_SEMIBOLD, italic = lf.lfItalic != 0;
    std::optional<Match> match = MatchFace(FaceName(lf), bold, italic);
    if (!match || !FaceOf(*match).esperanto)
        match = MatchFace("sans-serif", bold, italic);
    if (!match || !FaceOf(*match).reference) {
        Trace("gdi: no usable font face installed");
        return nullptr;
    }
    const int em = EmPixels(FaceOf(*match).reference, lf.lfHeight);
    int style = TTF_STYLE_NORMAL;
    if (bold && !match->bold)
        style |= TTF_STYLE_BOLD;
    if (italic && !match->italic)
        style |= TTF_STYLE_ITALIC;
    if (lf.lfUnderline)
        style |= TTF_STYLE_UNDERLINE;

    // One open font per file, size and style, shared by every logical font that lands on it.
    const std::string key = match->file + '\n' + std::to_string(match->index) + '\n' + std::to_string(em) + '\n' + std::to_string(style);
    TTF_Font*& font = Cache().bySize[key];
    if (!font) {
        font = TTF_OpenFontIndex(match->file.c_str(), em, match->index);
        if (!font) {
            Trace("gdi: cannot open font %s: %s", match->file.c_str(), TTF_GetError());
            Cache().bySize.erase(key);
            return nullptr;
        }
        TTF_SetFontStyle(font, style);
    }
    auto real = std::make_unique<RealFont>();
    real->ttf = font;
    Measure(*real);
    real->internalLeading = std::max(0, real->height - em);
    real->weight = bold ? FW_BOLD : FW_NORMAL;
    real->italic = italic;
    real->underline = lf.lfUnderline != 0;
    real->antialiased = lf.lfQuality != NONANTIALIASED_QUALITY;
    return real;
}

} // namespace

const RealFont* Realise(const LOGFONTW& lf)
{
    FontCache& cache = Cache();
    if (!cache.ready) {
        if (TTF_Init() != 0 || !FcInit()) {
            Trace("gdi: font libraries failed to start: %s", TTF_GetError());
            return nullptr;
        }
        // fontconfig keeps caches of its own; releasing them at exit keeps leak checks quiet.
        std::atexit(FcFini);
        cache.ready = true;
    }
    // Bytes after the face name's terminator are not part of the font.
    LOGFONTW clean = lf;
    WCHAR* end = std::find(clean.lfFaceName, clean.lfFaceName + LF_FACESIZE - 1, u'\0');
    std::fill(end, clean.lfFaceName + LF_FACESIZE, u'\0');
    const std::string key(reinterpret_cast<const char*>(&clean), sizeof clean);
    auto it = cache.byLogFont.find(key);
    if (it == cache.byLogFont.end())
        it = cache.byLogFont.emplace(key, Open(clean)).first;
    return it->second.get();
}

const RealFont* DcFont(const DeviceContext& dc)
{
    Font* font = Find<Font>(dc.font);
    if (!font)
        return nullptr;
    if (!font->real)
        font->real = Realise(font->log);
    return font->real;
}
