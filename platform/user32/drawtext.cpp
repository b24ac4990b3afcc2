#include "../gdi32/fonts.h"
#include "utf.h"

#include "winbase.h"
#include "winerror.h"
#include "winuser.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Line {
    std::u16string text;
    int width = 0;
    int underline = -1; // index of the character a prefix underlines
};

// Removes prefix marks: "&x" underlines x, "&&" is one ampersand.
std::u16string StripPrefixes(std::u16string_view text, int& underline)
{
    std::u16string out;
    underline = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && underline < 0)
                underline = int(out.size());
        }
        out.push_back(text[i]);
    }
    return out;
}

int Width(const RealFont& font, std::u16string_view text)
{
    return int(MeasureText(font, text).cx);
}

// Splits a paragraph greedily at blanks; a word wider than the line stays whole on its own.
// The blanks where a line breaks are dropped.
void Wrap(const RealFont& font, std::u16string_view paragraph, size_t offset, int maxWidth,
          std::vector<std::pair<size_t, std::u16string>>& out)
{
    std::u16string current;
    size_t currentStart = offset;
    bool started = false;
    size_t i = 0;
    while (true) {
        const size_t gap = i;
        while (i < paragraph.size() && paragraph[i] == u' ')
            ++i;
        if (i == paragraph.size())
            break;
        const size_t end = std::min(paragraph.find(u' ', i), paragraph.size());
        if (!started) {
            current = paragraph.substr(0, end);
            started = true;
        } else if (std::u16string candidate = current + std::u16string(paragraph.substr(gap, end - gap));
                   Width(font, candidate) <= maxWidth) {
            current = std::move(candidate);
        } else {
            out.emplace_back(currentStart, current);
            current = paragraph.substr(i, end - i);
            currentStart = offset + i;
        }
        i = end;
    }
    out.emplace_back(currentStart, current);
}

std::vector<Line> Layout(const RealFont& font, const std::u16string& text, int underline, UINT format, int maxWidth)
{
    std::vector<std::pair<size_t, std::u16string>> pieces; // start offset in text, line text
    if (format & DT_SINGLELINE) {
        std::u16string line;
        for (char16_t c : text)
            if (c != u'\r' && c != u'\n')
                line.push_back(c);
        pieces.emplace_back(0, line);
    } else {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find_first_of(u"\r\n", start);
            if (end == std::u16string::npos)
                end = text.size();
            const std::u16string_view paragraph(text.data() + start, end - start);
            if (format & DT_WORDBREAK)
                Wrap(font, paragraph, start, maxWidth, pieces);
            else
                pieces.emplace_back(start, std::u16string(paragraph));
            if (end == text.size())
                break;
            start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
        }
    }
    std::vector<Line> lines;
    for (auto& [start, piece] : pieces) {
        Line line{piece, 0, -1};
        if (underline >= int(start) && underline < int(start + piece.size()) && !(format & DT_SINGLELINE))
            line.underline = underline - int(start);
        if (format & DT_SINGLELINE)
            line.underline = underline;
        if ((format & DT_END_ELLIPSIS) && Width(font, line.text) > maxWidth) {
            while (!line.text.empty() && Width(font, line.text + u"...") > maxWidth)
                line.text.pop_back();
            line.text += u"...";
            if (line.underline >= int(line.text.size()) - 3)
                line.underline = -1;
        }
        line.width = Width(font, line.text);
        lines.push_back(std::move(line));
    }
    return lines;
}

void Underline(const Target& target, const RealFont& font, const Line& line, int x, int y, const RECT* clip)
{
    const std::u16string_view text(line.text);
    const int from = x + Width(font, text.substr(0, size_t(line.underline)));
    const int to = from + Width(font, text.substr(size_t(line.underline), 1));
    Target cut = target;
    if (clip && !IntersectRects(cut.bounds, cut.bounds, *clip))
        return;
    const int baseline = y + font.ascent + 1;
    FillTarget(cut, {from, baseline, to, baseline + 1}, ResolveColor(*target.dc, target.dc->textColor));
}

} // namespace

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format)
{
    GdiGuard guard(GdiLock());
    const std::optional<Target> target = TargetOf(hdc);
    if (!target)
        return 0;
    const RealFont* font = DcFont(*target->dc);
    if (count == -1 && text)
        count = int(Utf16Length(text));
    if (!font || !rect || count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int underline = -1;
    const std::u16string plain
        = (format & DT_NOPREFIX) ? std::u16string(text, size_t(count)) : StripPrefixes({text, size_t(count)}, underline);
    if (plain.empty() && count == 0)
        return 0;
    const std::vector<Line> lines = Layout(*font, plain, underline, format, int(rect->right - rect->left));
    const int lineHeight = font->height;
    const int total = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }
    const bool single = format & DT_SINGLELINE;
    int y = rect->top;
    if (single && (format & DT_VCENTER))
        y = int((int64_t{rect->top} + rect->bottom - lineHeight) / 2);
    else if (single && (format & DT_BOTTOM))
        y = rect->bottom - lineHeight;
    const int firstY = y;
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
    for (const Line& line : lines) {
        int x = rect->left;
        if (format & DT_CENTER)
            x = int((int64_t{rect->left} + rect->right - line.width) / 2);
        else if (format & DT_RIGHT)
            x = rect->right - line.width;
        DrawTextLine(*target, *font, x, y, line.text, clip);
        if (line.underline >= 0 && target->surface.format)
            Underline(*target, *font, line, x, y, clip);
        y += lineHeight;
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM)))
        return firstY + lineHeight - rect->top;
    return total;
}
