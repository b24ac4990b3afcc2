#include "tl_string.h"

#include "memmgr.h"
#include "utf.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

void* allocate(size_t cb, const char* label)
{
    void* p = MEM_ALLOC(cb, label);
    if (!p)
        throw std::bad_alloc();
    return p;
}

// The next character of text at i, folded. A byte that starts no valid sequence stands for
// itself above the code point range, so distinct malformed names stay distinct keys.
char32_t nextFolded(std::string_view text, size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead >= 'A' && lead <= 'Z' ? lead + 32 : lead;
    }
    const size_t start = i;
    const char32_t c = DecodeUtf8(text, i);
    if (c == 0xFFFD && text.substr(start, i - start) != "\xEF\xBF\xBD") {
        i = start + 1;
        return 0x110000 + lead;
    }
    return FoldCase(c);
}

template<typename Char> bool equalsIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    const auto upper = [](Char c) { return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - 'a' + 'A') : c; };
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

} // namespace

char32_t FoldCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // Latin-1 capitals
        return c + 32;
    if (c >= 0x100 && c <= 0x17F) { // Latin Extended-A: mostly capital/small pairs
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149)
            return c; // dotted I, dotless i, kra, n-apostrophe: no simple pair
        if (c == 0x178)
            return 0xFF;
        if (c == 0x17F)
            return 's';
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddCapitals)
            return c & 1 ? c + 1 : c;
        return c | 1;
    }
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 32; // Greek and Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

string::string(const char* text) : string(std::string_view(text ? text : "")) { }

string::string(std::string_view text)
{
    Append(text);
}

string::string(const char16_t* text) : string(std::u16string_view(text ? text : u"")) { }

string::string(std::u16string_view text)
{
    char bytes[4];
    for (size_t i = 0; i < text.size();)
        Append({bytes, EncodeUtf8(DecodeUtf16(text, i), bytes)});
}

string::string(const string& other) : string(other.View()) { }

string::string(string&& other) noexcept :
    m_psz(std::exchange(other.m_psz, nullptr)), m_cb(std::exchange(other.m_cb, 0)), m_cbCapacity(std::exchange(other.m_cbCapacity, 0)),
    m_pwsz(std::exchange(other.m_pwsz, nullptr))
{
}

string::~string()
{
    dropWide();
    if (m_psz)
        MEM_FREE(m_psz);
}

string& string::operator=(const string& other)
{
    if (this != &other) {
        Clear();
        Append(other.View());
    }
    return *this;
}

string& string::operator=(string&& other) noexcept
{
    if (this != &other) {
        string old(std::move(*this));
        m_psz = std::exchange(other.m_psz, nullptr);
        m_cb = std::exchange(other.m_cb, 0);
        m_cbCapacity = std::exchange(other.m_cbCapacity, 0);
        m_pwsz = std::exchange(other.m_pwsz, nullptr);
    }
    return *this;
}

const char16_t* string::Wide() const
{
    if (m_pwsz)
        return m_pwsz;
    size_t cUnits = 0;
    for (size_t i = 0; i < m_cb;)
        cUnits += DecodeUtf8(View(), i) >= 0x10000 ? 2 : 1;
    auto* pwsz = static_cast<char16_t*>(allocate((cUnits + 1) * sizeof(char16_t), "string wide copy"));
    size_t k = 0;
    for (size_t i = 0; i < m_cb;) {
        char32_t c = DecodeUtf8(View(), i);
        if (c >= 0x10000) {
            c -= 0x10000;
            pwsz[k++] = static_cast<char16_t>(0xD800 + (c >> 10));
            pwsz[k++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            pwsz[k++] = static_cast<char16_t>(c);
        }
    }
    pwsz[k] = 0;
    m_pwsz = pwsz;
    return m_pwsz;
}

string& string::Append(std::string_view text)
{
    if (text.empty())
        return *this;
    dropWide();
    string keep; // the text may be a view into this string's own block, which growth frees
    if (m_cb + text.size() > m_cbCapacity) {
        if (m_psz && text.data() >= m_psz && text.data() < m_psz + m_cb) {
            keep.reserve(text.size());
            keep.Append(text);
            text = keep.View();
        }
        reserve(m_cb + text.size());
    }
    std::memmove(m_psz + m_cb, text.data(), text.size());
    m_cb += text.size();
    m_psz[m_cb] = 0;
    return *this;
}

void string::Clear()
{
    dropWide();
    m_cb = 0;
    if (m_psz)
        m_psz[0] = 0;
}

int string::Compare(std::string_view other) const
{
    const int result = View().compare(other);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

void string::reserve(size_t cb)
{
    if (cb <= m_cbCapacity)
        return;
    const size_t cbNew = cb < 2 * m_cbCapacity ? 2 * m_cbCapacity : cb;
    auto* psz = static_cast<char*>(allocate(cbNew + 1, "string"));
    std::memcpy(psz, c_str(), m_cb + 1);
    if (m_psz)
        MEM_FREE(m_psz);
    m_psz = psz;
    m_cbCapacity = cbNew;
}

void string::dropWide() const
{
    if (m_pwsz)
        MEM_FREE(m_pwsz);
    m_pwsz = nullptr;
}

string operator+(const string& left, std::string_view right)
{
    string result(left);
    result.Append(right);
    return result;
}

int istring::Compare(std::string_view other) const
{
    const std::string_view self = View();
    // Bytes that match exactly fold alike, so folding starts at the last character start
    // (a byte that is no continuation byte) before the first difference.
    size_t i = 0;
    const size_t cbCommon = std::min(self.size(), other.size());
    while (i < cbCommon && self[i] == other[i])
        ++i;
    if (i > 0)
        --i;
    while (i > 0 && (static_cast<unsigned char>(self[i]) & 0xC0) == 0x80)
        --i;
    size_t k = i;
    while (i < self.size() && k < other.size()) {
        const char32_t a = nextFolded(self, i);
        const char32_t b = nextFolded(other, k);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (i < self.size())
        return 1;
    return k < other.size() ? -1 : 0;
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    return equalsIgnoringAsciiCase(a, b);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return equalsIgnoringAsciiCase(a, b);
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}
