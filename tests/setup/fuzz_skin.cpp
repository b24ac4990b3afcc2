// The skin's text readers over any bytes: the description "skin.txt" read from an archive, the
// keys the installer's windows and controls ask of it (colours, fonts, numbers, layouts), and
// the markup of text controls. What must hold: a description is refused only as not text;
// colours are RGB or the fallback; markup only removes tags, never adds or reorders text.
#include "cetl/properties.h"
#include "fuzz_check.h"
#include "skinlib.h"
#include "skinmarkup.h"
#include "zip_builder.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr COLORREF kNone = 0xFFFFFFFF;

bool IsColor(COLORREF color)
{
    return color == kNone || color <= 0xFFFFFF;
}

bool IsSubsequence(std::string_view part, std::string_view whole)
{
    size_t at = 0;
    for (char c : part) {
        at = whole.find(c, at);
        if (at == std::string_view::npos)
            return false;
        ++at;
    }
    return true;
}

void CheckMarkup(std::string_view text)
{
    std::string joined;
    for (const SKINTEXTRUN& run : ParseSkinMarkup(text)) {
        FUZZ_REQUIRE(!run.text.empty());
        FUZZ_REQUIRE(run.style.size >= 0 && run.style.size <= 200 && IsColor(run.style.color));
        if (text.find('<') == std::string_view::npos)
            FUZZ_REQUIRE(run.text == text && !run.style.fBold && run.style.href.empty() && run.style.color == kNone);
        joined += run.text;
    }
    FUZZ_REQUIRE(joined == SkinMarkupPlainText(text));
    FUZZ_REQUIRE(IsSubsequence(joined, text));
}

// The keys the skin's windows and controls read, with and without their kinds' prefixes.
void CheckDescription(const SKIN& skin)
{
    FUZZ_REQUIRE(skin.Transparent() <= 0xFFFFFF);
    static const char* const kPrefixes[] = {nullptr, "pbutton", "rbutton", "cbutton", "edit", "list"};
    static const char* const kColors[] = {"text color",       "disabled text color", "selected text color",
                                          "background color", "titlebar text color", "selected text background color"};
    static const char* const kNumbers[] = {"text border",   "text xborder",    "text lborder",      "text bborder",      "frame border",
                                           "frame yborder", "titlebar height", "frames per second", "drag by background"};
    for (const char* prefix : kPrefixes) {
        for (const char* key : kColors)
            FUZZ_REQUIRE(IsColor(skin.Color(prefix, key, kNone)));
        for (const char* key : kNumbers)
            skin.Number(prefix, key, 0);
        for (const char* key : {"font", "titlebar font"}) {
            const std::string spec = skin.Value(prefix, key, "Arial,-14");
            cetl::SplitFontSpecification(spec);
        }
        // The fallback only when neither the prefixed nor the plain key is there.
        const std::string left = skin.Value(prefix, "text layout", "left");
        if (left != skin.Value(prefix, "text layout", "right"))
            FUZZ_REQUIRE(left == "left" && skin.Value(nullptr, "text layout", "right") == "right");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckMarkup(text);
    FUZZ_REQUIRE(IsColor(SkinColorFromText(std::string(text), kNone)));

    const Bytes zip = BuildZip({StoredItem("skin.txt", Bytes(data, data + size))});
    try {
        const std::unique_ptr<SKIN> skin = SKIN::FromMemory(zip.data(), DWORD(zip.size()));
        FUZZ_REQUIRE(text.find('\0') == std::string_view::npos);
        CheckDescription(*skin);
    } catch (const SKINERROR& e) {
        FUZZ_REQUIRE(std::string_view(e.what()) == "the skin's skin.txt is not a text file");
    }
    return 0;
}
