#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Each test works below its own key, so the suite also runs in one process.
struct Key {
    HKEY handle = nullptr;
    DWORD disposition = 0;
    Key(HKEY root, const char16_t* path)
    {
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, GENERIC_ALL, nullptr, &handle, &disposition), ERROR_SUCCESS);
    }
    ~Key() { RegCloseKey(handle); }
    operator HKEY() const { return handle; }
};

LONG setBytes(HKEY key, const char16_t* name, DWORD type, const std::vector<BYTE>& bytes)
{
    return RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::vector<BYTE> getBytes(HKEY key, const char16_t* name, DWORD* type = nullptr)
{
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::vector<BYTE> bytes(size);
    EXPECT_EQ(RegQueryValueExW(key, name, nullptr, type, bytes.data(), &size), ERROR_SUCCESS);
    return bytes;
}

// Opens and closes again: whether the key is there.
LONG probe(HKEY root, const char16_t* path)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    const LONG rc = RegOpenKeyExW(root, path, 0, GENERIC_ALL, &key);
    if (rc == ERROR_SUCCESS)
        RegCloseKey(key);
    else
        EXPECT_EQ(key, nullptr);
    return rc;
}

} // namespace

TEST(Registry, ValuesKeepTheirTypeExactBytesAndSizeAndTooSmallBuffersAreRefused)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Types");
    const std::vector<BYTE> text = {'Q', 0, 'u', 0, 'i', 0}; // a string stored without terminator
    const std::tuple<const char16_t*, DWORD, std::vector<BYTE>> values[] = {
        {u"Text", REG_SZ, text},
        {u"Binary", REG_BINARY, {0, 1, 0xFF, 0x80, 0, 0}},
        {u"Number", REG_DWORD, {4, 3, 2, 1}},
        {u"Empty", REG_NONE, {}},
        {u"Odd", 0x1234, {7}},
        {u"Binary", REG_SZ, text}, // rewriting changes type and size together
        {nullptr, REG_BINARY, {5, 6}}, // the default value has an empty (or no) name
    };
    for (const auto& [name, type, bytes] : values)
        ASSERT_EQ(setBytes(key, name, type, bytes), ERROR_SUCCESS);
    for (const auto& [name, type, bytes] : values) {
        DWORD got = 99;
        if (&bytes == &std::get<2>(values[1]))
            continue; // rewritten as text
        EXPECT_EQ(std::make_pair(getBytes(key, name ? name : u"", &got), got), std::make_pair(bytes, type)) << (name ? name[0] : 0);
    }
    Key sized(HKEY_CURRENT_USER, u"Software\\Test\\Sizes");
    std::vector<BYTE> record(1044, 0xAB);
    ASSERT_EQ(setBytes(sized, u"Settings", REG_BINARY, record), ERROR_SUCCESS);
    std::vector<BYTE> buffer(2000, 0);
    DWORD small = 1043, type = 0, size = 2000;
    EXPECT_EQ(RegQueryValueExW(sized, u"Settings", nullptr, &type, buffer.data(), &small), ERROR_MORE_DATA);
    EXPECT_EQ(std::vector<DWORD>({small, type, buffer[0]}), std::vector<DWORD>({1044, REG_BINARY, 0}));
    EXPECT_EQ(RegQueryValueExW(sized, u"Settings", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1044u);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin()));
    EXPECT_EQ(buffer[1044], 0); // nothing written past the value

    EXPECT_EQ(
        std::vector<LONG>({RegQueryValueExW(sized, u"Settings", nullptr, nullptr, buffer.data(), nullptr),
                           RegQueryValueExW(sized, u"Settings", nullptr, nullptr, nullptr, nullptr),
                           RegSetValueExW(sized, u"Null", 0, REG_BINARY, nullptr, 4),
                           RegQueryValueExW(sized, u"Nothing", nullptr, nullptr, buffer.data(), &size), RegDeleteValueW(sized, u"Nothing"),
                           RegDeleteKeyW(sized, u"Nothing"), probe(HKEY_LOCAL_MACHINE, u"Software\\Test\\Sizes")}), // hives are separate
        std::vector<LONG>({ERROR_INVALID_PARAMETER, ERROR_SUCCESS, ERROR_NOACCESS, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND,
                           ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND}));
}

