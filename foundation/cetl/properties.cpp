#include "cetl/properties.h"

#include <limits>

namespace cetl {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int32_t numberOf(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        n = std::min<int64_t>(n * 10 + (c - '0'), int64_t{std::numeric_limits<int32_t>::max()} + 1);
    }
    n = negative ? -n : n;
    return static_cast<int32_t>(std::min<int64_t>(n, std::numeric_limits<int32_t>::max()));
}

bool isStyleLetters(std::string_view item)
{
    if (item.empty())
        return false;
    for (char c : item) {
        if (std::string_view("BIUbiu").find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

} // namespace

int32_t PROPERTIESVALUE::Number() const
{
    return numberOf(View());
}

uint32_t PROPERTIESVALUE::Colour() const
{
    std::string_view text = View();
    if (!text.empty() && text[0] == '#')
        text.remove_prefix(1);
    if (text.size() < 6)
        return 0;
    uint32_t rgb[3];
    for (int k = 0; k < 3; ++k) {
        const int high = hexDigit(text[2 * k]);
        const int low = hexDigit(text[2 * k + 1]);
        if (high < 0 || low < 0)
            return 0;
        rgb[k] = static_cast<uint32_t>(high * 16 + low);
    }
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16 | 0x02000000;
}

void PROPERTIES::Parse(const string& text, int mode)
{
    const std::string_view all = text.View();
    size_t i = 0;
    while (true) {
        while (i < all.size() && (isBlank(all[i]) || isLineEnd(all[i])))
            ++i;
        if (i == all.size())
            return;
        size_t end = i;
        while (end < all.size() && !isLineEnd(all[end]))
            ++end;
        const std::string_view line = all.substr(i, end - i);
        i = end;

        const size_t equals = line.find('=');
        if (line[0] == '#' || equals == 0 || equals == std::string_view::npos)
            continue;
        const istring key(trimBlanks(line.substr(0, equals)));
        const std::string_view value = trimBlanks(line.substr(equals + 1));
        if (mode == kParseRemove) {
            if (Contains(key))
                Remove(key);
        } else {
            (*this)[key] = PROPERTIESVALUE(value);
        }
    }
}

FONTFIELDS SplitFontSpecification(std::string_view specification)
{
    FONTFIELDS fields;
    while (true) {
        const size_t comma = specification.find(',');
        const std::string_view item = specification.substr(0, comma);
        if (numberOf(item) != 0) {
            fields.size = numberOf(item);
        } else if (isStyleLetters(item)) {
            fields.fBold |= item.find_first_of("Bb") != std::string_view::npos;
            fields.fItalic |= item.find_first_of("Ii") != std::string_view::npos;
            fields.fUnderline |= item.find_first_of("Uu") != std::string_view::npos;
        } else if (!item.empty() && !(istring(item) == "default")) {
            fields.face = item;
        }
        if (comma == std::string_view::npos)
            return fields;
        specification.remove_prefix(comma + 1);
    }
}

} // namespace cetl
