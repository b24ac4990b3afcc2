#include "sformat.h"

#include "utf.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

std::atomic<SformatStringLoader> g_loader{nullptr};

// Widths and precisions beyond this are clamped, so a stray "%99999999d" cannot make the
// formatter build an enormous text.
constexpr size_t kMaxField = 1024;
constexpr size_t kMaxPlaceholder = 1000000;
constexpr std::string_view kBad = "(?)";

enum class TYPE { UNKNOWN, INTEGER, CHARACTER, REAL, TEXT, STRINGID };

struct SPEC {
    bool fZero = false;
    bool fPlus = false;
    bool fLeft = false;
    size_t cchWidth = 0;
    bool fPrecision = false;
    size_t cchPrecision = 0;
    std::string_view type;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isFieldChar(char c)
{
    return isDigit(c) || c == '.' || c == '+' || c == '-';
}

TYPE classify(std::string_view type)
{
    static constexpr struct {
        std::string_view name;
        TYPE type;
    } kTypes[] = {
        {"d", TYPE::INTEGER},  {"ld", TYPE::INTEGER}, {"hd", TYPE::INTEGER},  {"u", TYPE::INTEGER},    {"lu", TYPE::INTEGER},
        {"hu", TYPE::INTEGER}, {"x", TYPE::INTEGER},  {"lx", TYPE::INTEGER},  {"hx", TYPE::INTEGER},   {"X", TYPE::INTEGER},
        {"lX", TYPE::INTEGER}, {"hX", TYPE::INTEGER}, {"c", TYPE::CHARACTER}, {"lc", TYPE::CHARACTER}, {"f", TYPE::REAL},
        {"lf", TYPE::REAL},    {"s", TYPE::TEXT},     {"ls", TYPE::TEXT},     {"hs", TYPE::TEXT},      {"m", TYPE::STRINGID},
    };
    for (const auto& entry : kTypes) {
        if (entry.name == type)
            return entry.type;
    }
    return TYPE::UNKNOWN;
}

// Reads flags, width and precision from the characters before the type.
void parseField(std::string_view field, SPEC& spec)
{
    bool fWidthStarted = false;
    for (char c : field) {
        if (c == '-') {
            spec.fLeft = true;
        } else if (c == '+') {
            spec.fPlus = true;
        } else if (c == '.') {
            spec.fPrecision = true;
        } else if (spec.fPrecision) {
            spec.cchPrecision = std::min(spec.cchPrecision * 10 + (c - '0'), kMaxField);
        } else if (c == '0' && !fWidthStarted) {
            spec.fZero = true;
        } else {
            fWidthStarted = true;
            spec.cchWidth = std::min(spec.cchWidth * 10 + (c - '0'), kMaxField);
        }
    }
}

// A declaration entry: flags, width and precision, then the type.
SPEC parseEntry(std::string_view entry)
{
    SPEC spec;
    size_t i = 0;
    while (i < entry.size() && isFieldChar(entry[i]))
        ++i;
    parseField(entry.substr(0, i), spec);
    spec.type = entry.substr(i);
    return spec;
}

size_t countChars(std::string_view text)
{
    size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string_view firstChars(std::string_view text, size_t cch)
{
    size_t i = 0;
    for (size_t n = 0; n < cch && i < text.size(); ++n)
        DecodeUtf8(text, i);
    return text.substr(0, i);
}

void appendPadded(string& out, std::string_view sign, std::string_view body, const SPEC& spec)
{
    const size_t cch = countChars(sign) + countChars(body);
    const size_t cchPad = spec.cchWidth > cch ? spec.cchWidth - cch : 0;
    if (spec.fLeft) {
        out.Append(sign).Append(body);
        for (size_t k = 0; k < cchPad; ++k)
            out.Append(" ");
    } else if (spec.fZero) {
        // Zeros go between the sign and the digits, where they keep the number readable.
        out.Append(sign);
        for (size_t k = 0; k < cchPad; ++k)
            out.Append("0");
        out.Append(body);
    } else {
        for (size_t k = 0; k < cchPad; ++k)
            out.Append(" ");
        out.Append(sign).Append(body);
    }
}

std::string_view signOf(bool negative, const SPEC& spec)
{
    return negative ? "-" : spec.fPlus ? "+" : "";
}

void appendInteger(string& out, long long value, const SPEC& spec)
{
    const bool fUnsigned = spec.type.find('u') != std::string_view::npos;
    bool negative = false;
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (!fUnsigned && static_cast<int32_t>(magnitude) < 0) {
        negative = true;
        magnitude = 0u - magnitude;
    }
    const int base = spec.type.back() == 'x' || spec.type.back() == 'X' ? 16 : 10;
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, magnitude, base);
    if (spec.type.back() == 'X') {
        for (char* p = digits; p != end; ++p)
            *p = *p >= 'a' ? static_cast<char>(*p - 'a' + 'A') : *p;
    }
    appendPadded(out, signOf(negative, spec), {digits, static_cast<size_t>(end - digits)}, spec);
}

void appendCharacter(string& out, long long value, const SPEC& spec)
{
    char32_t c = static_cast<uint32_t>(value);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    char bytes[4];
    const size_t cb = c ? EncodeUtf8(c, bytes) : 0;
    appendPadded(out, "", {bytes, cb}, spec);
}

void appendReal(string& out, double value, const SPEC& spec)
{
    const bool negative = value < 0;
    const std::string_view sign = signOf(negative, spec);
    const double magnitude = std::fabs(value);
    if (!std::isfinite(magnitude)) {
        appendPadded(out, sign, std::isnan(magnitude) ? "nan" : "inf", spec);
        return;
    }
    // The shortest text that reads back as the same double, so 0.3 is cut as 0.3 and not as
    // the binary 0.29999...
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::fixed);
    const std::string_view text(digits, static_cast<size_t>(result.ptr - digits));
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);

    const size_t cchPrecision = spec.fPrecision ? spec.cchPrecision : 8;
    string body;
    if (magnitude >= 1 || cchPrecision == 0 || spec.fZero)
        body.Append(whole);
    if (cchPrecision != 0) {
        body.Append(".").Append(fraction.substr(0, cchPrecision));
        for (size_t k = fraction.size(); k < cchPrecision; ++k)
            body.Append("0");
    }
    appendPadded(out, sign, body, spec);
}

