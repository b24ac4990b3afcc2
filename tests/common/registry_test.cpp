#include "registry.h"

#include "memmgr_diag.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

using BYTES = std::vector<BYTE>;

struct Registry : testing::Test {
    void SetUp() override { root.erase(); }
    void TearDown() override { root.erase(); }

    inline static const registry::key root{u"HKCU\\Software\\QuiboTest"};
    static registry::value v(std::u16string_view name) { return registry::value(root, name); }
    static BYTES bytesOf(const registry::binary& b) { return b.data() ? BYTES(b.data(), b.data() + b.size()) : BYTES{}; }
    static void store(const registry::value& to, const BYTES& b) { to.writeBinary(registry::binary(b.data(), DWORD(b.size()), true)); }
};

} // namespace

// Without a hive prefix the whole path is below the current user.
TEST(RegistryKey, PathPrefixNamesTheHiveInAnyCase)
{
    const std::tuple<registry::key, HKEY, const char16_t*> cases[]
        = {{registry::key(u"HKLM\\Software\\A"), HKEY_LOCAL_MACHINE, u"Software\\A"},
           {registry::key(u"hklm\\Software\\A"), HKEY_LOCAL_MACHINE, u"Software\\A"},
           {registry::key(u"HkCr\\.txt"), HKEY_CLASSES_ROOT, u".txt"},
           {registry::key(u"hklm"), HKEY_LOCAL_MACHINE, u""},
           {registry::key(u"Software\\Zelnor"), HKEY_CURRENT_USER, u"Software\\Zelnor"},
           {registry::key(u"HKLMX\\Software"), HKEY_CURRENT_USER, u"HKLMX\\Software"},
           {registry::key(u"HKCU\\Software").child(u"Zelnor"), HKEY_CURRENT_USER, u"Software\\Zelnor"},
           {registry::key(u"HKLM").child(u"Software"), HKEY_LOCAL_MACHINE, u"Software"}};
    for (const auto& [key, root, subkey] : cases)
        EXPECT_TRUE(key.root() == root && key.subkey() == subkey) << &key - &std::get<0>(cases[0]);
}

// Owning and borrowing items never compare equal, even over the same bytes.
TEST(RegistryBinary, OwningItemsCopyTheirBytesAndBorrowingOnesCompareByPointer)
{
    BYTE bytes[] = {1, 2, 3}, a[] = {1, 2}, b[] = {1, 2};
    const registry::binary owned(bytes, 3, true), borrowed(a, 2, false);
    bytes[0] = 9;
    const registry::binary copy = owned;
    EXPECT_TRUE(copy.data() != owned.data() && copy == owned && copy.data()[0] == 1 && registry::binary(borrowed).data() == a);
    EXPECT_FALSE(registry::binary(bytes, 3, true) == owned || registry::binary(bytes, 2, true) == registry::binary(bytes, 3, true));
    EXPECT_FALSE(registry::binary(b, 2, false) == borrowed || registry::binary(a, 2, true) == borrowed);
}

// Any four bytes read as a number, whatever their type; other sizes do not. Stored text need
// not be terminated: three units and a stray odd byte.
TEST_F(Registry, ValuesRoundTripAndOthersReadAsNothing)
{
    const BYTE raw[] = {'a', 0, 'b', 0, 'c', 0, 'x'};
    HKEY handle = nullptr;
    ASSERT_TRUE(v(u"Text").writeString(u"Ĉu ne?") && v(u"Number").writeNumber(0xDEADBEEF)
                && v(u"").writeBinary(registry::binary(raw, 4, false)) && v(u"Short").writeString(u"x") && v(u"Long").writeString(u"xy")
                && root.create(&handle) == ERROR_SUCCESS && RegSetValueExW(handle, u"Raw", 0, REG_SZ, raw, sizeof raw) == ERROR_SUCCESS);
    RegCloseKey(handle);
    store(v(u"Six"), {1, 0, 0, 0, 0, 0});
    EXPECT_EQ(v(u"Text").size(), 14u); // six characters and the terminator, two bytes each
    EXPECT_EQ(v(u"Text").readString() + u"|" + v(u"Raw").readString() + u"|" + v(u"Number").readString(), u"Ĉu ne?|abc|");
    EXPECT_EQ((std::vector<DWORD>{v(u"Number").type(), v(u"Text").type(), v(u"Number").readNumber(), v(u"Short").readNumber(),
                                  v(u"Long").readNumber(), v(u"Six").readNumber()}),
              (std::vector<DWORD>{REG_DWORD, REG_SZ, 0xDEADBEEF, 0x78, 0, 0}));
    EXPECT_TRUE(v(u"").readBinary().owns());
    EXPECT_EQ(bytesOf(v(u"").readBinary()), (BYTES{'a', 0, 'b', 0}));
    ASSERT_TRUE(v(u"").erase());
    for (const registry::value& missing : {v(u""), v(u"Missing")}) {
        EXPECT_EQ(missing.size() + missing.type() + missing.readNumber() + missing.readBinary().size(), 0u);
        EXPECT_TRUE(missing.readString().empty() && !missing.erase());
    }
}

