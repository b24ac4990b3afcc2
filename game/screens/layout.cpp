#include "layout.h"

#include "unzipper.h"

#include <string>

namespace {

constexpr double kPromotion = 0.79;
constexpr int kMaxLevels = 32;

int g_generation;

} // namespace

cetl::PROPERTIES g_layout(kPromotion, kMaxLevels);

int LayoutGeneration()
{
    return g_generation;
}

void LoadLayout(ZIPFILE& pack)
{
    cetl::PROPERTIES fresh(kPromotion, kMaxLevels);
    const istring name("layout.txt");
    if (ZIPENTRY* entry = pack.Contains(name) ? pack[name] : nullptr) {
        entry->Decompress();
        if (entry->pbUncompressed && entry->cbUncompressed) {
            // The file is 8-bit text: each byte widens to one character.
            std::u16string wide(entry->cbUncompressed, u'\0');
            for (DWORD i = 0; i < entry->cbUncompressed; ++i)
                wide[i] = char16_t(entry->pbUncompressed[i]);
            fresh.Parse(string(std::u16string_view(wide)), cetl::PROPERTIES::kParseSet);
        }
    }
    g_layout.RemoveAll();
    for (auto& entry : fresh)
        g_layout[entry.key] = entry.value;
    g_layout.SetDefault(fresh.Default());
    ++g_generation;
}

int32_t LayoutNumber(std::string_view key)
{
    return g_layout[istring(key)].Number();
}

string LayoutText(std::string_view key)
{
    return g_layout[istring(key)];
}

int32_t ElementNumber(std::string_view name, std::string_view attribute)
{
    std::string key(name);
    key += ' ';
    key += attribute;
    return LayoutNumber(key);
}