TEST(Registry, KeyAndValueNamesIgnoreCase)
{
    Key created(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Quibo");
    ASSERT_EQ(setBytes(created, u"Ŝlosilo", REG_BINARY, {1, 2}), ERROR_SUCCESS);
    Key again(HKEY_CURRENT_USER, u"SOFTWARE\\test\\ĉAPELO ŭ\\qUIBO\\");
    EXPECT_EQ(std::make_pair(created.disposition, again.disposition),
              std::make_pair(DWORD(REG_CREATED_NEW_KEY), DWORD(REG_OPENED_EXISTING_KEY)));
    EXPECT_EQ(getBytes(again, u"ŝLOSILO"), (std::vector<BYTE>{1, 2}));

    // Setting through another spelling replaces the value.
    ASSERT_EQ(setBytes(again, u"ŜLOSILO", REG_BINARY, {3}), ERROR_SUCCESS);
    EXPECT_EQ(getBytes(created, u"Ŝlosilo"), std::vector<BYTE>{3});

    // Latin-1 folds too; different letters stay different.
    Key latin(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Ÿüé");
    EXPECT_EQ(
        std::make_pair(probe(HKEY_CURRENT_USER, u"Software\\Test\\ĉapelo ŭ\\ÿÜÉ"), probe(HKEY_CURRENT_USER, u"Software\\Test\\Capelo U")),
        std::make_pair(LONG(ERROR_SUCCESS), LONG(ERROR_FILE_NOT_FOUND)));
}

TEST(Registry, EnumerationAndKeyInfo)
{
    Key key(HKEY_LOCAL_MACHINE, u"Software\\Test\\Enum");
    for (const char16_t* name : {u"beta", u"Alpha", u"GAMMA"})
        Key child(key, name);
    ASSERT_EQ(setBytes(key, u"Zed", REG_BINARY, {1, 2, 3}), ERROR_SUCCESS);
    ASSERT_EQ(setBytes(key, u"Ab", REG_SZ, {'x', 0, 0, 0}), ERROR_SUCCESS);

    std::vector<std::u16string> keys;
    WCHAR name[MAX_KEY_LENGTH + 1];
    for (DWORD i = 0, cch = MAX_KEY_LENGTH + 1; RegEnumKeyExW(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, cch = MAX_KEY_LENGTH + 1)
        keys.emplace_back(name, cch + 1); // with its terminator
    EXPECT_EQ(keys, (std::vector<std::u16string>{std::u16string(u"Alpha", 6), std::u16string(u"beta", 5), std::u16string(u"GAMMA", 6)}));
    DWORD cch = 5; // "Alpha" needs six with its terminator
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    DWORD info[5] = {}; // subkeys, longest subkey name, values, longest value name, largest value
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &info[0], &info[1], nullptr, &info[2], &info[3], &info[4], nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::vector<DWORD>(info, info + 5), (std::vector<DWORD>{3, 5, 2, 3, 4}));
}

TEST(Registry, DeletingKeysAndBadHandlesOrPathsAreRefused)
{
    Key top(HKEY_CURRENT_USER, u"Software\\Test\\Delete");
    ASSERT_EQ(setBytes(Key(top, u"A\\B"), u"V", REG_BINARY, {1}), ERROR_SUCCESS);
    // A key with subkeys is refused: the layer above deletes depth first. The values go with
    // their key.
    EXPECT_EQ(std::vector<LONG>({RegDeleteKeyW(top, u"A"), RegDeleteKeyW(top, u"a\\b"), RegDeleteKeyW(top, u"A"), probe(top, u"A"),
                                 RegQueryValueExW(Key(top, u"A\\B"), u"V", nullptr, nullptr, nullptr, nullptr)}),
              std::vector<LONG>({ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND}));

    // A handle to a deleted key reports it; recreating the key does not revive the handle.
    HKEY open;
    (void)Key(top, u"Lone");
    ASSERT_EQ(RegOpenKeyExW(top, u"LONE", 0, GENERIC_ALL, &open), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(top, u"Lone"), ERROR_SUCCESS);
    Key recreated(top, u"Lone");
    EXPECT_EQ(std::vector<LONG>({setBytes(open, u"X", REG_BINARY, {1}), RegCloseKey(open), RegDeleteKeyW(HKEY_CURRENT_USER, u""),
                                 RegDeleteKeyW(top, nullptr)}), // a hive cannot be deleted
              std::vector<LONG>({ERROR_KEY_DELETED, ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER}));
    HKEY bogus = reinterpret_cast<HKEY>(0x5678), key, closed;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Handles", 0, nullptr, 0, GENERIC_ALL, nullptr, &closed, nullptr),
              ERROR_SUCCESS);
    WCHAR name[8];
    DWORD cch = 8;
    const std::u16string tooLong(256, u'x');
    const auto create = [&](const char16_t* path) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr);
    };
    EXPECT_EQ(
        std::vector<LONG>({RegOpenKeyExW(bogus, u"Software", 0, GENERIC_ALL, &key), RegSetValueExW(bogus, u"V", 0, REG_BINARY, nullptr, 0),
                           RegQueryValueExW(nullptr, u"V", nullptr, nullptr, nullptr, nullptr), RegCloseKey(bogus), RegCloseKey(closed),
                           RegCloseKey(closed), RegEnumKeyExW(closed, 0, name, &cch, nullptr, nullptr, nullptr, nullptr),
                           RegCloseKey(HKEY_LOCAL_MACHINE), create(u"\\Software"), create(u"Software\\\\Test"), create(tooLong.c_str()),
                           RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, GENERIC_ALL, nullptr)}),
        std::vector<LONG>({ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_SUCCESS,
                           ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_SUCCESS, ERROR_BAD_PATHNAME, ERROR_BAD_PATHNAME,
                           ERROR_BAD_PATHNAME, ERROR_INVALID_PARAMETER}));
}