TEST_F(Registry, CopyTakesTypeAndBytesOrDeletesWhenTheSourceIsGoneAndEraseTakesTheWholeTree)
{
    ASSERT_TRUE(v(u"From").writeString(u"source") && v(u"To").copyFrom(v(u"From")));
    EXPECT_TRUE(v(u"To").type() == REG_SZ && v(u"To").readString() == u"source");
    EXPECT_FALSE(v(u"To").copyFrom(v(u"Nowhere")));
    EXPECT_EQ(v(u"To").type(), 0u);

    ASSERT_TRUE(registry::value(root.child(u"A").child(u"B"), u"v").writeNumber(1)
                && registry::value(root.child(u"A").child(u"C"), u"v").writeNumber(2)
                && registry::value(root.child(u"D"), u"v").writeNumber(3) && root.child(u"A").erase());
    HKEY handle = nullptr;
    EXPECT_NE(root.child(u"A").open(&handle), ERROR_SUCCESS);
    EXPECT_TRUE(registry::value(root.child(u"D"), u"v").readNumber() == 3 && !root.child(u"A").erase());
}

// The last two are shorter than a version word; 7s: refused.
TEST_F(Registry, VersionedRecordsOfTheSameMajorAndNoOlderMinorAreCutOrZeroFilledToSize)
{
    const BYTE body[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(v(u"Record").writeVersioned(0x00030000, body, sizeof body));
    EXPECT_EQ(bytesOf(v(u"Record").readBinary()), (BYTES{0, 0, 3, 0, 1, 2, 3, 4, 5, 6}));
    const std::tuple<BYTES, DWORD, BYTES> cases[] = {{{1, 0, 3, 0, 9, 9, 9, 9, 9}, 0x00030000, {9, 9, 9, 9}},
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
        store(v(u"Record"), stored);
        BYTES out(4, 7);
        const bool accepted = v(u"Record").readVersioned(wanted, out.data(), 4);
        EXPECT_TRUE(accepted == (out != BYTES(4, 7)) && out == read) << stored.size();
    }
    // A record too large to describe is refused.
    EXPECT_FALSE(v(u"Huge").writeVersioned(0x00030000, body, 0xFFFFFFFFu));
    EXPECT_EQ(v(u"Huge").size(), 0u);
}

TEST_F(Registry, NoMemoryGivesEmptyResultsInsteadOfWritingThroughNull)
{
    const BYTE body[] = {1, 2, 3, 4};
    ASSERT_TRUE(v(u"Record").writeVersioned(0x00030000, body, sizeof body));
    const registry::binary owned(body, sizeof body, true);
    const MemRefuseHook previous = SetMemRefuseHook([](size_t, const char*) { return true; });
    const registry::binary made(body, sizeof body, true), copied(owned), read = v(u"Record").readBinary();
    BYTE out[4] = {7, 7, 7, 7};
    const bool readRecord = v(u"Record").readVersioned(0x00030000, out, sizeof out);
    const bool wrote = v(u"Record").writeVersioned(0x00030000, body, sizeof body);
    SetMemRefuseHook(previous);
    for (const registry::binary* item : {&made, &copied, &read})
        EXPECT_EQ(item->size() + (item->data() != nullptr), 0u);
    EXPECT_FALSE(readRecord || wrote || out[0] != 7);
    EXPECT_EQ(v(u"Record").size(), 8u); // the stored record is untouched
}
