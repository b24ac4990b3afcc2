#include "scores.h"

#include "windows.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr size_t kEntrySize = 140, kEntries = 9, kNameUnits = 64, kValueSize = 4 + kEntries * kEntrySize;
const char16_t kKey[] = u"Software\\Zelnor\\Quibo";

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

uint32_t ExpectedCheck(const std::u16string& name, uint32_t score)
{
    uint32_t v = 0x5B7E21D4;
    for (char16_t c : name)
        v = v * 2 + c;
    return ((v ^ score) * 2) ^ score;
}

uint32_t PackedToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return uint32_t((local.tm_year + 1900) * 372 + local.tm_mon * 31 + (local.tm_mday - 1));
}

std::optional<std::vector<StoredScore>> ParseHighScores(const std::vector<uint8_t>& value)
{
    if (value.size() != kValueSize || Le32(value.data()) != 0x00030000)
        return std::nullopt;
    std::vector<StoredScore> table(kEntries);
    for (size_t i = 0; i < kEntries; ++i) {
        const uint8_t* entry = value.data() + 4 + i * kEntrySize;
        for (size_t unit = 0; unit < kNameUnits && (entry[unit * 2] || entry[unit * 2 + 1]); ++unit)
            table[i].name.push_back(char16_t(entry[unit * 2] | entry[unit * 2 + 1] << 8));
        table[i] = {table[i].name, Le32(entry + 128), Le32(entry + 132), Le32(entry + 136)};
    }
    return table;
}

std::vector<uint8_t> ReadHighScoresValue()
{
    std::vector<uint8_t> value(kValueSize + 1); // room for one more byte, so a longer value shows
    DWORD size = DWORD(value.size());
    HKEY key = nullptr;
    const bool read = RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS
                      && RegQueryValueExW(key, u"HighScores", nullptr, nullptr, value.data(), &size) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    value.resize(read ? size : 0);
    return value;
}

bool WriteHighScoresValue(const std::vector<uint8_t>& value)
{
    HKEY key = nullptr;
    const bool ok = RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS
                    && RegSetValueExW(key, u"HighScores", 0, REG_BINARY, value.data(), DWORD(value.size())) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    return ok;
}

bool SeedEntry(std::vector<uint8_t>& value, const std::u16string& name, uint32_t score)
{
    if (!ParseHighScores(value) || name.empty() || name.size() >= kNameUnits)
        return false;
    uint8_t* entry = value.data() + 4;
    std::fill(entry, entry + kNameUnits * 2, uint8_t(0));
    for (size_t i = 0; i < name.size(); ++i)
        entry[i * 2] = uint8_t(name[i]), entry[i * 2 + 1] = uint8_t(name[i] >> 8);
    PutLe32(entry + 128, score);
    PutLe32(entry + 132, PackedToday());
    PutLe32(entry + 136, ExpectedCheck(name, score));
    return true;
}

bool ForgeName(std::vector<uint8_t>& value, const std::u16string& name)
{
    const auto table = ParseHighScores(value);
    if (!table || name.empty())
        return false;
    const auto found = std::find_if(table->begin(), table->end(), [&](const StoredScore& s) { return s.name == name; });
    if (found == table->end())
        return false;
    uint8_t* first = value.data() + 4 + size_t(found - table->begin()) * kEntrySize;
    first[0] = first[0] == 'X' ? 'Y' : 'X'; // the first character, low byte
    first[1] = 0;
    return true;
}
