#include "journal.h"

#include "tl_string.h"

#include <iterator>
#include <string_view>

namespace {

constexpr std::string_view kHeader = "#\n"
                                     "# This uninstall log is automatically generated during installation\n"
                                     "# and is used by the Zelnor Software uninstaller for removing this\n"
                                     "# product from your machine.\n"
                                     "#\n"
                                     "# If this file is missing or damaged, Windows will be unable to\n"
                                     "# automatically uninstall this product.\n"
                                     "#\n"
                                     "###############################################################################\n"
                                     "\n";

constexpr const char* kKeywords[] = {"deletedir", "deletefile", "deletekey", "deleteval", "apphook"};

int keywordKind(std::string_view word)
{
    for (int kind = 0; kind < int(std::size(kKeywords)); ++kind)
        if (EqualsIgnoringAsciiCase(word, kKeywords[kind]))
            return kind;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits one line into tokens; false on an unterminated quote.
bool tokenize(std::string_view line, std::vector<Token>* tokens)
{
    size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            return true;
        Token token;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos)
                return false;
            token.text = line.substr(i + 1, close - i - 1);
            token.quoted = true;
            i = close + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && !isBlank(line[i]) && line[i] != '"')
                ++i;
            token.text = line.substr(start, i - start);
        }
        tokens->push_back(std::move(token));
    }
}

bool fail(size_t lineNumber, const std::string& what, std::vector<JOURNALENTRY>* entries, std::string* error)
{
    entries->clear();
    *error = "line " + std::to_string(lineNumber) + ": " + what;
    return false;
}

} // namespace

std::string JournalText(const std::vector<JOURNALENTRY>& entries)
{
    std::string text(kHeader);
    for (const JOURNALENTRY& entry : entries) {
        const int kind = entry.kind >= 0 && entry.kind < int(std::size(kKeywords)) ? entry.kind : JOURNAL_APPHOOK;
        text += kKeywords[kind];
        text += " { \"" + entry.path + "\"";
        if (kind == JOURNAL_DELETEVAL)
            text += " \"" + entry.value + "\"";
        text += " }\n";
    }
    return text;
}

bool ReadJournal(const void* data, size_t cb, std::vector<JOURNALENTRY>* entries, std::string* error)
{
    entries->clear();
    error->clear();
    const std::string_view text(static_cast<const char*>(data), data ? cb : 0);
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        ++lineNumber;
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() > kJournalMaxLine)
            return fail(lineNumber, "longer than " + std::to_string(kJournalMaxLine) + " bytes", entries, error);
        if (line.find('\0') != std::string_view::npos)
            return fail(lineNumber, "holds a zero byte", entries, error);
        if (!line.empty() && line[0] == '#')
            continue;

        std::vector<Token> tokens;
        if (!tokenize(line, &tokens))
            return fail(lineNumber, "unterminated quote", entries, error);
        if (tokens.empty())
            continue;
        const int kind = tokens[0].quoted ? -1 : keywordKind(tokens[0].text);
        if (kind < 0)
            return fail(lineNumber, "unknown keyword \"" + tokens[0].text + "\"", entries, error);
        if (tokens.size() < 2 || tokens[1].quoted || tokens[1].text != "{")
            return fail(lineNumber, "missing \"{\" after " + tokens[0].text, entries, error);
        const size_t names = kind == JOURNAL_DELETEVAL ? 2 : 1;
        size_t i = 2;
        for (; i < tokens.size() && !(tokens[i].text == "}" && !tokens[i].quoted); ++i) { }
        if (i == tokens.size())
            return fail(lineNumber, "missing \"}\"", entries, error);
        if (i + 1 != tokens.size())
            return fail(lineNumber, "text after \"}\"", entries, error);
        if (i - 2 != names)
            return fail(lineNumber, tokens[0].text + " takes " + std::to_string(names) + (names == 1 ? " name" : " names"), entries, error);
        JOURNALENTRY entry;
        entry.kind = kind;
        entry.path = tokens[2].text;
        if (names == 2)
            entry.value = tokens[3].text;
        entries->push_back(std::move(entry));
    }
    return true;
}
