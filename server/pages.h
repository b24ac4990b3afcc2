// The pages the server answers with, in English ("en") or Esperanto ("eo"). Everything that
// came from a client is escaped before it reaches a page.
#pragma once

#include "publishformat.h"
#include "scorestore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t cSCORES_SHOWN = 100;

struct PAGE {
    int status;
    std::string html;
};

std::string HtmlEscape(std::string_view text);
// "m:ss", minutes without bound.
std::string FormatScoreTime(uint32_t milliseconds);
// "yyyy-mm-dd" of a packed date.
std::string FormatScoreDate(uint32_t packed);

// `best` is best first, at most cSCORES_SHOWN entries.
PAGE ScoresPage(std::string_view language, const std::vector<STOREDSCORE>& best);
// Accepted: new scores; rejected: scores already on the list.
PAGE PostedPage(std::string_view language, size_t accepted, size_t rejected);
PAGE BadPostPage(const POSTQUERY& post);
PAGE UnknownAddressPage();
PAGE StoreFailedPage(std::string_view language);
