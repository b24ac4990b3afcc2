// PROPERTIES::Parse over any text, as layout and skin files are read. Then what must hold of
// the table: keys are trimmed, unique and in order, and any case of a key finds it; the table
// written back as lines parses to itself; removing the text's keys empties it. (What numbers
// and colours values read as, the unit tests' tables say.)
#include "cetl/properties.h"
#include "fuzz_check.h"

#include <cstdint>
#include <string>
#include <string_view>

using cetl::PROPERTIES;
using cetl::PROPERTIESVALUE;

namespace {

// Free of line ends, and of blanks at either end.
bool isTrimmedLine(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return text.find_first_of("\r\n") == std::string_view::npos && (text.empty() || (!blank(text.front()) && !blank(text.back())));
}

// The text with every ASCII letter in the other case: the same key to the table.
std::string withOtherAsciiCase(std::string_view text)
{
    std::string changed(text);
    for (char& c : changed)
        c = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? char(c ^ 0x20) : c;
    return changed;
}

void checkEntry(const PROPERTIES& table, const istring& key, const PROPERTIESVALUE& value)
{
    const std::string_view k = key.View();
    FUZZ_REQUIRE(!k.empty() && k[0] != '#' && k.find('=') == std::string_view::npos);
    FUZZ_REQUIRE(isTrimmedLine(k) && isTrimmedLine(value.View()));
    FUZZ_REQUIRE(table.Lookup(istring(withOtherAsciiCase(k))).View() == value.View());
    const cetl::FONTFIELDS font = cetl::SplitFontSpecification(value.View());
    FUZZ_REQUIRE(font.face.View().find(',') == std::string_view::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const string text(std::string_view(reinterpret_cast<const char*>(data), size));
    PROPERTIES table(0.79, 32);
    table.Parse(text, PROPERTIES::kParseSet);

    std::string lines;
    const istring* previous = nullptr;
    size_t count = 0;
    for (const auto& entry : table) {
        checkEntry(table, entry.key, entry.value);
        if (previous) {
            FUZZ_REQUIRE(previous->Compare(entry.key.View()) < 0);
            FUZZ_REQUIRE(entry.key.Compare(previous->View()) > 0);
        }
        previous = &entry.key;
        ++count;
        lines.append(entry.key.View()).append("=").append(entry.value.View()).append("\n");
    }
    FUZZ_REQUIRE(count == table.Count());

    PROPERTIES again(0.79, 32);
    again.Parse(string(lines), PROPERTIES::kParseSet);
    FUZZ_REQUIRE(again.Count() == table.Count());
    auto it = again.begin();
    for (const auto& entry : table) {
        FUZZ_REQUIRE(it->key.View() == entry.key.View() && it->value.View() == entry.value.View());
        ++it;
    }

    table.Parse(text, PROPERTIES::kParseRemove);
    FUZZ_REQUIRE(table.IsEmpty());
    return 0;
}
