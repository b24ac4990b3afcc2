// Journals as installations write them, and text at the edges of the line syntax.
#include "fuzz_seeds.h"
#include "journal.h"

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("desktop", JournalText({
                               {JOURNAL_DELETEFILE, "C:\\Program Files\\Zelnor\\Quibo\\Quibo.exe", ""},
                               {JOURNAL_DELETEFILE, "C:\\Program Files\\Zelnor\\Quibo\\quibo-l-hi.res", ""},
                               {JOURNAL_DELETEDIR, "C:\\Program Files\\Zelnor\\Quibo", ""},
                               {JOURNAL_DELETEVAL, "HKCU\\Software\\Zelnor\\Quibo", "Settings"},
                               {JOURNAL_DELETEVAL, "HKCU\\Software\\Zelnor\\Quibo", "HighScores"},
                               {JOURNAL_DELETEKEY, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quibo", ""},
                               {JOURNAL_APPHOOK, "\\Windows\\Start Menu\\Games\\Quibo.lnk", ""},
                           }));
    seeds.Write("empty", JournalText({}));
    seeds.Write("hand-written", "# comment\r\nDeleteFile { plain }\r\n\r\n  deleteval\t{ \"k\"  \"\" }\n"
                                "apphook {\"a b\"}\ndeletedir { \"{\" }");
    seeds.Write("damaged-keyword", "removeall { \"x\" }\n");
    seeds.Write("damaged-brace", "deletefile \"x\" }\ndeletefile { \"x\"\n");
    seeds.Write("damaged-count", "deleteval { \"k\" }\n");
    seeds.Write("damaged-quote", "deletefile { \"x }\n");
    seeds.Write("damaged-zero", std::string_view("deletefile { \"a\0b\" }\n", 22));
    seeds.Write("long-line", "deletefile { \"" + std::string(kJournalMaxLine, 'p') + "\" }\n");
}