void appendText(string& out, std::string_view text, const SPEC& spec)
{
    appendPadded(out, "", spec.fPrecision ? firstChars(text, spec.cchPrecision) : text, spec);
}

string loadString(int id)
{
    const SformatStringLoader loader = g_loader.load();
    return loader ? loader(id) : string();
}

// Appends one converted value, or "(?)" when the argument is missing or of the wrong kind.
void appendValue(string& out, const SPEC& spec, const sformat::ARG* arg)
{
    const TYPE type = classify(spec.type);
    const bool fNumber = arg && (arg->kind == sformat::ARG::INTEGER || arg->kind == sformat::ARG::REAL);
    const bool fText = arg && (arg->kind == sformat::ARG::NARROW || arg->kind == sformat::ARG::WIDE);
    const bool fInteger = arg && arg->kind == sformat::ARG::INTEGER;
    switch (type) {
    case TYPE::INTEGER:
        if (fInteger)
            return appendInteger(out, arg->n, spec);
        break;
    case TYPE::CHARACTER:
        if (fInteger)
            return appendCharacter(out, arg->n, spec);
        break;
    case TYPE::REAL:
        if (fNumber)
            return appendReal(out, fInteger ? static_cast<double>(arg->n) : arg->d, spec);
        break;
    case TYPE::TEXT:
        if (fText)
            return appendText(out, arg->kind == sformat::ARG::NARROW ? arg->sz : string(arg->wsz).View(), spec);
        break;
    case TYPE::STRINGID:
        if (fInteger)
            return appendText(out, loadString(static_cast<int>(arg->n)).View(), spec);
        break;
    case TYPE::UNKNOWN: break;
    }
    out.Append(kBad);
}

