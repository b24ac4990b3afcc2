// ReadJournal over any text. What must hold: damaged text is refused whole, with no entries
// and an error naming one of its lines; a journal that reads is written back to text that
// reads as the same entries, and that text is the writer's fixed point.
#include "fuzz_check.h"
#include "journal.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<JOURNALENTRY> entries = {{JOURNAL_APPHOOK, "stale", ""}};
    std::string error = "stale";
    const size_t lines = size_t(std::count(data, data + size, '\n')) + 1;
    if (!ReadJournal(data, size, &entries, &error)) {
        FUZZ_REQUIRE(entries.empty() && error.starts_with("line "));
        FUZZ_REQUIRE(std::stoul(error.substr(5)) >= 1 && std::stoul(error.substr(5)) <= lines);
        return 0;
    }
    FUZZ_REQUIRE(error.empty() && entries.size() <= lines);
    for (const JOURNALENTRY& entry : entries)
        FUZZ_REQUIRE(entry.kind >= JOURNAL_DELETEDIR && entry.kind <= JOURNAL_APPHOOK
                     && (entry.kind == JOURNAL_DELETEVAL || entry.value.empty()));

    const std::string text = JournalText(entries);
    std::vector<JOURNALENTRY> again;
    FUZZ_REQUIRE(ReadJournal(text.data(), text.size(), &again, &error));
    FUZZ_REQUIRE(again == entries);
    FUZZ_REQUIRE(JournalText(again) == text);
    return 0;
}
