// The play screen's status texts fit their fields in every layout and language, at their
// widest values: the label, three blanks and "99:59" (the tiles left: "81").
#include <gtest/gtest.h>

#include <string>

#include "display_fixture.h"
#include "language.h"
#include "layout.h"
#include "registry.h"
#include "windows.h"

namespace {

struct STATUSFIELD {
    const char* element;
    UINT label;
    const char* widest;
};
constexpr STATUSFIELD kFields[] = {
    {"text-time", 10, "99:59"},
    {"text-tiles", 12, "81"},
    {"text-average", 132, "99:59"},
    {"text-estimate", 134, "99:59"},
};

class StatusTextFit : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { SelectLanguage("Quibo", 1); }
    void TearDown() override { SetLanguage(LANGID_ENGLISH); }
};

TEST_P(StatusTextFit, EveryStatusTextFitsItsField)
{
    LoadShippedLayout(GetParam());
    HDC dc = CreateCompatibleDC(nullptr);
    for (LANGID language : {LANGID_ENGLISH, LANGID_ESPERANTO}) {
        ASSERT_TRUE(SetLanguage(language));
        HFONT font = CreateCatalogFont(LayoutText("font-main").View());
        ASSERT_NE(font, nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        for (const STATUSFIELD& field : kFields) {
            if (ElementNumber(field.element, "disable") != 0)
                continue;
            std::u16string text = LoadCatalogString(field.label) + u"   ";
            for (const char* c = field.widest; *c; ++c)
                text += char16_t(*c);
            SIZE size{};
            GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &size);
            EXPECT_LE(size.cx, ElementNumber(field.element, "width")) << field.element << " language " << language;
            EXPECT_LE(size.cy, ElementNumber(field.element, "height")) << field.element << " language " << language;
        }
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Layouts, StatusTextFit, testing::Values("large", "small", "handheld"));

} // namespace
