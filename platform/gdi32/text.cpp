#include "fonts.h"
#include "utf.h"

#include "winbase.h"
#include "winerror.h"

#include <SDL_ttf.h>
#include <algorithm>
#include <cstring>

namespace {

// Lays a coverage map (SDL_ttf's blended alpha) onto the target in one colour.
void Composite(const Target& target, const SDL_Surface& glyphs, int x, int y, const RECT& bounds, uint32_t rgb, bool antialiased)
{
    const Surface& s = target.surface;
    const PixelFormat& format = *s.format;
    const bool smooth = antialiased && !format.Indexed();
    const uint32_t solid = format.Encode(rgb);
    const int left = std::max<int>(bounds.left, x), right = std::min<int>(bounds.right, x + glyphs.w);
    const int top = std::max<int>(bounds.top, y), bottom = std::min<int>(bounds.bottom, y + glyphs.h);
    const int tr = rgb >> 16 & 0xFF, tg = rgb >> 8 & 0xFF, tb = rgb & 0xFF;
    for (int py = top; py < bottom; ++py) {
        const auto* coverage = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(glyphs.pixels) + (py - y) * glyphs.pitch);
        BYTE* row = s.Row(py);
        for (int px = left; px < right; ++px) {
            const int a = int(coverage[px - x] >> 24);
            if (!smooth) {
                if (a > 127)
                    WritePixel(row, px, format.bitCount, solid);
                continue;
            }
            if (a == 0)
                continue;
            if (a == 255) {
                WritePixel(row, px, format.bitCount, solid);
                continue;
            }
            const uint32_t under = format.Decode(ReadPixel(row, px, format.bitCount));
            auto mix = [a](int from, int to) { return from + ((to - from) * a + (to > from ? 127 : -127)) / 255; };
            const uint32_t blended = uint32_t(mix(int(under >> 16 & 0xFF), tr)) << 16 | uint32_t(mix(int(under >> 8 & 0xFF), tg)) << 8
                                     | uint32_t(mix(int(under & 0xFF), tb));
            WritePixel(row, px, format.bitCount, format.Encode(blended));
        }
    }
}

// SDL_ttf moves the whole line down when a glyph reaches above the ascent (capitals with
// accents); the same line must keep its baseline wherever it is drawn.
int RiseAboveAscent(const RealFont& font, std::u16string_view text)
{
    int rise = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        int minx, maxx, miny, maxy, advance;
        if (TTF_GlyphMetrics32(font.ttf, c, &minx, &maxx, &miny, &maxy, &advance) == 0)
            rise = std::max(rise, maxy - font.ascent);
    }
    return rise;
}

std::u16string_view TextOf(LPCWSTR text, size_t count)
{
    return text ? std::u16string_view(text, count) : std::u16string_view();
}

} // namespace

SIZE MeasureText(const RealFont& font, std::u16string_view text)
{
    int w = 0, h = 0;
    if (!text.empty())
        TTF_SizeUTF8(font.ttf, Utf16ToUtf8(text).c_str(), &w, &h);
    return {w, font.height};
}

void DrawTextLine(const Target& target, const RealFont& font, int x, int y, std::u16string_view text, const RECT* clip)
{
    if (!target.surface.format || text.empty())
        return;
    RECT bounds = target.bounds;
    if (clip && !IntersectRects(bounds, bounds, *clip))
        return;
    const DeviceContext& dc = *target.dc;
    if (dc.bkMode == OPAQUE) {
        const SIZE size = MeasureText(font, text);
        Target box = target;
        box.bounds = bounds;
        FillTarget(box, {x, y, x + size.cx, y + size.cy}, ResolveColor(dc, dc.bkColor));
    }
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font.ttf, Utf16ToUtf8(text).c_str(), white);
    if (!glyphs)
        return;
    if (glyphs->format->BytesPerPixel == 4)
        Composite(target, *glyphs, x, y - RiseAboveAscent(font, text), bounds, ResolveColor(dc, dc.textColor), font.antialiased);
    SDL_FreeSurface(glyphs);
}

HFONT CreateFontIndirectW(const LOGFONTW* lplf)
{
    GdiGuard guard(GdiLock());
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HFONT>(AddObject(std::make_unique<Font>(*lplf)));
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm)
{
    GdiGuard guard(GdiLock());
    const DeviceContext* dc = Find<DeviceContext>(hdc);
    const RealFont* font = dc ? DcFont(*dc) : nullptr;
    if (!font || !lptm) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    TEXTMETRICW tm{};
    tm.tmHeight = font->height;
    tm.tmAscent = font->ascent;
    tm.tmDescent = font->descent;
    tm.tmInternalLeading = font->internalLeading;
    tm.tmExternalLeading = font->externalLeading;
    tm.tmAveCharWidth = font->aveCharWidth;
    tm.tmMaxCharWidth = font->maxCharWidth;
    tm.tmWeight = font->weight;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = u' ';
    tm.tmLastChar = u'\xFFFC';
    tm.tmDefaultChar = u'?';
    tm.tmBreakChar = u' ';
    tm.tmItalic = font->italic;
    tm.tmUnderlined = font->underline;
    tm.tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS; // "fixed" bit set means variable
    tm.tmCharSet = ANSI_CHARSET;
    *lptm = tm;
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size)
{
    GdiGuard guard(GdiLock());
    const DeviceContext* dc = Find<DeviceContext>(hdc);
    const RealFont* font = dc ? DcFont(*dc) : nullptr;
    if (!font || !size || count < 0 || (count && !text)) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *size = MeasureText(*font, TextOf(text, size_t(count)));
    return TRUE;
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT*)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target)
        return FALSE;
    if (count && !text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!target->surface.format)
        return TRUE;
    if ((options & ETO_OPAQUE) && rect)
        FillTarget(*target, *rect, ResolveColor(*target->dc, target->dc->bkColor));
    const RealFont* font = DcFont(*target->dc);
    if (!font)
        return FALSE;
    DrawTextLine(*target, *font, x, y, TextOf(text, count), (options & ETO_CLIPPED) ? rect : nullptr);
    return TRUE;
}
