#include "publishformat.h"

namespace {

constexpr uint32_t PUBLISH_SEED = 0x5B7E21D4;

bool isAsciiAlphanumeric(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

std::vector<std::string_view> splitFields(std::string_view query)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t amp = query.find('&');
        fields.push_back(query.substr(0, amp));
        if (amp == std::string_view::npos)
            return fields;
        query.remove_prefix(amp + 1);
    }
}

// Decimal as "%lu" writes a 32-bit value: digits only, no leading zero, at most 4294967295.
bool parseNumber(std::string_view text, uint32_t& value)
{
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0'))
        return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > UINT32_MAX)
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool isPublishedName(std::string_view name)
{
    if (name.size() > cchPUBLISHED_NAME_MAX)
        return false;
    for (char c : name)
        if (c != '@' && !isAsciiAlphanumeric(static_cast<unsigned char>(c)))
            return false;
    return true;
}

POSTQUERY failed(POSTQUERY post, POSTERROR error, size_t iEntry = 0)
{
    post.error = error;
    post.iEntry = iEntry;
    post.scores.clear();
    return post;
}

} // namespace

uint32_t PackDate(const CALENDARDATE& date)
{
    return date.year * 372 + (date.month - 1) * 31 + (date.day - 1);
}

CALENDARDATE UnpackDate(uint32_t packed)
{
    return {packed / 31 / 12, packed / 31 % 12 + 1, packed % 31 + 1};
}

std::string EncodePublishName(std::u16string_view name)
{
    // Only ASCII letters and digits travel: the address carries the name unescaped.
    std::string encoded;
    for (char16_t c : name) {
        if (c == u' ')
            encoded += '@';
        else if (isAsciiAlphanumeric(c))
            encoded += static_cast<char>(c);
    }
    return encoded;
}

uint32_t PublishCheck(std::string_view encodedName, uint32_t score, uint32_t date)
{
    uint32_t v = PUBLISH_SEED ^ score ^ date;
    for (char c : encodedName) {
        const uint32_t unit = c == '@' ? ' ' : static_cast<unsigned char>(c);
        v = ((v << 1) | (v >> 31)) ^ unit;
    }
    return v;
}

std::string PostQuery(std::string_view languageCode, const std::vector<PUBLISHEDSCORE>& entries)
{
    std::string query = "post&game&1&lang&";
    query += languageCode;
    for (const PUBLISHEDSCORE& entry : entries) {
        query += "&score&" + std::to_string(entry.score) + "&" + entry.name + "&" + std::to_string(entry.date) + "&"
                 + std::to_string(entry.check);
    }
    return query;
}

std::string ScoresPagePath(std::string_view languageCode)
{
    return std::string(SCORES_PAGE_PREFIX) + std::string(languageCode) + ".html";
}

POSTQUERY ParsePostQuery(std::string_view query)
{
    POSTQUERY post;
    if (query.size() > cbPOST_QUERY_MAX)
        return failed(post, POSTERROR::TooLong);
    const std::vector<std::string_view> fields = splitFields(query);
    if (fields.size() < 3 || fields[0] != "post" || fields[1] != "game")
        return failed(post, POSTERROR::NotAPost);
    if (fields[2] != "1")
        return failed(post, POSTERROR::WrongGame);
    if (fields.size() < 5 || fields[3] != "lang")
        return failed(post, POSTERROR::NotAPost);
    if (fields[4] != "en" && fields[4] != "eo")
        return failed(post, POSTERROR::UnknownLanguage);
    post.language = fields[4];

    constexpr size_t cFIELDS = 5;
    const size_t cRest = fields.size() - 5;
    if (cRest > cPUBLISHED_MAX * cFIELDS)
        return failed(post, POSTERROR::TooManyScores);
    for (size_t i = 0; i * cFIELDS < cRest; ++i) {
        const std::string_view* group = &fields[5 + i * cFIELDS];
        if (cRest - i * cFIELDS < cFIELDS || group[0] != "score")
            return failed(post, POSTERROR::Incomplete, i);
        PUBLISHEDSCORE entry;
        if (!parseNumber(group[1], entry.score))
            return failed(post, POSTERROR::BadTime, i);
        if (!isPublishedName(group[2]))
            return failed(post, POSTERROR::BadName, i);
        entry.name = group[2];
        if (!parseNumber(group[3], entry.date))
            return failed(post, POSTERROR::BadDate, i);
        if (!parseNumber(group[4], entry.check))
            return failed(post, POSTERROR::BadCheckNumber, i);
        if (entry.check != PublishCheck(entry.name, entry.score, entry.date))
            return failed(post, POSTERROR::CheckMismatch, i);
        post.scores.push_back(std::move(entry));
    }
    return post;
}
