#include "skingraphics.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "cetl/properties.h"
#include "skinmarkup.h"
#include "skinwindow.h"
#include "utf.h"

#include <algorithm>

void SkinDraw(Graphic* image, Graphic* target, int x, int y, const RECT& part)
{
    DrawImageAt(ANIMDRAW{target, part}, image, x, y);
}

void SkinTile(Graphic* image, Graphic* target, const RECT& area, const RECT& part)
{
    if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0)
        return;
    RECT clip{std::max(area.left, part.left), std::max(area.top, part.top), std::min(area.right, part.right),
              std::min(area.bottom, part.bottom)};
    for (int y = area.top; y < area.bottom; y += image->GetHeight())
        for (int x = area.left; x < area.right; x += image->GetWidth()) {
            RECT cell = clip;
            cell.right = std::min<LONG>(clip.right, x + image->GetWidth());
            cell.bottom = std::min<LONG>(clip.bottom, y + image->GetHeight());
            SkinDraw(image, target, x, y, cell);
        }
}

void SkinThreeSlice(Graphic* image, Graphic* target, const RECT& area, const RECT& part)
{
    if (!image)
        return;
    const int cx = image->GetWidth(), cy = image->GetHeight();
    const int cap = std::min(cx / 3, cy / 2);
    const int y = area.top + (area.bottom - area.top - cy) / 2;
    const int width = area.right - area.left;
    if (width <= 2 * cap || cx <= 2 * cap) {
        SkinDraw(image, target, area.left, y, part);
        return;
    }
    const RECT clip{std::max(area.left, part.left), part.top, std::min(area.right, part.right), part.bottom};
    RECT left = clip;
    left.right = std::min<LONG>(clip.right, area.left + cap);
    SkinDraw(image, target, area.left, y, left);
    const int middle = cx - 2 * cap;
    for (int x = area.left + cap; x < area.right - cap; x += middle) {
        RECT cell = clip;
        cell.left = std::max<LONG>(clip.left, x);
        cell.right = std::min<LONG>({clip.right, LONG(x + middle), LONG(area.right - cap)});
        SkinDraw(image, target, x - cap, y, cell);
    }
    RECT right = clip;
    right.left = std::max<LONG>(clip.left, area.right - cap);
    SkinDraw(image, target, area.right - cx, y, right);
}

namespace {

struct WORDBOX {
    std::u16string text;
    HFONT font;
    COLORREF color;
    bool underline;
    std::string href;
    SIZE size;
    int ascent;
    bool lineBreak; // a "\n" after it
};

std::string FontSpecFor(const std::string& base, const SKINTEXTSTYLE& style)
{
    cetl::FONTFIELDS f = cetl::SplitFontSpecification(base);
    std::string face = style.face.empty() ? std::string(f.face.View()) : style.face;
    int size = style.size ? style.size : f.size;
    std::string spec = face + "," + std::to_string(size);
    if (f.fBold || style.fBold)
        spec += ",B";
    if (f.fItalic || style.fItalic)
        spec += ",I";
    if (f.fUnderline || style.fUnderline || !style.href.empty())
        spec += ",U";
    return spec;
}

} // namespace

std::vector<std::pair<RECT, std::string>> SkinDrawText(SKINWINDOW* window, Graphic* target, const std::string& markup, const RECT& area,
                                                       const RECT& part, const SKINTEXTOPTIONS& options)
{
    std::vector<std::pair<RECT, std::string>> links;
    HDC hdc = target->GetDC();
    if (!hdc)
        return links;
    // Words, each with its font and size.
    std::vector<WORDBOX> words;
    for (const SKINTEXTRUN& run : ParseSkinMarkup(markup)) {
        HFONT font = window->Font(FontSpecFor(options.fontSpec, run.style));
        const COLORREF color = !run.style.href.empty()         ? RGB(0x20, 0x40, 0xC0)
                               : run.style.color != 0xFFFFFFFF ? COLORREF(run.style.color)
                                                               : options.color;
        SelectObject(hdc, font);
        TEXTMETRICW tm{};
        GetTextMetricsW(hdc, &tm);
        const std::u16string text = Utf8ToUtf16(run.text);
        size_t i = 0;
        while (i < text.size()) {
            size_t end = i;
            while (end < text.size() && text[end] != u' ' && text[end] != u'\n')
                ++end;
            if (end < text.size() && text[end] == u' ')
                ++end; // a word keeps its trailing blank
            WORDBOX w{text.substr(i, end - i), font, color, false, run.style.href, {0, tm.tmHeight}, tm.tmAscent, false};
            GetTextExtentPoint32W(hdc, w.text.c_str(), int(w.text.size()), &w.size);
            w.size.cy = tm.tmHeight;
            if (end < text.size() && text[end] == u'\n') {
                w.lineBreak = true;
                ++end;
            }
            words.push_back(std::move(w));
            i = end;
        }
    }
    // Lines.
    const int width = area.right - area.left;
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0;
    int x = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        if (x > 0 && x + words[i].size.cx > width) {
            lines.push_back({start, i});
            start = i;
            x = 0;
        }
        x += words[i].size.cx;
        if (words[i].lineBreak) {
            lines.push_back({start, i + 1});
            start = i + 1;
            x = 0;
        }
    }
    if (start < words.size())
        lines.push_back({start, words.size()});
    int total = 0;
    std::vector<int> heights;
    for (auto [a, b] : lines) {
        int h = 0;
        for (size_t i = a; i < b; ++i)
            h = std::max<int>(h, words[i].size.cy);
        if (a == b || (b - a == 1 && words[a].text.empty()))
            h = std::max(h, words.empty() ? 0 : int(words[std::min(a, words.size() - 1)].size.cy));
        heights.push_back(h);
        total += h;
    }
    IntersectClipRect(hdc, part.left, part.top, part.right, part.bottom);
    SetBkMode(hdc, TRANSPARENT);
    int y = area.top + (options.vcentre ? std::max(0, (int(area.bottom - area.top) - total) / 2) : 0);
    for (size_t l = 0; l < lines.size(); ++l) {
        const auto [a, b] = lines[l];
        int lineWidth = 0;
        for (size_t i = a; i < b; ++i)
            lineWidth += words[i].size.cx;
        int lx = area.left;
        if (options.layout == 1)
            lx += (width - lineWidth) / 2;
        else if (options.layout == 2)
            lx += width - lineWidth;
        for (size_t i = a; i < b; ++i) {
            const WORDBOX& w = words[i];
            SelectObject(hdc, w.font);
            SetTextColor(hdc, w.color);
            const int wy = y + heights[l] - w.size.cy;
            ExtTextOutW(hdc, lx, wy, 0, nullptr, w.text.c_str(), UINT(w.text.size()), nullptr);
            if (!w.href.empty())
                links.push_back({RECT{lx, wy, lx + w.size.cx, wy + w.size.cy}, w.href});
            lx += w.size.cx;
        }
        y += heights[l];
    }
    SelectClipRgn(hdc, nullptr);
    SelectObject(hdc, GetStockObject(SYSTEM_FONT));
    target->ReleaseDC();
    return links;
}
