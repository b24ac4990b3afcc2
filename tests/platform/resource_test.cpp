#include "../../platform/user32/dlgtemplate.h"
#include "resource_pattern.h"
#include "resources_test.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::u16string loadString(UINT id)
{
    WCHAR buffer[256];
    const int length = LoadStringW(nullptr, id, buffer, 256);
    EXPECT_EQ(buffer[length], 0);
    return std::u16string(buffer, length);
}

std::vector<BYTE> resourceBytes(LPCWSTR name, LPCWSTR type)
{
    HRSRC info = FindResourceW(nullptr, name, type);
    if (!info)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    return std::vector<BYTE>(data, data + SizeofResource(nullptr, info));
}

std::vector<BYTE> pattern()
{
    std::vector<BYTE> bytes(kPatternSize);
    for (size_t i = 0; i < kPatternSize; ++i)
        bytes[i] = PatternByte(i);
    return bytes;
}

} // namespace

TEST(LoadString, EsperantoLettersComeBackAsUtf16)
{
    EXPECT_EQ(loadString(IDS_ESPERANTO), u"\u0109 \u011D \u0125 \u0135 \u015D \u016D \u0108 \u011C \u0124 \u0134 "
                                         u"\u015C \u016C");
    EXPECT_EQ(loadString(1), u"EN,EO");
    EXPECT_EQ(loadString(2), u"Quibo");
    EXPECT_EQ(loadString(IDS_ESCAPES), u"Tab\there\nline, \"quoted\", back\\slash, \u263A, A");
    EXPECT_EQ(loadString(17), u"first of block two");
    EXPECT_EQ(loadString(31), u"last of block two");
}

TEST(LoadString, ReadsInPlaceWithBufferSizeZero)
{
    const WCHAR* text = nullptr;
    const int length = LoadStringW(nullptr, IDS_JOINED, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, length), u"Joined across literals +");

    // The pointer is into the string table itself: the next entry's length follows.
    const int first = LoadStringW(nullptr, 1, reinterpret_cast<LPWSTR>(&text), 0);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(text[5], 5); // "Quibo"
}

TEST(LoadString, CutsToTheBufferAndReportsMissingStrings)
{
    WCHAR buffer[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(LoadStringW(nullptr, IDS_ESPERANTO, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"\u0109 \u011D ");
    EXPECT_EQ(buffer[5], u'x');
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = u'x';
    EXPECT_EQ(LoadStringW(nullptr, 16, buffer, 6), 0); // its block exists, the string not
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = u'x';
    EXPECT_EQ(LoadStringW(nullptr, 4000, buffer, 6), 0); // no block at all
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(nullptr, 2, nullptr, 6), 0);
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, -1), 0);
}

TEST(Resources, StringTablesAreBlocksOfSixteen)
{
    const std::vector<BYTE> block = resourceBytes(MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(6));
    ASSERT_EQ(block.size(), 2u * (16 + 18 + 17));
    EXPECT_EQ(block[0], 0); // string 16
    EXPECT_EQ(block[2], 18); // string 17
    EXPECT_EQ(resourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(6)).size(),
              2u * (16 + 5 + 5 + loadString(IDS_ESPERANTO).size() + loadString(IDS_ESCAPES).size()));
}

TEST(Resources, BinaryResourcesComeBackByteForByte)
{
    EXPECT_EQ(resourceBytes(MAKEINTRESOURCEW(205), u"WAVE"), pattern());
    EXPECT_EQ(resourceBytes(u"#205", u"wave"), pattern());
    EXPECT_EQ(resourceBytes(MAKEINTRESOURCEW(5000), MAKEINTRESOURCEW(4999)), pattern());
    EXPECT_EQ(resourceBytes(u"frame", u"GRAPHIC"), pattern());

    HRSRC zip = FindResourceA(nullptr, MAKEINTRESOURCE(IDR_PAYLOAD), "ZIP");
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, zip), 0u);
    EXPECT_NE(LockResource(LoadResource(nullptr, zip)), nullptr);
    EXPECT_NE(FindResource(nullptr, "FRAME", "Graphic"), nullptr);
}

TEST(Resources, MissingResourcesAndBadHandles)
{
    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(205), u"SOUND"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(206), u"WAVE"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(nullptr, u"#", u"WAVE"), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, nullptr, u"WAVE"), nullptr);

    HRSRC bogus = reinterpret_cast<HRSRC>(0x1234);
    EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Resources, DialogTemplatesCompileToWhatTheDialogReaderTakes)
{
    const std::vector<BYTE> bytes = resourceBytes(MAKEINTRESOURCEW(IDD_NAME), MAKEINTRESOURCEW(5));
    const std::optional<DialogTemplate> t = ReadDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(t);
    // A caption and a font add WS_CAPTION and DS_SETFONT.
    EXPECT_EQ(t->style, DWORD(DS_MODALFRAME | WS_POPUP | WS_SYSMENU | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(t->exStyle, DWORD(WS_EX_TOPMOST));
    EXPECT_EQ(std::vector<LONG>({t->rect.left, t->rect.top, t->rect.right, t->rect.bottom}), std::vector<LONG>({10, 20, 170, 120}));
    EXPECT_EQ(t->className + u"|" + t->title + u"|" + t->face, u"GuiLibDefDlgClass|Nova Alta Trafo!|MS Shell Dlg");
    EXPECT_EQ(std::vector<int>({t->hasFont, t->pointSize, t->weight, t->italic}), std::vector<int>({1, 8, 700, 1}));
    const DWORD childVisible = WS_CHILD | WS_VISIBLE;
    const DialogTemplateItem items[] = {
        {childVisible, 0, {7, 7, 153, 27}, -1, u"Static", u"Gratulon!"},
        {childVisible | CBS_DROPDOWN | WS_TABSTOP, 0, {7, 30, 153, 90}, IDC_NAMES, u"ComboBox", u""},
        {WS_CHILD | BS_DEFPUSHBUTTON, WS_EX_CLIENTEDGE, {55, 80, 105, 94}, IDOK, u"Button", u"OK"},
        {childVisible, 0, {-1, -2, 9, 8}, 1001, u"AnimWindow", u""},
    };
    ASSERT_EQ(t->items.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const DialogTemplateItem &got = t->items[i], &want = items[i];
        EXPECT_EQ(
            std::vector<LONG>({LONG(got.style), LONG(got.exStyle), got.rect.left, got.rect.top, got.rect.right, got.rect.bottom, got.id}),
            std::vector<LONG>(
                {LONG(want.style), LONG(want.exStyle), want.rect.left, want.rect.top, want.rect.right, want.rect.bottom, want.id}))
            << i;
        EXPECT_EQ(got.className + u"|" + got.text, want.className + u"|" + want.text);
    }
}
