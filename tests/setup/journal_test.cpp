#include "journal.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The lines below the writer's header.
std::string Body(const std::string& text)
{
    return text.substr(text.find("\n\n") + 2);
}

// What reading `text` gives: the entries written back, or the error when nothing was handed on.
std::string Read(const std::string& text)
{
    std::vector<JOURNALENTRY> entries;
    std::string error;
    const bool read = ReadJournal(text.data(), text.size(), &entries, &error);
    return read ? Body(JournalText(entries)) : entries.empty() ? error : "half-read";
}

} // namespace

// Each kind reads and is written back as one line; reading ignores the case of keywords,
// spacing, comments and blank lines; damaged text is refused whole, with the line named.
TEST(Journal, ReadsBackAsWrittenLenientInFormAndRefusesDamageNamingTheLine)
{
    const std::string good = "deletefile { \"a\" }\n", longest = "deletefile { \"" + std::string(kJournalMaxLine - 17, 'x') + "\" }";
    const std::pair<std::string, std::string> cases[] = {
        {"# comment\n\n  DeleteFile { \"a b\" }\r\n\tDELETEVAL {\"k\"   v }\n#deletedir { \"x\" }",
         "deletefile { \"a b\" }\ndeleteval { \"k\" \"v\" }\n"},
        {"deletedir {\"C:\\Q\"}\ndeletekey { \"HKCU\\S\" }\napphook { \"hook\" }",
         "deletedir { \"C:\\Q\" }\ndeletekey { \"HKCU\\S\" }\napphook { \"hook\" }\n"},
        {"", ""},
        {longest, longest + "\n"},
        {good + "removeall { \"C:\\\" }\n", "line 2: unknown keyword \"removeall\""},
        {good + "\"deletefile\" { \"a\" }\n", "line 2: unknown keyword \"deletefile\""},
        {good + "deletefile\n", "line 2: missing \"{\" after deletefile"},
        {good + "deletefile \"{\" \"a\" }\n", "line 2: missing \"{\" after deletefile"},
        {good + "deletefile { \"a\"\n", "line 2: missing \"}\""},
        {good + "deletefile { \"a }\n", "line 2: unterminated quote"},
        {good + "deletefile { \"a\" \"b\" }\n", "line 2: deletefile takes 1 name"},
        {good + "deleteval { \"k\" }\n", "line 2: deleteval takes 2 names"},
        {good + "deletefile { \"a\" } extra\n", "line 2: text after \"}\""},
        {good + std::string("deletefile { \"a\0b\" }\n", 21), "line 2: holds a zero byte"},
        {good + "deletefile { \"" + std::string(kJournalMaxLine - 16, 'x') + "\" }\n", "line 2: longer than 32768 bytes"},
    };
    for (const auto& [text, read] : cases)
        EXPECT_EQ(Read(text), read) << text.substr(0, 60);
}
