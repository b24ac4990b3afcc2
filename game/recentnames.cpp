#include "recentnames.h"

#include "records.h"

#include <algorithm>
#include <iterator>

std::u16string_view RecentNamesText(const char16_t* field, size_t cchField)
{
    size_t cch = 0;
    while (cch < cchField && field[cch])
        ++cch;
    return std::u16string_view(field, cch);
}

std::vector<std::u16string_view> RecentNames(std::u16string_view list)
{
    std::vector<std::u16string_view> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(u';', start);
        if (end == std::u16string_view::npos)
            end = list.size();
        if (end == start)
            break;
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::u16string TakeFirstName(std::u16string& list)
{
    const size_t end = list.find(u';');
    if (end == std::u16string::npos)
        return {};
    std::u16string name = list.substr(0, end);
    list.erase(0, end + 1);
    return name;
}

std::u16string RememberName(std::u16string_view list, std::u16string_view name, size_t cchField)
{
    // Room is kept for the terminating zero and a little slack.
    constexpr size_t cchSLACK = 8;
    std::u16string result(name);
    result += u';';
    for (std::u16string_view earlier : RecentNames(list)) {
        if (earlier == name)
            continue;
        if (result.size() + earlier.size() + cchSLACK > cchField)
            break;
        result += earlier;
        result += u';';
    }
    return result;
}

std::u16string RememberPlayerName(std::u16string_view typed)
{
    constexpr size_t cchTYPED_MAX = 255;
    const std::u16string_view name = typed.substr(0, cchTYPED_MAX);
    // An empty entry would read as the end of the list and hide every earlier name.
    if (name.empty())
        return {};
    std::u16string list = RememberName(RecentNamesText(g_settings.szRecentNames, cchRECENT_NAMES), name, cchRECENT_NAMES);
    std::fill(std::begin(g_settings.szRecentNames), std::end(g_settings.szRecentNames), u'\0');
    list.copy(g_settings.szRecentNames, cchRECENT_NAMES - 1);
    return TakeFirstName(list);
}
