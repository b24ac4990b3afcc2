// Tokens of a resource script, after the preprocessor: #include, #define (object-like),
// #undef, #ifdef/#ifndef/#else/#endif and #pragma. Included ".h" and ".c" files contribute
// only their directives, as headers shared with C++ code hold declarations besides.
#pragma once

#include "scripterror.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // an identifier's name or a punctuator
    uint32_t number = 0; // a number's value
    std::u16string string; // a string literal's text, escapes resolved
    std::string file;
    int line = 0;
    int depth = 0; // macro expansions this token came through
};

class Lexer {
public:
    Lexer(const std::string& path, std::vector<std::string> includeDirs);

    // The next token with macros expanded.
    Token next();
    Token peek();
    // True (and consumed) when the next token is this identifier or punctuator.
    bool accept(const std::string& text);

    // Where a file named in a script is: beside the script that names it, else in the
    // include folders. Empty when it is nowhere.
    std::string locate(const std::string& name, const std::string& besideFile) const;

    // Every file read so far, the script included: what the output depends on.
    const std::vector<std::string>& filesRead() const { return m_filesRead; }

    [[noreturn]] static void fail(const Token& at, const std::string& message);

private:
    struct Source {
        std::string path;
        std::string text;
        size_t pos = 0;
        int line = 1;
        bool directivesOnly = false;
        bool atLineStart = true;
        std::vector<bool> active; // one entry per open #ifdef: is its branch taken
        bool skipping() const;
    };

    void open(const std::string& path, const Token* from);
    Token raw();
    static Token scan(Source& s);
    void directive(Source& s);

    std::vector<Source> m_sources;
    std::vector<std::string> m_includeDirs;
    std::vector<std::string> m_filesRead;
    std::map<std::string, std::vector<Token>> m_macros;
    std::deque<Token> m_pending;
};
