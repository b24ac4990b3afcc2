#include "stringtable.h"

namespace {
constexpr uint16_t kStringType = 6;
}

std::vector<Resource> EncodeStringTable(const std::map<uint16_t, std::u16string>& strings)
{
    std::map<uint16_t, std::map<uint16_t, std::u16string>> blocks;
    for (const auto& [id, text] : strings)
        blocks[id / 16][id % 16] = text;

    std::vector<Resource> resources;
    for (const auto& [block, entries] : blocks) {
        ByteWriter out;
        for (uint16_t slot = 0; slot < 16; ++slot) {
            auto it = entries.find(slot);
            const std::u16string empty;
            const std::u16string& text = it == entries.end() ? empty : it->second;
            out.word(static_cast<uint16_t>(text.size()));
            out.text(text);
        }
        resources.push_back({{kStringType, {}}, {static_cast<uint16_t>(block + 1), {}}, out.take(), {}, 0});
    }
    return resources;
}