class DECLARATION {
public:
    // Splits "%{...}" off the front of format; without one the whole format is the body.
    explicit DECLARATION(std::string_view format)
    {
        const size_t close = format.find('}');
        if (format.substr(0, 2) != "%{" || close == std::string_view::npos) {
            m_body = format;
            return;
        }
        m_entries = format.substr(2, close - 2);
        m_body = format.substr(close + 1);
        if (!m_body.empty() && (m_body[0] == ' ' || m_body[0] == '\t'))
            m_body.remove_prefix(1);
        SPEC unused;
        Entry(SIZE_MAX, unused, m_cArgs);
    }

    std::string_view Body() const { return m_body; }
    size_t ArgCount() const { return m_cArgs; } // arguments the declaration takes

    // Entry n (1-based) and the index of its argument, counting the arguments the entries
    // before it take. Past the last entry: false, with the count of all of them.
    bool Entry(size_t n, SPEC& spec, size_t& iArg) const
    {
        iArg = 0;
        size_t iEntry = 0;
        size_t i = 0;
        while (i < m_entries.size()) {
            if (isSeparator(m_entries[i])) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < m_entries.size() && !isSeparator(m_entries[end]))
                ++end;
            spec = parseEntry(m_entries.substr(i, end - i));
            if (++iEntry == n)
                return true;
            iArg += classify(spec.type) != TYPE::UNKNOWN;
            i = end;
        }
        return false;
    }

private:
    static bool isSeparator(char c) { return c == ',' || c == ';' || c == ' '; }

    std::string_view m_entries;
    std::string_view m_body;
    size_t m_cArgs = 0;
};

} // namespace

SformatStringLoader SetSformatStringLoader(SformatStringLoader loader)
{
    return g_loader.exchange(loader);
}

string sformat::loadFormat(int id)
{
    return loadString(id);
}

void sformat::build(std::string_view format, const ARG* rgArg, size_t cArg)
{
    const auto argAt = [&](size_t i) { return i < cArg ? &rgArg[i] : nullptr; };
    const DECLARATION declaration(format);
    const std::string_view body = declaration.Body();
    size_t iNextArg = declaration.ArgCount();

    size_t i = 0;
    while (i < body.size()) {
        const size_t percent = body.find('%', i);
        Append(body.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
        if (percent == std::string_view::npos)
            break;
        i = percent + 1;
        if (i < body.size() && body[i] == '%') {
            Append("%");
            ++i;
            continue;
        }

        const size_t fieldStart = i;
        while (i < body.size() && isFieldChar(body[i]))
            ++i;
        const size_t fieldEnd = i;
        if (i < body.size() && (body[i] == 'l' || body[i] == 'h'))
            ++i;
        if (i < body.size() && std::string_view("ducfsmxX").find(body[i]) != std::string_view::npos) {
            SPEC spec;
            parseField(body.substr(fieldStart, fieldEnd - fieldStart), spec);
            spec.type = body.substr(fieldEnd, i + 1 - fieldEnd);
            ++i;
            const bool fTakesArg = classify(spec.type) != TYPE::UNKNOWN;
            appendValue(*this, spec, fTakesArg ? argAt(iNextArg) : nullptr);
            iNextArg += fTakesArg;
            continue;
        }

        // A placeholder: the digits name a declared argument; whatever follows them is text.
        size_t n = 0;
        i = fieldStart;
        while (i < body.size() && isDigit(body[i]))
            n = std::min(n * 10 + static_cast<size_t>(body[i++] - '0'), kMaxPlaceholder);
        SPEC spec;
        size_t iArg = 0;
        if (n >= 1 && declaration.Entry(n, spec, iArg) && classify(spec.type) != TYPE::UNKNOWN)
            appendValue(*this, spec, argAt(iArg));
        else
            Append(kBad);
    }
}
