#include "lexer.h"

#include "utf.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr int kMaxDepth = 32;
constexpr const char* kPunctuators = ",|()+-~{}";

bool isIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

Token at(const std::string& file, int line)
{
    Token t;
    t.file = file;
    t.line = line;
    return t;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

} // namespace

bool Lexer::Source::skipping() const
{
    for (bool taken : active)
        if (!taken)
            return true;
    return false;
}

Lexer::Lexer(const std::string& path, std::vector<std::string> includeDirs) : m_includeDirs(std::move(includeDirs))
{
    open(path, nullptr);
}

void Lexer::fail(const Token& where, const std::string& message)
{
    throw ScriptError{where.file, where.line, message};
}

void Lexer::open(const std::string& path, const Token* from)
{
    if (m_sources.size() >= kMaxDepth)
        fail(*from, "includes nest too deeply");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ScriptError{from ? from->file : path, from ? from->line : 0, "cannot open \"" + path + "\""};
    Source s;
    s.path = path;
    s.text.assign(std::istreambuf_iterator<char>(in), {});
    if (s.text.starts_with("\xEF\xBB\xBF"))
        s.pos = 3;
    const std::string ext = upper(std::filesystem::path(path).extension().string());
    s.directivesOnly = from && (ext == ".H" || ext == ".C");
    m_filesRead.push_back(std::filesystem::absolute(path).lexically_normal().string());
    m_sources.push_back(std::move(s));
}

namespace {

// Skips blanks and comments; a newline makes the next character the start of a line.
void skipBlankIn(std::string_view text, size_t& pos, int& line, bool& atLineStart, const std::string& path)
{
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\n') {
            ++line;
            ++pos;
            atLineStart = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos;
        } else if (text.substr(pos, 2) == "//") {
            pos = text.find('\n', pos);
            if (pos == text.npos)
                pos = text.size();
        } else if (text.substr(pos, 2) == "/*") {
            const int startLine = line;
            const size_t end = text.find("*/", pos + 2);
            if (end == text.npos)
                throw ScriptError{path, startLine, "unterminated comment"};
            for (size_t i = pos; i < end; ++i)
                line += text[i] == '\n';
            pos = end + 2;
        } else {
            return;
        }
    }
}

} // namespace

Token Lexer::scan(Source& s)
{
    bool ignored = false;
    skipBlankIn(s.text, s.pos, s.line, ignored, s.path);
    Token t = at(s.path, s.line);
    const std::string& text = s.text;
    size_t& pos = s.pos;
    if (pos >= text.size())
        return t;

    const char c = text[pos];
    if (c == '"' || (c == 'L' && pos + 1 < text.size() && text[pos + 1] == '"')) {
        pos += c == 'L' ? 2 : 1;
        t.kind = TokenKind::String;
        std::string run; // plain UTF-8 text waiting to be converted
        const auto flush = [&] {
            std::u16string units = Utf8ToUtf16(run);
            if (Utf16ToUtf8(units) != run)
                fail(t, "string is not valid UTF-8");
            t.string += units;
            run.clear();
        };
        for (;;) {
            if (pos >= text.size() || text[pos] == '\n')
                fail(t, "unterminated string");
            const char ch = text[pos++];
            if (ch == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    run += '"';
                    ++pos;
                    continue;
                }
                break;
            }
            if (ch != '\\') {
                run += ch;
                continue;
            }
            flush();
            if (pos >= text.size())
                fail(t, "unterminated string");
            const char e = text[pos++];
            switch (e) {
            case 'n': t.string += u'\n'; break;
            case 't': t.string += u'\t'; break;
            case 'r': t.string += u'\r'; break;
            case '\\': t.string += u'\\'; break;
            case '"': t.string += u'"'; break;
            case 'x': {
                uint32_t value = 0;
                int digits = 0;
                while (digits < 4 && pos < text.size() && digitValue(text[pos]) < 16)
                    value = value * 16 + digitValue(text[pos++]), ++digits;
                if (!digits)
                    fail(t, "\\x needs hexadecimal digits");
                t.string += static_cast<char16_t>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    uint32_t value = e - '0';
                    for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++digits)
                        value = value * 8 + (text[pos++] - '0');
                    t.string += static_cast<char16_t>(value);
                } else {
                    fail(t, std::string("unknown escape \\") + e);
                }
            }
        }
        flush();
        return t;
    }
    if (isIdentStart(c)) {
        const size_t start = pos;
        while (pos < text.size() && isIdentChar(text[pos]))
            ++pos;
        t.kind = TokenKind::Identifier;
        t.text = text.substr(start, pos - start);
        return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
        int base = 10;
        if (c == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
            base = 16;
            pos += 2;
        } else if (c == '0') {
            base = 8;
        }
        uint64_t value = 0;
        size_t digits = 0;
        while (pos < text.size() && digitValue(text[pos]) < base) {
            value = value * base + digitValue(text[pos++]);
            ++digits;
            if (value > 0xFFFFFFFFu)
                fail(t, "number too large");
        }
        while (pos < text.size() && (text[pos] == 'L' || text[pos] == 'l' || text[pos] == 'U' || text[pos] == 'u'))
            ++pos;
        if ((base == 16 && !digits) || (pos < text.size() && isIdentChar(text[pos])))
            fail(t, "malformed number");
        t.kind = TokenKind::Number;
        t.number = static_cast<uint32_t>(value);
        return t;
    }
    if (std::string_view(kPunctuators).find(c) != std::string_view::npos) {
        ++pos;
        t.kind = TokenKind::Punct;
        t.text = std::string(1, c);
        return t;
    }
    fail(t, std::string("unexpected character '") + c + "'");
}

