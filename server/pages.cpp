#include "pages.h"

#include <cstdio>

namespace {

struct TEXTS {
    const char* code;
    const char* scoresTitle;
    const char* rank;
    const char* name;
    const char* time;
    const char* date;
    const char* noScores;
    const char* otherPage; // the link to the page in the other language
    const char* otherCode;
    const char* postedTitle;
    const char* accepted;
    const char* rejected;
    const char* seeScores;
    const char* badTitle;
    const char* nothingStored;
    const char* storeFailedTitle;
    const char* storeFailed;
    const char* unknownAddress;
    // By POSTERROR; "%n" stands for the number of the entry at fault.
    const char* errors[12];
};

const TEXTS ENGLISH = {
    "en",
    "Quibo: best published times",
    "Rank",
    "Name",
    "Time",
    "Date",
    "No scores have been published yet.",
    "Esperante",
    "eo",
    "Quibo: scores published",
    "Accepted",
    "Rejected as already published",
    "See the best published times",
    "Quibo: bad request",
    "Nothing was stored.",
    "Quibo: scores not stored",
    "The server could not store the scores just now. Please publish again later.",
    "The scores server does not know this address.",
    {
        "",
        "The query is longer than 8 KiB.",
        "This is not a score post.",
        "The post is for another game.",
        "Unknown language code.",
        "More than nine scores.",
        "Score %n is incomplete.",
        "Score %n: the time is not a number.",
        "Score %n: the name has characters the game never sends.",
        "Score %n: the date is not a number.",
        "Score %n: the check value is not a number.",
        "Score %n: the check value does not match.",
    },
};

const TEXTS ESPERANTO = {
    "eo",
    "Quibo: plej bonaj publikigitaj tempoj",
    "Loko",
    "Nomo",
    "Tempo",
    "Dato",
    "Ankoraŭ neniu rezulto estas publikigita.",
    "In English",
    "en",
    "Quibo: rezultoj publikigitaj",
    "Akceptitaj",
    "Rifuzitaj, ĉar jam publikigitaj",
    "Vidu la plej bonajn publikigitajn tempojn",
    "Quibo: malĝusta peto",
    "Nenio estis konservita.",
    "Quibo: rezultoj ne konservitaj",
    "La servilo ne povis konservi la rezultojn ĝuste nun. Bonvolu publikigi denove poste.",
    "La servilo de rezultoj ne konas ĉi tiun adreson.",
    {
        "",
        "La peto estas pli longa ol 8 KiB.",
        "Ĉi tio ne estas afiŝo de rezultoj.",
        "La afiŝo estas por alia ludo.",
        "Nekonata lingvokodo.",
        "Pli ol naŭ rezultoj.",
        "Rezulto %n estas nekompleta.",
        "Rezulto %n: la tempo ne estas nombro.",
        "Rezulto %n: la nomo enhavas signojn, kiujn la ludo neniam sendas.",
        "Rezulto %n: la dato ne estas nombro.",
        "Rezulto %n: la kontrolvaloro ne estas nombro.",
        "Rezulto %n: la kontrolvaloro ne kongruas.",
    },
};

static_assert(std::size(ENGLISH.errors) == static_cast<size_t>(POSTERROR::CheckMismatch) + 1);

const TEXTS& textsFor(std::string_view language)
{
    return language == "eo" ? ESPERANTO : ENGLISH;
}

// Narrow screens get the table at full width; names of 64 letters break rather than overflow.
const char STYLE[] = "body{font-family:sans-serif;max-width:40em;margin:0 auto;padding:1em;color:#222;"
                     "background:#fbfbf8;line-height:1.4}"
                     "h1{font-size:1.4em;margin:.2em 0 .8em}"
                     "table{border-collapse:collapse;width:100%}"
                     "th,td{padding:.35em .5em;text-align:left;border-bottom:1px solid #ddd}"
                     "th{background:#2d5f8a;color:#fff}"
                     "tr:nth-child(even) td{background:#eef2f5}"
                     ".n{text-align:right;white-space:nowrap}"
                     "td.name{overflow-wrap:anywhere}"
                     "p.nav{margin-top:1.2em}";

std::string document(const TEXTS& texts, const char* title, const std::string& body)
{
    return std::string("<!DOCTYPE html>\n<html lang=\"") + texts.code
           + "\">\n<head>\n<meta charset=\"utf-8\">\n"
             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
           + title + "</title>\n<style>" + STYLE + "</style>\n</head>\n<body>\n<h1>" + title + "</h1>\n" + body + "</body>\n</html>\n";
}

std::string paragraph(std::string_view html)
{
    return "<p>" + std::string(html) + "</p>\n";
}

// The last paragraph of a page that is not the scores page: the way to it.
std::string scoresNav(const TEXTS& texts)
{
    return "<p class=\"nav\"><a href=\"" + ScoresPagePath(texts.code) + "\">" + texts.seeScores + "</a></p>\n";
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string FormatScoreTime(uint32_t milliseconds)
{
    const uint32_t seconds = milliseconds / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}

std::string FormatScoreDate(uint32_t packed)
{
    const CALENDARDATE date = UnpackDate(packed);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", date.year, date.month, date.day);
    return text;
}

PAGE ScoresPage(std::string_view language, const std::vector<STOREDSCORE>& best)
{
    const TEXTS& texts = textsFor(language);
    std::string body;
    if (best.empty()) {
        body += paragraph(texts.noScores);
    } else {
        body += std::string("<table>\n<tr><th class=\"n\">") + texts.rank + "</th><th>" + texts.name + "</th><th class=\"n\">" + texts.time
                + "</th><th class=\"n\">" + texts.date + "</th></tr>\n";
        size_t rank = 0;
        for (size_t i = 0; i < best.size() && i < cSCORES_SHOWN; ++i) {
            // Equal times share a rank.
            if (i == 0 || best[i].score != best[i - 1].score)
                rank = i + 1;
            // A name of punctuation only reaches the server empty: a dash keeps the row readable.
            std::string name = best[i].name.empty() ? "\u2014" : best[i].name;
            for (char& c : name)
                if (c == '@')
                    c = ' ';
            body += "<tr><td class=\"n\">" + std::to_string(rank) + "</td><td class=\"name\">" + HtmlEscape(name) + "</td><td class=\"n\">"
                    + FormatScoreTime(best[i].score) + "</td><td class=\"n\">" + FormatScoreDate(best[i].date) + "</td></tr>\n";
        }
        body += "</table>\n";
    }
    body += "<p class=\"nav\"><a href=\"" + ScoresPagePath(texts.otherCode) + "\" lang=\"" + texts.otherCode + "\">" + texts.otherPage
            + "</a></p>\n";
    return {200, document(texts, texts.scoresTitle, body)};
}

PAGE PostedPage(std::string_view language, size_t accepted, size_t rejected)
{
    const TEXTS& texts = textsFor(language);
    const std::string body = paragraph(texts.accepted + (": <strong>" + std::to_string(accepted) + "</strong>"))
                             + paragraph(texts.rejected + (": <strong>" + std::to_string(rejected) + "</strong>")) + scoresNav(texts);
    return {200, document(texts, texts.postedTitle, body)};
}

PAGE BadPostPage(const POSTQUERY& post)
{
    const TEXTS& texts = textsFor(post.language);
    std::string reason = texts.errors[static_cast<size_t>(post.error)];
    const size_t at = reason.find("%n");
    if (at != std::string::npos)
        reason.replace(at, 2, std::to_string(post.iEntry + 1));
    const std::string body = paragraph(HtmlEscape(reason)) + paragraph(texts.nothingStored) + scoresNav(texts);
    return {400, document(texts, texts.badTitle, body)};
}

PAGE UnknownAddressPage()
{
    // No language is known here: both.
    const std::string body
        = paragraph(ENGLISH.unknownAddress) + "<p lang=\"eo\">" + ESPERANTO.unknownAddress + "</p>\n" + scoresNav(ENGLISH);
    return {400, document(ENGLISH, ENGLISH.badTitle, body)};
}

PAGE StoreFailedPage(std::string_view language)
{
    const TEXTS& texts = textsFor(language);
    return {503, document(texts, texts.storeFailedTitle, paragraph(texts.storeFailed))};
}
