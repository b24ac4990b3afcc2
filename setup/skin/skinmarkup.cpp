#include "skinmarkup.h"

#include "skinlib.h"
#include "tl_string.h"

#include <cctype>
#include <cstdlib>

namespace {

struct OPENTAG {
    std::string name;
    SKINTEXTSTYLE before; // the style the tag replaced
};

// The value of name= inside a tag body: quoted with ' or ", or up to the next blank.
bool Attribute(std::string_view body, std::string_view name, std::string& value)
{
    const std::string lower = AsciiLower(body);
    size_t at = 0;
    while ((at = lower.find(name, at)) != std::string::npos) {
        const bool startsWord = at == 0 || std::isspace(static_cast<unsigned char>(lower[at - 1]));
        size_t p = at + name.size();
        at = p;
        if (!startsWord || p >= body.size() || body[p] != '=')
            continue;
        ++p;
        if (p < body.size() && (body[p] == '"' || body[p] == '\'')) {
            const size_t end = body.find(body[p], p + 1);
            value = std::string(body.substr(p + 1, end == std::string_view::npos ? end : end - p - 1));
        } else {
            size_t end = p;
            while (end < body.size() && !std::isspace(static_cast<unsigned char>(body[end])))
                ++end;
            value = std::string(body.substr(p, end - p));
        }
        return true;
    }
    return false;
}

// Applies an opening tag; false when the tag is not one of the markup's.
bool Open(const std::string& name, std::string_view body, SKINTEXTSTYLE& style)
{
    if (name == "b")
        style.fBold = true;
    else if (name == "i")
        style.fItalic = true;
    else if (name == "u")
        style.fUnderline = true;
    else if (name == "a") {
        std::string href;
        if (!Attribute(body, "href", href))
            return false;
        style.href = href.empty() ? std::string(" ") : href;
    } else if (name == "font") {
        std::string value;
        if (Attribute(body, "face", value))
            style.face = value;
        if (Attribute(body, "size", value)) {
            const long size = std::strtol(value.c_str(), nullptr, 10);
            if (size > 0 && size <= 200)
                style.size = int(size);
        }
        if (Attribute(body, "color", value))
            style.color = SkinColorFromText(value, 0xFFFFFFFF);
    } else
        return false;
    return true;
}

} // namespace

std::vector<SKINTEXTRUN> ParseSkinMarkup(std::string_view text)
{
    std::vector<SKINTEXTRUN> runs;
    std::vector<OPENTAG> open;
    SKINTEXTSTYLE style;
    std::string pending;
    auto flush = [&] {
        if (!pending.empty())
            runs.push_back({std::move(pending), style});
        pending.clear();
    };
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text[i] == '<' ? text.find('>', i) : std::string_view::npos;
        if (end == std::string_view::npos) {
            pending += text[i++];
            continue;
        }
        const std::string_view tag = text.substr(i + 1, end - i - 1);
        i = end + 1;
        const bool closing = !tag.empty() && tag[0] == '/';
        const std::string_view body = closing ? tag.substr(1) : tag;
        size_t nameEnd = 0;
        while (nameEnd < body.size() && !std::isspace(static_cast<unsigned char>(body[nameEnd])))
            ++nameEnd;
        const std::string name = AsciiLower(body.substr(0, nameEnd));
        if (closing) {
            for (size_t k = open.size(); k-- > 0;) {
                if (open[k].name != name)
                    continue;
                flush();
                style = open[k].before;
                open.resize(k);
                break;
            }
            continue;
        }
        SKINTEXTSTYLE next = style;
        if (!Open(name, body.substr(nameEnd), next))
            continue;
        flush();
        open.push_back({name, style});
        style = next;
    }
    flush();
    return runs;
}

std::string SkinMarkupPlainText(std::string_view text)
{
    std::string plain;
    for (const SKINTEXTRUN& run : ParseSkinMarkup(text))
        plain += run.text;
    return plain;
}
