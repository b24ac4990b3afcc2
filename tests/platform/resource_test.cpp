#include "resource_pattern.h"
#include "resources_test.h"

#include "windows.h"

#include <cstring>
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

// Walks a dialog template as dialog code does, checking every step stays inside.
struct Cursor {
    const std::vector<BYTE>& bytes;
    size_t at = 0;
    DWORD take(size_t n)
    {
        DWORD v = 0;
        EXPECT_LE(at + n, bytes.size());
        if (at + n <= bytes.size())
            std::memcpy(&v, bytes.data() + at, n);
        at += n;
        return v;
    }
    std::u16string text()
    {
        std::u16string s;
        for (DWORD c = take(2); c; c = take(2))
            s += static_cast<char16_t>(c);
        return s;
    }
    // A class or title: "#n" for an ordinal.
    std::u16string nameOrOrdinal()
    {
        if (at + 2 > bytes.size() || bytes[at] != 0xFF || bytes[at + 1] != 0xFF)
            return text();
        take(2);
        const std::string number = "#" + std::to_string(take(2));
        return std::u16string(number.begin(), number.end());
    }
};

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

TEST(Resources, DialogTemplatesAreExtendedTemplates)
{
    const std::vector<BYTE> bytes = resourceBytes(MAKEINTRESOURCEW(IDD_NAME), MAKEINTRESOURCEW(5));
    ASSERT_FALSE(bytes.empty());
    Cursor t{bytes};
    // Version, signature, help id, WS_EX_TOPMOST, the style with WS_CAPTION and DS_SETFONT added,
    // four controls, x, y, cx, cy, no menu.
    const std::vector<DWORD> header
        = {t.take(2), t.take(2), t.take(4), t.take(4), t.take(4), t.take(2), t.take(2), t.take(2), t.take(2), t.take(2), t.take(2)};
    EXPECT_EQ(header, (std::vector<DWORD>{1, 0xFFFF, 0, 0x8, 0x80000000u | 0x80 | 0x00080000 | 0x00C00000 | 0x40, 4, 10, 20, 160, 100, 0}));
    EXPECT_EQ(t.nameOrOrdinal(), u"GuiLibDefDlgClass");
    EXPECT_EQ(t.text(), u"Nova Alta Trafo!");
    EXPECT_EQ((std::vector<DWORD>{t.take(2), t.take(2), t.take(2)}), (std::vector<DWORD>{8, 700, 1})); // italic, charset 0
    EXPECT_EQ(t.text(), u"MS Shell Dlg");

    // Help id, extended style, style, x, y, cx, cy, id; class; title; no creation data.
    const DWORD childVisible = 0x40000000 | 0x10000000;
    const struct {
        std::vector<DWORD> fields;
        std::u16string windowClass, title;
    } controls[] = {
        {{0, 0, childVisible, 7, 7, 146, 20, 0xFFFFFFFF}, u"#130", u"Gratulon!"},
        {{0, 0, childVisible | 0x2 | 0x00010000, 7, 30, 146, 60, 1024}, u"#133", u""},
        {{0, 0x200, 0x40000000 | 0x1, 55, 80, 50, 14, 1}, u"#128", u"OK"},
        {{0, 0, childVisible, 0xFFFF, 0xFFFE, 10, 10, 1001}, u"AnimWindow", u""},
    };
    for (const auto& c : controls) {
        t.at = (t.at + 3) & ~size_t(3);
        EXPECT_EQ((std::vector<DWORD>{t.take(4), t.take(4), t.take(4), t.take(2), t.take(2), t.take(2), t.take(2), t.take(4)}), c.fields);
        EXPECT_EQ(t.nameOrOrdinal(), c.windowClass);
        EXPECT_EQ(t.nameOrOrdinal(), c.title);
        EXPECT_EQ(t.take(2), 0u);
    }
    EXPECT_EQ(t.at, bytes.size());
}
