#include "registry.h"

#include "memmgr_diag.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const registry::key g_root(u"HKCU\\Software\\QuiboTest");

class Registry : public testing::Test {
protected:
    void SetUp() override { g_root.erase(); }
    void TearDown() override { g_root.erase(); }
};

registry::value testValue(std::u16string_view name)
{
    return registry::value(g_root, name);
}

void storeBytes(const registry::value& v, const std::vector<BYTE>& bytes)
{
    ASSERT_TRUE(v.writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), true)));
}

std::vector<BYTE> bytesOf(const registry::binary& b)
{
    return b.data() ? std::vector<BYTE>(b.data(), b.data() + b.size()) : std::vector<BYTE>{};
}

} // namespace

// Without a hive prefix the whole path is below the current user.
TEST(RegistryKey, PathPrefixNamesTheHiveInAnyCase)
{
    const struct {
        registry::key key;
        HKEY root;
        const char16_t* subkey;
    } cases[] = {{registry::key(u"HKLM\\Software\\A"), HKEY_LOCAL_MACHINE, u"Software\\A"},
                 {registry::key(u"hklm\\Software\\A"), HKEY_LOCAL_MACHINE, u"Software\\A"},
                 {registry::key(u"HkCr\\.txt"), HKEY_CLASSES_ROOT, u".txt"},
                 {registry::key(u"hklm"), HKEY_LOCAL_MACHINE, u""},
                 {registry::key(u"Software\\Zelnor"), HKEY_CURRENT_USER, u"Software\\Zelnor"},
                 {registry::key(u"HKLMX\\Software"), HKEY_CURRENT_USER, u"HKLMX\\Software"},
                 {registry::key(u"HKCU\\Software").child(u"Zelnor"), HKEY_CURRENT_USER, u"Software\\Zelnor"},
                 {registry::key(u"HKLM").child(u"Software"), HKEY_LOCAL_MACHINE, u"Software"}};
    for (const auto& c : cases)
        EXPECT_TRUE(c.key.root() == c.root && c.key.subkey() == c.subkey) << &c - cases;
}

TEST(RegistryBinary, OwningItemsCopyTheirBytesAndBorrowingOnesCompareByPointer)
{
    BYTE bytes[] = {1, 2, 3};
    const registry::binary owned(bytes, 3, true);
    bytes[0] = 9;
    const registry::binary copy = owned;
    EXPECT_EQ(bytesOf(copy), (std::vector<BYTE>{1, 2, 3}));
    EXPECT_TRUE(copy.data() != owned.data() && copy == owned);
    EXPECT_FALSE(registry::binary(bytes, 3, true) == owned || registry::binary(bytes, 2, true) == registry::binary(bytes, 3, true));

    BYTE a[] = {1, 2};
    BYTE b[] = {1, 2};
    const registry::binary borrowed(a, 2, false);
    EXPECT_EQ(registry::binary(borrowed).data(), a);
    // Owning and borrowing items never compare equal, even over the same bytes.
    EXPECT_FALSE(registry::binary(b, 2, false) == borrowed || registry::binary(a, 2, true) == borrowed);
}

