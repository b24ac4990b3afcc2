// Every catalog text the screens show fits its field, in each layout and language: a one-line
// field takes the text's width and height, a wrapping one its height. The play screen's status
// texts are measured at their widest: the label, three blanks and "99:59" (the tiles left: "81");
// the high-score rows with the widest rank, times up to an hour and the widest dates.
#include "cetl/properties.h"
#include "language.h"
#include "registry.h"
#include "tutorial.h"

#include "windows.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

struct FIELD {
    std::string element;
    const char* font;
    std::vector<UINT> texts;
    std::vector<std::u16string> samples = {}; // texts that are not in the catalog
    std::u16string suffix = {}; // after each catalog text
};

class TextFit : public testing::TestWithParam<const char*> { };

TEST_P(TextFit, EveryScreenTextFitsItsField)
{
    std::vector<FIELD> fields = {{"text-time", "font-main", {10}, {}, u"   99:59"},
                                 {"text-tiles", "font-main", {12}, {}, u"   81"},
                                 {"text-average", "font-main", {132}, {}, u"   99:59"},
                                 {"text-estimate", "font-main", {134}, {}, u"   99:59"},
                                 {"text-effects-setting", "font-options", {34, 36, 38}},
                                 {"text-language-setting", "font-options", {44, 46}},
                                 {"text-high-number", "font-high", {}, {u"9."}},
                                 {"text-high-score", "font-high", {}, {u"59:59"}},
                                 {"text-high-date", "font-high", {}, {u"28 May 2026", u"30 Sep 2026", u"18 Dec 2002"}},
                                 {"text-tutorial", "font-tutorial", {}}};
    for (const TUTORIALPAGE& page : g_tutorialPages)
        fields.back().texts.push_back(page.idText);
    const char* const prompts[]
        = {"tutorial", "options", "viewlocal", "publish", "viewnet", "effects", "animation", "sounds", "music", "language"};
    for (UINT i = 0; i < 10; ++i) // the menu's, then the options'
        fields.push_back({std::string("text-") + prompts[i] + "-prompt", i < 5 ? "font-menu" : "font-options", {14 + 2 * i}});
    for (const char* onOff : {"animation", "sounds", "music"})
        fields.push_back({std::string("text-") + onOff + "-setting", "font-options", {40, 42}});

    std::ifstream in(std::string(QUIBO_LAYOUTS) + "/" + GetParam(), std::ios::binary);
    cetl::PROPERTIES layout(0.79, 32);
    layout.Parse(string(std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}.c_str()),
                 cetl::PROPERTIES::kParseSet);
    const auto number = [&](const std::string& key) { return layout[istring(key.c_str())].Number(); };
    HDC dc = CreateCompatibleDC(nullptr);
    SelectLanguage("Quibo", 1);
    for (LANGID language : {LANGID_ENGLISH, LANGID_ESPERANTO}) {
        ASSERT_TRUE(SetLanguage(language));
        for (FIELD& field : fields) {
            const std::string& name = field.element;
            const int width = number(name + " width"), height = number(name + " height"), wrap = number(name + " flags") & 0x8;
            HFONT font = CreateCatalogFont(layout[istring(field.font)].View());
            ASSERT_NE(font, nullptr);
            HGDIOBJ old = SelectObject(dc, font);
            for (UINT id : field.texts)
                field.samples.push_back(LoadCatalogString(id) + field.suffix);
            for (const std::u16string& text : field.samples) {
                RECT r{0, 0, wrap ? width : 0, 0};
                DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &r,
                          DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
                EXPECT_TRUE(number(name + " disable") || (r.bottom <= height && (wrap || r.right <= width)))
                    << name << " " << string(text).c_str() << " language " << language;
            }
            SelectObject(dc, old);
            DeleteObject(font);
        }
    }
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextFit, testing::Values("large.txt", "small.txt", "handheld.txt"));
