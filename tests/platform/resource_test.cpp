#include "resource_pattern.h"
#include "resources_test.h"
#include "user32/dlgtemplate.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::u16string loadString(UINT id)
{
    WCHAR buffer[256] = {u'x'};
    const int length = LoadStringW(nullptr, id, buffer, 256);
    EXPECT_EQ(buffer[length], 0); // terminated, even when there is no such string
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

TEST(LoadString, FindsEachStringOfItsBlockOfSixteen)
{
    const std::pair<UINT, std::u16string> strings[] = {
        {1, u"EN,EO"},
        {2, u"Quibo"},
        {IDS_ESPERANTO, u"\u0109 \u011D \u0125 \u0135 \u015D \u016D \u0108 \u011C \u0124 \u0134 \u015C \u016C"},
        {IDS_ESCAPES, u"Tab\there\nline, \"quoted\", back\\slash, \u263A, A"},
        {16, u""}, // its block exists, the string not
        {17, u"first of block two"},
        {31, u"last of block two"},
        {4000, u""}, // no block at all
    };
    for (const auto& [id, text] : strings)
        EXPECT_EQ(loadString(id), text) << id;
    // Read in place: a pointer into the table itself, where the next entry's length follows.
    const WCHAR* in = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, 1, reinterpret_cast<LPWSTR>(&in), 0), 5);
    EXPECT_EQ(std::u16string(in, 6), u"EN,EO\x5");
    EXPECT_EQ(LoadStringW(nullptr, IDS_JOINED, reinterpret_cast<LPWSTR>(&in), 0), 24);
    EXPECT_EQ(std::u16string(in, 24), u"Joined across literals +");
}

TEST(LoadString, CutsToTheBufferAndRefusesBadBuffers)
{
    WCHAR buffer[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(LoadStringW(nullptr, IDS_ESPERANTO, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"\u0109 \u011D ");
    EXPECT_EQ(buffer[5], u'x');
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(nullptr, 2, nullptr, 6), 0);
    EXPECT_EQ(LoadStringW(nullptr, 2, buffer, -1), 0);
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
