#include "devicepath.h"

#include "windef.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace handheld {

namespace {

bool sameFolded(std::u16string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t c = a[i];
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != char16_t(b[i]))
            return false;
    }
    return true;
}

bool validName(std::u16string_view name)
{
    for (char16_t c : name)
        if (c < 0x20 || std::u16string_view(u":*?\"<>|").find(c) != std::u16string_view::npos)
            return false;
    return true;
}

} // namespace

std::optional<std::u16string> CanonicalDevicePath(std::u16string_view path)
{
    if (path.size() >= 2 && path[1] == u':') {
        if (path[0] != u'C' && path[0] != u'c')
            return std::nullopt;
        path.remove_prefix(2);
    }
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(u"\\/", start);
        if (end == std::u16string_view::npos)
            end = path.size();
        const std::u16string_view name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == u".")
            continue;
        if (name == u"..") {
            if (parts.empty())
                return std::nullopt;
            parts.pop_back();
            continue;
        }
        if (!validName(name))
            return std::nullopt;
        parts.push_back(name);
    }
    if (!parts.empty() && sameFolded(parts.front(), kStoreFolder))
        return std::nullopt;
    std::u16string canonical;
    for (std::u16string_view part : parts) {
        canonical.push_back(u'\\');
        canonical.insert(canonical.end(), part.begin(), part.end());
    }
    if (canonical.empty())
        canonical.push_back(u'\\');
    if (canonical.size() >= MAX_PATH)
        return std::nullopt;
    return canonical;
}

bool InsideFolder(const std::string& root, const std::string& hostPath)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(hostPath, error);
    if (error)
        return false;
    const std::string text = resolved.string();
    return text == root || text.starts_with(root + "/");
}

} // namespace handheld
