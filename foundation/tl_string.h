// The text classes of the foundation library.
//
// `string` holds UTF-8 text (the program's native, narrow width) in a block of the memory
// manager and makes a UTF-16 copy on demand for the WCHAR calls of the platform layer; it
// compares byte by byte, which is code point order. `istring` is the same text compared after
// folding every character to lower case, so "Key", "KEY" and "key" are one key; folding
// covers ASCII, Latin-1, Latin Extended-A (the Esperanto letters among them), basic Greek
// and basic Cyrillic.
//
// `==` between a `string` and an `istring`, in either order, ignores case; between two
// `string`s, or a `string` and plain text, it is exact.
//
// The wide copy is a cache filled by a const call: a string shared between threads must not
// have Wide() called on it from two threads at once.
#pragma once

#include <cstddef>
#include <string_view>

class string {
public:
    string() = default;
    string(const char* text); // null reads as empty
    string(std::string_view text);
    string(const char16_t* text); // null reads as empty
    string(std::u16string_view text);
    string(const string& other);
    string(string&& other) noexcept;
    virtual ~string();

    string& operator=(const string& other);
    string& operator=(string&& other) noexcept;

    const char* c_str() const { return m_psz ? m_psz : ""; }
    std::string_view View() const { return {c_str(), m_cb}; }
    operator std::string_view() const { return View(); }
    size_t Length() const { return m_cb; } // in bytes
    bool IsEmpty() const { return m_cb == 0; }

    // The text as zero-terminated UTF-16, valid until the string next changes.
    const char16_t* Wide() const;

    string& Append(std::string_view text);
    string& operator+=(std::string_view text) { return Append(text); }
    void Clear();

    // Negative, zero or positive as this text sorts before, with or after `other`.
    virtual int Compare(std::string_view other) const;
    bool operator==(const string& other) const { return Compare(other.View()) == 0; }
    bool operator==(std::string_view other) const { return Compare(other) == 0; }
    bool operator==(const char* other) const { return Compare(other ? other : "") == 0; }

private:
    void reserve(size_t cb);
    void dropWide() const;

    char* m_psz = nullptr; // null while nothing was ever stored
    size_t m_cb = 0;
    size_t m_cbCapacity = 0; // bytes usable for text, not counting the terminator
    mutable char16_t* m_pwsz = nullptr;
};

string operator+(const string& left, std::string_view right);

class istring : public string {
public:
    using string::string;
    istring() = default;
    istring(const string& other) : string(other) { }

    int Compare(std::string_view other) const override;
    // Declared again so that overload resolution prefers these to the exact ones of string.
    bool operator==(const string& other) const { return Compare(other.View()) == 0; }
    bool operator==(std::string_view other) const { return Compare(other) == 0; }
    bool operator==(const char* other) const { return Compare(other ? other : "") == 0; }
};

// The lower-case form of one character under istring's rule.
char32_t FoldCase(char32_t c);

// Equal once ASCII letters are folded: for codes and names made of plain ASCII.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
// The text with its ASCII capitals made small; other bytes stay.
std::string AsciiLower(std::string_view text);
