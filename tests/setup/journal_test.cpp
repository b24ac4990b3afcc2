#include "journal.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<JOURNALENTRY> read(const std::string& text)
{
    std::vector<JOURNALENTRY> entries;
    std::string message;
    EXPECT_TRUE(ReadJournal(text.data(), text.size(), &entries, &message)) << message;
    return entries;
}

} // namespace

TEST(Journal, TextIsTheHeaderThenOneLinePerEntry)
{
    const std::vector<JOURNALENTRY> entries = {
        {JOURNAL_DELETEDIR, "C:\\Program Files\\Quibo", ""},
        {JOURNAL_DELETEFILE, "C:\\Program Files\\Quibo\\quibo.exe", ""},
        {JOURNAL_DELETEKEY, "HKCU\\Software", ""},
        {JOURNAL_DELETEVAL, "HKCU\\Software\\Zelnor\\Quibo", "High Scores"},
        {JOURNAL_APPHOOK, "hook", ""},
    };
    const std::string text = JournalText(entries);
    const std::string expected = "#\n"
                                 "# This uninstall log is automatically generated during installation\n"
                                 "# and is used by the Zelnor Software uninstaller for removing this\n"
                                 "# product from your machine.\n"
                                 "#\n"
                                 "# If this file is missing or damaged, Windows will be unable to\n"
                                 "# automatically uninstall this product.\n"
                                 "#\n"
                                 + std::string(79, '#')
                                 + "\n"
                                   "\n"
                                   "deletedir { \"C:\\Program Files\\Quibo\" }\n"
                                   "deletefile { \"C:\\Program Files\\Quibo\\quibo.exe\" }\n"
                                   "deletekey { \"HKCU\\Software\" }\n"
                                   "deleteval { \"HKCU\\Software\\Zelnor\\Quibo\" \"High Scores\" }\n"
                                   "apphook { \"hook\" }\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(read(text), entries);
}

TEST(Journal, ReadingIgnoresCaseOfKeywordsSpacingCommentsAndBlankLines)
{
    const auto entries = read("# comment\n\n  DeleteFile { \"a b\" }\r\n\tDELETEVAL {\"k\"   v }\n#deletedir { \"x\" }");
    const std::vector<JOURNALENTRY> expected = {{JOURNAL_DELETEFILE, "a b", ""}, {JOURNAL_DELETEVAL, "k", "v"}};
    EXPECT_EQ(entries, expected);
    EXPECT_TRUE(read("").empty());
    EXPECT_EQ(read("deletefile { \"" + std::string(kJournalMaxLine - 17, 'x') + "\" }").size(), 1u) << "a line of the longest length";
}

TEST(Journal, DamagedTextIsRefusedWithTheLineNamed)
{
    const std::string good = "deletefile { \"a\" }\n";
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
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
    for (const auto& c : cases) {
        std::vector<JOURNALENTRY> entries;
        std::string error;
        // Nothing half-read is handed on.
        EXPECT_EQ((std::tuple{ReadJournal(c.text.data(), c.text.size(), &entries, &error), error, entries.size()}),
                  (std::tuple{false, c.error, size_t(0)}));
    }
}
