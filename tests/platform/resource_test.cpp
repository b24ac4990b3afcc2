#include "last_error.h"
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

TEST(LoadString, FindsEachStringOfItsBlockOfSixteenCutsToTheBufferAndRefusesBadBuffers)
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
    const WCHAR *first = nullptr, *joined = nullptr;
    EXPECT_EQ(std::make_pair(LoadStringW(nullptr, 1, reinterpret_cast<LPWSTR>(&first), 0),
                             LoadStringW(nullptr, IDS_JOINED, reinterpret_cast<LPWSTR>(&joined), 0)),
              std::make_pair(5, 24));
    EXPECT_EQ(std::u16string(first, 6) + std::u16string(joined, 24), u"EN,EO\x5Joined across literals +");
    WCHAR buffer[6] = {u'x', u'x', u'x', u'x', u'x', u'x'}, one[1] = {u'x'};
    EXPECT_EQ(std::vector<int>({LoadStringW(nullptr, IDS_ESPERANTO, buffer, 5), LoadStringW(nullptr, 2, one, 1), one[0],
                                LoadStringW(nullptr, 2, nullptr, 6), LoadStringW(nullptr, 2, buffer, -1)}),
              std::vector<int>({4, 0, 0, 0, 0}));
    EXPECT_EQ(std::u16string(buffer, 6), std::u16string(u"\u0109 \u011D \0x", 6));
}

TEST(Resources, BinaryResourcesComeBackByteForByteAndMissingOnesOrBadHandlesFail)
{
    for (const auto& [name, type] : {std::pair<LPCWSTR, LPCWSTR>{MAKEINTRESOURCEW(205), u"WAVE"},
                                     {u"#205", u"wave"},
                                     {MAKEINTRESOURCEW(5000), MAKEINTRESOURCEW(4999)},
                                     {u"frame", u"GRAPHIC"}})
        EXPECT_EQ(resourceBytes(name, type), pattern());

    HRSRC zip = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_PAYLOAD), u"ZIP");
    EXPECT_TRUE(zip && SizeofResource(nullptr, zip) == 0 && LockResource(LoadResource(nullptr, zip)));
    const auto find = [](LPCWSTR name, LPCWSTR type) { return ErrorOf(FindResourceW(nullptr, name, type) != nullptr); };
    HRSRC bogus = reinterpret_cast<HRSRC>(0x1234);
    EXPECT_EQ(std::vector<DWORD>({find(MAKEINTRESOURCEW(205), u"SOUND"), find(MAKEINTRESOURCEW(206), u"WAVE"), find(u"#", u"WAVE") != 0,
                                  find(nullptr, u"WAVE") != 0, ErrorOf(LoadResource(nullptr, bogus) != nullptr),
                                  ErrorOf(SizeofResource(nullptr, bogus) != 0)}),
              std::vector<DWORD>(
                  {ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND, 1, 1, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE}));
}

TEST(Resources, DialogTemplatesCompileToWhatTheDialogReaderTakes)
{
    const std::vector<BYTE> bytes = resourceBytes(MAKEINTRESOURCEW(IDD_NAME), MAKEINTRESOURCEW(5));
    const std::optional<DialogTemplate> t = ReadDialogTemplate(bytes.data(), bytes.size());
    ASSERT_TRUE(t);
    // A caption and a font add WS_CAPTION and DS_SETFONT.
    EXPECT_EQ(std::vector<int64_t>({t->style, t->exStyle, t->rect.left, t->rect.top, t->rect.right, t->rect.bottom, t->hasFont,
                                    t->pointSize, t->weight, t->italic}),
              std::vector<int64_t>(
                  {DS_MODALFRAME | WS_POPUP | WS_SYSMENU | WS_CAPTION | DS_SETFONT, WS_EX_TOPMOST, 10, 20, 170, 120, 1, 8, 700, 1}));
    EXPECT_EQ(t->className + u"|" + t->title + u"|" + t->face, u"GuiLibDefDlgClass|Nova Alta Trafo!|MS Shell Dlg");
    const DWORD childVisible = WS_CHILD | WS_VISIBLE;
    const DialogTemplateItem items[] = {
        {childVisible, 0, {7, 7, 153, 27}, -1, u"Static", u"Gratulon!"},
        {childVisible | CBS_DROPDOWN | WS_TABSTOP, 0, {7, 30, 153, 90}, IDC_NAMES, u"ComboBox", u""},
        {WS_CHILD | BS_DEFPUSHBUTTON, WS_EX_CLIENTEDGE, {55, 80, 105, 94}, IDOK, u"Button", u"OK"},
        {childVisible, 0, {-1, -2, 9, 8}, 1001, u"AnimWindow", u""},
    };
    const auto fields = [](const DialogTemplateItem& i) {
        return std::make_tuple(i.style, i.exStyle, i.rect.left, i.rect.top, i.rect.right, i.rect.bottom, i.id, i.className, i.text);
    };
    ASSERT_EQ(t->items.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fields(t->items[i]), fields(items[i])) << i;
}