TEST_F(Registry, ValuesRoundTripAndOthersReadAsNothing)
{
    ASSERT_TRUE(testValue(u"Text").writeString(u"Ĉu ne?"));
    EXPECT_EQ(testValue(u"Text").size(), 14u); // six characters and the terminator, two bytes each
    EXPECT_EQ(testValue(u"Text").readString(), u"Ĉu ne?");
    ASSERT_TRUE(testValue(u"Number").writeNumber(0xDEADBEEF));
    EXPECT_EQ(testValue(u"Number").type() * 16 + testValue(u"Text").type(), REG_DWORD * 16 + REG_SZ);
    EXPECT_EQ(testValue(u"Number").readNumber(), 0xDEADBEEFu);
    const BYTE bytes[] = {0, 1, 2, 0xFF};
    const registry::value data = testValue(u"");
    ASSERT_TRUE(data.writeBinary(registry::binary(bytes, 4, false)));
    EXPECT_TRUE(data.readBinary().owns());
    EXPECT_EQ(bytesOf(data.readBinary()), (std::vector<BYTE>{0, 1, 2, 0xFF}));
    ASSERT_TRUE(data.erase());

    for (const registry::value& missing : {data, testValue(u"Missing")}) {
        EXPECT_EQ(missing.size() + missing.type() + missing.readNumber() + missing.readBinary().size(), 0u);
        EXPECT_EQ(missing.readString(), u"");
        EXPECT_FALSE(missing.erase());
    }

    // Of the wrong kind: any four bytes read as a number, whatever their type; other sizes do not.
    EXPECT_EQ(testValue(u"Number").readString(), u"");
    ASSERT_TRUE(testValue(u"Short").writeString(u"x"));
    EXPECT_EQ(testValue(u"Short").readNumber(), 0x78u);
    ASSERT_TRUE(testValue(u"Long").writeString(u"xy"));
    storeBytes(testValue(u"Six"), {1, 0, 0, 0, 0, 0});
    EXPECT_EQ(testValue(u"Long").readNumber() + testValue(u"Six").readNumber(), 0u);

    // Stored text need not be terminated: three units and a stray odd byte.
    HKEY handle = nullptr;
    ASSERT_EQ(g_root.create(&handle), ERROR_SUCCESS);
    const BYTE raw[] = {'a', 0, 'b', 0, 'c', 0, 'x'};
    ASSERT_EQ(RegSetValueExW(handle, u"Raw", 0, REG_SZ, raw, sizeof raw), ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_EQ(testValue(u"Raw").readString(), u"abc");
}

TEST_F(Registry, CopyTakesTypeAndBytesOrDeletesWhenTheSourceIsGone)
{
    ASSERT_TRUE(testValue(u"From").writeString(u"source"));
    ASSERT_TRUE(testValue(u"To").copyFrom(testValue(u"From")));
    EXPECT_TRUE(testValue(u"To").type() == REG_SZ && testValue(u"To").readString() == u"source");
    EXPECT_FALSE(testValue(u"To").copyFrom(testValue(u"Nowhere")));
    EXPECT_EQ(testValue(u"To").type(), 0u);
}

TEST_F(Registry, EraseTakesTheWholeTree)
{
    ASSERT_TRUE(registry::value(g_root.child(u"A").child(u"B"), u"v").writeNumber(1));
    ASSERT_TRUE(registry::value(g_root.child(u"A").child(u"C"), u"v").writeNumber(2));
    ASSERT_TRUE(registry::value(g_root.child(u"D"), u"v").writeNumber(3));
    ASSERT_TRUE(g_root.child(u"A").erase());
    HKEY handle = nullptr;
    EXPECT_NE(g_root.child(u"A").open(&handle), ERROR_SUCCESS);
    EXPECT_TRUE(registry::value(g_root.child(u"D"), u"v").readNumber() == 3 && !g_root.child(u"A").erase());
}

TEST_F(Registry, VersionedRecordsOfTheSameMajorAndNoOlderMinorAreCutOrZeroFilledToSize)
{
    const registry::value v = testValue(u"Record");
    const BYTE body[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(v.writeVersioned(0x00030000, body, sizeof body));
    EXPECT_EQ(bytesOf(v.readBinary()), (std::vector<BYTE>{0, 0, 3, 0, 1, 2, 3, 4, 5, 6}));

    // The last two are shorter than a version word.
    const struct {
        std::vector<BYTE> stored; // version word first
        DWORD wanted;
        std::vector<BYTE> read; // 7s: refused
    } cases[] = {{{1, 0, 3, 0, 9, 9, 9, 9, 9}, 0x00030000, {9, 9, 9, 9}},
                 {{0, 0, 3, 0}, 0x00030000, {0, 0, 0, 0}},
                 {{0, 0, 3, 0, 1, 2}, 0x00030000, {1, 2, 0, 0}},
                 {{0, 0, 2, 0, 1, 1, 1, 1}, 0x00030000, {7, 7, 7, 7}},
                 {{0xFF, 0xFF, 2, 0, 1, 1, 1, 1}, 0x00030000, {7, 7, 7, 7}},
                 {{0, 0, 4, 0, 1, 1, 1, 1}, 0x00030000, {7, 7, 7, 7}},
                 {{0, 0, 0xFF, 0xFF, 1, 1, 1, 1}, 0x00030000, {7, 7, 7, 7}},
                 {{0, 0, 3, 0, 1, 1, 1, 1}, 0x00030001, {7, 7, 7, 7}},
                 {{0, 0, 3}, 0x00030000, {7, 7, 7, 7}},
                 {{}, 0x00030000, {7, 7, 7, 7}}};
    for (const auto& [stored, wanted, read] : cases) {
        storeBytes(v, stored);
        std::vector<BYTE> out(4, 7);
        const bool accepted = v.readVersioned(wanted, out.data(), 4);
        EXPECT_EQ(accepted, out != std::vector<BYTE>(4, 7)) << stored.size();
        EXPECT_EQ(out, read) << stored.size();
    }
    // A record too large to describe is refused.
    EXPECT_FALSE(testValue(u"Huge").writeVersioned(0x00030000, body, 0xFFFFFFFFu));
    EXPECT_EQ(testValue(u"Huge").size(), 0u);
}

TEST_F(Registry, NoMemoryGivesEmptyResultsInsteadOfWritingThroughNull)
{
    const registry::value v = testValue(u"Record");
    const BYTE body[] = {1, 2, 3, 4};
    ASSERT_TRUE(v.writeVersioned(0x00030000, body, sizeof body));
    const registry::binary owned(body, sizeof body, true);

    const MemRefuseHook previous = SetMemRefuseHook([](size_t, const char*) { return true; });
    const registry::binary made(body, sizeof body, true);
    const registry::binary copied(owned);
    const registry::binary read = v.readBinary();
    BYTE out[4] = {7, 7, 7, 7};
    const bool readRecord = v.readVersioned(0x00030000, out, sizeof out);
    const bool wrote = v.writeVersioned(0x00030000, body, sizeof body);
    SetMemRefuseHook(previous);

    for (const registry::binary* item : {&made, &copied, &read})
        EXPECT_EQ(item->size() + (item->data() != nullptr), 0u);
    EXPECT_FALSE(readRecord || wrote);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(v.size(), 8u); // the stored record is untouched
}