Token Lexer::raw()
{
    std::string lastFile;
    int lastLine = 0;
    while (!m_sources.empty()) {
        Source& s = m_sources.back();
        skipBlankIn(s.text, s.pos, s.line, s.atLineStart, s.path);
        lastFile = s.path;
        lastLine = s.line;
        if (s.pos >= s.text.size()) {
            if (!s.active.empty())
                fail(at(s.path, s.line), "#ifdef without #endif");
            m_sources.pop_back();
            continue;
        }
        if (s.atLineStart && s.text[s.pos] == '#') {
            directive(s);
            continue;
        }
        if (s.skipping() || s.directivesOnly) {
            const size_t end = s.text.find('\n', s.pos);
            s.pos = end == std::string::npos ? s.text.size() : end;
            continue;
        }
        s.atLineStart = false;
        return scan(s);
    }
    return at(lastFile.empty() ? m_filesRead.front() : lastFile, lastLine);
}

// Handles the directive at s.pos. Opening an include is its last act, as it adds a source.
void Lexer::directive(Source& s)
{
    // The directive's line, with backslash-newline continuations joined.
    const int line = s.line;
    std::string body;
    while (s.pos < s.text.size() && s.text[s.pos] != '\n') {
        if (s.text[s.pos] == '\\' && s.text.compare(s.pos + 1, 1, "\n") == 0) {
            s.pos += 2;
            ++s.line;
            continue;
        }
        body += s.text[s.pos++];
    }
    Source d;
    d.path = s.path;
    d.text = body.substr(1);
    d.line = line;
    const Token name = scan(d);
    const Token where = at(s.path, line);
    const std::string keyword = name.text;

    if (keyword == "ifdef" || keyword == "ifndef") {
        const Token macro = scan(d);
        if (macro.kind != TokenKind::Identifier)
            fail(where, "#" + keyword + " needs a name");
        s.active.push_back(m_macros.count(macro.text) == (keyword == "ifdef" ? 1u : 0u));
        return;
    }
    if (keyword == "else" || keyword == "endif") {
        if (s.active.empty())
            fail(where, "#" + keyword + " without #ifdef");
        if (keyword == "else")
            s.active.back() = !s.active.back();
        else
            s.active.pop_back();
        return;
    }
    if (s.skipping() || keyword == "pragma")
        return;
    if (keyword == "define") {
        const Token macro = scan(d);
        if (macro.kind != TokenKind::Identifier)
            fail(where, "#define needs a name");
        if (d.pos < d.text.size() && d.text[d.pos] == '(')
            fail(where, "macros with parameters are not supported");
        std::vector<Token> tokens;
        for (Token t = scan(d); t.kind != TokenKind::End; t = scan(d))
            tokens.push_back(t);
        m_macros[macro.text] = std::move(tokens);
        return;
    }
    if (keyword == "undef") {
        m_macros.erase(scan(d).text);
        return;
    }
    if (keyword == "include") {
        bool ignored = false;
        skipBlankIn(d.text, d.pos, d.line, ignored, d.path);
        const std::string rest = d.text.substr(d.pos);
        const bool quoted = rest.starts_with('"');
        const size_t end = rest.find(quoted ? '"' : '>', 1);
        if ((!quoted && !rest.starts_with('<')) || end == std::string::npos)
            fail(where, "#include needs \"file\" or <file>");
        // An angled name is only looked for in the include folders; the system's headers are
        // skipped, as the constants they would give are built in.
        const std::string name = rest.substr(1, end - 1);
        const std::string file = locate(name, quoted ? s.path : std::string());
        if (file.empty() && quoted)
            fail(where, "cannot find include file \"" + name + "\"");
        if (!file.empty())
            open(file, &where);
        return;
    }
    fail(where, "unsupported directive #" + keyword);
}

std::string Lexer::locate(const std::string& name, const std::string& besideFile) const
{
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (!besideFile.empty())
        candidates.push_back(fs::path(besideFile).parent_path() / name);
    for (const std::string& dir : m_includeDirs)
        candidates.push_back(fs::path(dir) / name);
    // A name the system cannot look up (too long, say) is simply not found.
    std::error_code error;
    for (const fs::path& candidate : candidates)
        if (!name.empty() && fs::is_regular_file(candidate, error))
            return candidate.string();
    return {};
}

Token Lexer::next()
{
    for (;;) {
        Token t;
        if (!m_pending.empty()) {
            t = m_pending.front();
            m_pending.pop_front();
        } else {
            t = raw();
        }
        if (t.kind != TokenKind::Identifier)
            return t;
        auto macro = m_macros.find(t.text);
        if (macro == m_macros.end())
            return t;
        if (t.depth >= kMaxDepth)
            fail(t, "macro " + t.text + " expands into itself");
        for (auto it = macro->second.rbegin(); it != macro->second.rend(); ++it) {
            Token expanded = *it;
            expanded.file = t.file;
            expanded.line = t.line;
            expanded.depth = t.depth + 1;
            m_pending.push_front(expanded);
        }
    }
}

Token Lexer::peek()
{
    Token t = next();
    m_pending.push_front(t);
    return t;
}

bool Lexer::accept(const std::string& text)
{
    const Token t = peek();
    const bool match = (t.kind == TokenKind::Identifier && upper(t.text) == text) || (t.kind == TokenKind::Punct && t.text == text);
    if (match)
        next();
    return match;
}
