#include "keyname.h"

namespace {

constexpr size_t kMaxKeyName = 255;

char16_t upper(char16_t c)
{
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? c - 0x20 : c;
    if (c < 0x100) {
        if (c == 0xB5)
            return 0x39C; // micro sign folds to capital mu
        if (c == 0xFF)
            return 0x178;
        return c >= 0xE0 && c != 0xF7 ? c - 0x20 : c;
    }
    if (c < 0x180) {
        // Latin Extended-A pairs an upper-case letter with its lower case right after it,
        // even-odd in three runs and odd-even in two; the rest stand alone.
        const bool evenPairs = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (evenPairs && (c & 1))
            return c - 1;
        if (oddPairs && !(c & 1))
            return c - 1;
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

} // namespace

std::u16string FoldName(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& c : folded)
        c = upper(c);
    return folded;
}

std::optional<std::vector<std::u16string>> SplitKeyPath(std::u16string_view path)
{
    std::vector<std::u16string> names;
    if (!path.empty() && path.back() == u'\\')
        path.remove_suffix(1);
    if (path.empty())
        return names;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(u'\\', start);
        const std::u16string_view name = path.substr(start, end == path.npos ? path.npos : end - start);
        if (name.empty() || name.size() > kMaxKeyName)
            return std::nullopt;
        names.emplace_back(name);
        if (end == path.npos)
            return names;
        start = end + 1;
    }
}
