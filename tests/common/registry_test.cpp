#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "memmgr_diag.h"
#include "registry.h"

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

std::vector<BYTE> record(DWORD version, std::vector<BYTE> body)
{
    std::vector<BYTE> bytes(4 + body.size());
    std::memcpy(bytes.data(), &version, 4);
    std::copy(body.begin(), body.end(), bytes.begin() + 4);
    return bytes;
}

void storeBytes(const registry::value& v, const std::vector<BYTE>& bytes)
{
    ASSERT_TRUE(v.writeBinary(registry::binary(bytes.data(), static_cast<DWORD>(bytes.size()), true)));
}

} // namespace

TEST(RegistryKey, PathPrefixNamesTheHiveInAnyCase)
{
    EXPECT_EQ(registry::key(u"HKLM\\Software\\A").root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry::key(u"hklm\\Software\\A").root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry::key(u"hklm\\Software\\A").subkey(), u"Software\\A");
    EXPECT_EQ(registry::key(u"HkCr\\.txt").root(), HKEY_CLASSES_ROOT);
    EXPECT_EQ(registry::key(u"HKCU\\Software").root(), HKEY_CURRENT_USER);

    const registry::key hive(u"hklm");
    EXPECT_EQ(hive.root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(hive.subkey(), u"");

    // Without a hive prefix the whole path is below the current user.
    const registry::key plain(u"Software\\Zelnor");
    EXPECT_EQ(plain.root(), HKEY_CURRENT_USER);
    EXPECT_EQ(plain.subkey(), u"Software\\Zelnor");
    const registry::key lookalike(u"HKLMX\\Software");
    EXPECT_EQ(lookalike.root(), HKEY_CURRENT_USER);
    EXPECT_EQ(lookalike.subkey(), u"HKLMX\\Software");
}

TEST(RegistryKey, ChildJoinsWithABackslash)
{
    EXPECT_EQ(registry::key(u"HKCU\\Software").child(u"Zelnor").subkey(), u"Software\\Zelnor");
    EXPECT_EQ(registry::key(u"HKLM").child(u"Software").subkey(), u"Software");
    EXPECT_EQ(registry::key(u"HKLM").child(u"Software").root(), HKEY_LOCAL_MACHINE);
}

TEST(RegistryBinary, OwningItemsCopyTheirBytes)
{
    BYTE bytes[] = {1, 2, 3};
    registry::binary owned(bytes, 3, true);
    bytes[0] = 9;
    EXPECT_EQ(owned.data()[0], 1);
    EXPECT_NE(owned.data(), bytes);

    const registry::binary copy = owned;
    EXPECT_NE(copy.data(), owned.data());
    EXPECT_TRUE(copy == owned);

    BYTE other[] = {1, 2, 4};
    EXPECT_FALSE(registry::binary(other, 3, true) == owned);
    EXPECT_FALSE(registry::binary(bytes, 2, true) == registry::binary(bytes, 3, true));
}

TEST(RegistryBinary, BorrowingItemsCompareByPointer)
{
    BYTE a[] = {1, 2};
    BYTE b[] = {1, 2};
    const registry::binary borrowed(a, 2, false);
    const registry::binary copy = borrowed;
    EXPECT_EQ(copy.data(), a);
    EXPECT_TRUE(copy == borrowed);
    EXPECT_FALSE(registry::binary(b, 2, false) == borrowed);
    // Owning and borrowing items never compare equal, even over the same bytes.
    EXPECT_FALSE(registry::binary(a, 2, true) == borrowed);
}

TEST_F(Registry, MissingValuesReadAsNothing)
{
    const registry::value v = testValue(u"Missing");
    EXPECT_EQ(v.size(), 0u);
    EXPECT_EQ(v.type(), 0u);
    EXPECT_EQ(v.readString(), u"");
    EXPECT_EQ(v.readNumber(), 0u);
    EXPECT_EQ(v.readBinary().size(), 0u);
    EXPECT_FALSE(v.erase());
}

TEST_F(Registry, StringsNumbersAndBinaryRoundTrip)
{
    const registry::value text = testValue(u"Text");
    ASSERT_TRUE(text.writeString(u"Ĉu ne?"));
    EXPECT_EQ(text.type(), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.size(), 14u); // six characters and the terminator, two bytes each
    EXPECT_EQ(text.readString(), u"Ĉu ne?");

    const registry::value number = testValue(u"Number");
    ASSERT_TRUE(number.writeNumber(0xDEADBEEF));
    EXPECT_EQ(number.type(), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number.readNumber(), 0xDEADBEEFu);

    const BYTE bytes[] = {0, 1, 2, 0xFF};
    const registry::value data = testValue(u"");
    ASSERT_TRUE(data.writeBinary(registry::binary(bytes, 4, false)));
    const registry::binary read = data.readBinary();
    EXPECT_TRUE(read.owns());
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(std::memcmp(read.data(), bytes, 4), 0);

    ASSERT_TRUE(data.erase());
    EXPECT_EQ(data.size(), 0u);
}

TEST_F(Registry, ReadsOfTheWrongKindGiveNothing)
{
    ASSERT_TRUE(testValue(u"Number").writeNumber(7));
    EXPECT_EQ(testValue(u"Number").readString(), u"");

    // Any four bytes read as a number, whatever their type; other sizes do not.
    ASSERT_TRUE(testValue(u"Short").writeString(u"x"));
    EXPECT_EQ(testValue(u"Short").size(), 4u);
    EXPECT_EQ(testValue(u"Short").readNumber(), 0x78u);
    ASSERT_TRUE(testValue(u"Long").writeString(u"xy"));
    EXPECT_EQ(testValue(u"Long").readNumber(), 0u);
    const BYTE six[] = {1, 0, 0, 0, 0, 0};
    ASSERT_TRUE(testValue(u"Six").writeBinary(registry::binary(six, 6, false)));
    EXPECT_EQ(testValue(u"Six").readNumber(), 0u);
}

TEST_F(Registry, UnterminatedStoredTextStopsAtItsEnd)
{
    HKEY handle = nullptr;
    ASSERT_EQ(g_root.create(&handle), ERROR_SUCCESS);
    const char16_t text[] = {u'a', u'b', u'c'};
    // Three units and a stray odd byte, with no terminator.
    BYTE bytes[7];
    std::memcpy(bytes, text, 6);
    bytes[6] = 'x';
    ASSERT_EQ(RegSetValueExW(handle, u"Raw", 0, REG_SZ, bytes, sizeof bytes), ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_EQ(testValue(u"Raw").readString(), u"abc");
}

TEST_F(Registry, CopyTakesTypeAndBytesOrDeletesWhenTheSourceIsGone)
{
    ASSERT_TRUE(testValue(u"From").writeString(u"source"));
    ASSERT_TRUE(testValue(u"To").copyFrom(testValue(u"From")));
    EXPECT_EQ(testValue(u"To").type(), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(testValue(u"To").readString(), u"source");

    EXPECT_FALSE(testValue(u"To").copyFrom(testValue(u"Nowhere")));
    EXPECT_EQ(testValue(u"To").type(), 0u);
}

TEST_F(Registry, EraseTakesTheWholeTree)
{
    const registry::key deep = g_root.child(u"A").child(u"B");
    ASSERT_TRUE(registry::value(deep, u"v").writeNumber(1));
    ASSERT_TRUE(registry::value(g_root.child(u"A").child(u"C"), u"v").writeNumber(2));
    ASSERT_TRUE(registry::value(g_root.child(u"D"), u"v").writeNumber(3));

    ASSERT_TRUE(g_root.child(u"A").erase());
    HKEY handle = nullptr;
    EXPECT_NE(g_root.child(u"A").open(&handle), ERROR_SUCCESS);
    EXPECT_EQ(registry::value(g_root.child(u"D"), u"v").readNumber(), 3u);
    EXPECT_FALSE(g_root.child(u"A").erase());
}

TEST_F(Registry, VersionedRecordsOfTheSameMajorAndNoOlderMinorAreAccepted)
{
    const registry::value v = testValue(u"Record");
    const BYTE body[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(v.writeVersioned(0x00030000, body, sizeof body));
    EXPECT_EQ(v.size(), 10u);

    BYTE out[6] = {};
    ASSERT_TRUE(v.readVersioned(0x00030000, out, sizeof out));
    EXPECT_EQ(std::memcmp(out, body, 6), 0);

    storeBytes(v, record(0x00030001, {9, 9, 9, 9, 9, 9}));
    EXPECT_TRUE(v.readVersioned(0x00030000, out, sizeof out));
    EXPECT_EQ(out[0], 9);
}

TEST_F(Registry, VersionedRecordsOfAnotherMajorOrOlderMinorAreRejected)
{
    const registry::value v = testValue(u"Record");
    BYTE out[4] = {7, 7, 7, 7};
    for (DWORD version : {0x00020000u, 0x0002FFFFu, 0x00040000u, 0xFFFF0000u}) {
        storeBytes(v, record(version, {1, 1, 1, 1}));
        EXPECT_FALSE(v.readVersioned(0x00030000, out, sizeof out)) << std::hex << version;
    }
    storeBytes(v, record(0x00030000, {1, 1, 1, 1}));
    EXPECT_FALSE(v.readVersioned(0x00030001, out, sizeof out));
    EXPECT_EQ(out[0], 7);
}

TEST_F(Registry, VersionedRecordsAreCutOrZeroFilledToSize)
{
    const registry::value v = testValue(u"Record");
    BYTE out[4] = {7, 7, 7, 7};

    storeBytes(v, {0, 0, 3}); // shorter than a version word
    EXPECT_FALSE(v.readVersioned(0x00030000, out, sizeof out));
    EXPECT_EQ(out[0], 7);
    EXPECT_FALSE(testValue(u"Missing").readVersioned(0x00030000, out, sizeof out));
    EXPECT_EQ(out[0], 7);

    storeBytes(v, record(0x00030000, {})); // the version alone: an all-zero record
    ASSERT_TRUE(v.readVersioned(0x00030000, out, sizeof out));
    EXPECT_EQ(std::memcmp(out, "\0\0\0\0", 4), 0);

    storeBytes(v, record(0x00030000, {1, 2}));
    ASSERT_TRUE(v.readVersioned(0x00030000, out, sizeof out));
    const BYTE padded[] = {1, 2, 0, 0};
    EXPECT_EQ(std::memcmp(out, padded, 4), 0);

    storeBytes(v, record(0x00030000, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(v.readVersioned(0x00030000, out, sizeof out));
    const BYTE cut[] = {1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(out, cut, 4), 0);
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

    for (const registry::binary* item : {&made, &copied, &read}) {
        EXPECT_EQ(item->size(), 0u);
        EXPECT_EQ(item->data(), nullptr);
    }
    EXPECT_FALSE(readRecord);
    EXPECT_EQ(out[0], 7);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(v.size(), 8u); // the stored record is untouched
}

TEST_F(Registry, ARecordTooLargeToDescribeIsRefused)
{
    const BYTE body[] = {1};
    EXPECT_FALSE(testValue(u"Record").writeVersioned(0x00030000, body, 0xFFFFFFFFu));
    EXPECT_EQ(testValue(u"Record").size(), 0u);
}
