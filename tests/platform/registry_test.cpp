#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
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

TEST(Registry, ValuesKeepTheirTypeAndExactBytes)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Types");
    const std::vector<BYTE> text = {'Q', 0, 'u', 0, 'i', 0}; // a string stored without terminator
    const struct {
        const char16_t* name;
        DWORD type;
        std::vector<BYTE> bytes;
    } values[] = {
        {u"Text", REG_SZ, text},
        {u"Binary", REG_BINARY, {0, 1, 0xFF, 0x80, 0, 0}},
        {u"Number", REG_DWORD, {4, 3, 2, 1}},
        {u"Empty", REG_NONE, {}},
        {u"Odd", 0x1234, {7}},
        {u"Binary", REG_SZ, text}, // rewriting changes type and size together
        {nullptr, REG_BINARY, {5, 6}}, // the default value has an empty (or no) name
    };
    for (const auto& v : values)
        ASSERT_EQ(setBytes(key, v.name, v.type, v.bytes), ERROR_SUCCESS);
    for (const auto& v : values) {
        if (&v == &values[1])
            continue; // rewritten as text
        DWORD type = 99;
        EXPECT_EQ(getBytes(key, v.name ? v.name : u"", &type), v.bytes) << (v.name ? v.name[0] : 0);
        EXPECT_EQ(type, v.type);
    }
}

TEST(Registry, SizesAndTooSmallBuffers)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Sizes");
    std::vector<BYTE> record(1044, 0xAB);
    ASSERT_EQ(setBytes(key, u"Settings", REG_BINARY, record), ERROR_SUCCESS);
    std::vector<BYTE> buffer(2000, 0);
    DWORD size = 1043;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 1044u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(buffer[0], 0);
    size = 2000;
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1044u);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin()));
    EXPECT_EQ(buffer[1044], 0); // nothing written past the value

    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, buffer.data(), nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Null", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
    EXPECT_EQ(RegQueryValueExW(key, u"Nothing", nullptr, nullptr, buffer.data(), &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, u"Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(key, u"Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(probe(HKEY_LOCAL_MACHINE, u"Software\\Test\\Sizes"), ERROR_FILE_NOT_FOUND); // hives are separate
}

TEST(Registry, KeyAndValueNamesIgnoreCase)
{
    Key created(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Quibo");
    EXPECT_EQ(created.disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(setBytes(created, u"Ŝlosilo", REG_BINARY, {1, 2}), ERROR_SUCCESS);
    Key again(HKEY_CURRENT_USER, u"SOFTWARE\\test\\ĉAPELO ŭ\\qUIBO\\");
    EXPECT_EQ(again.disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(getBytes(again, u"ŝLOSILO"), (std::vector<BYTE>{1, 2}));

    // Setting through another spelling replaces the value and keeps its first name.
    ASSERT_EQ(setBytes(again, u"ŜLOSILO", REG_BINARY, {3}), ERROR_SUCCESS);
    WCHAR name[32];
    DWORD cch = 32;
    ASSERT_EQ(RegEnumValueW(created, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, cch), u"Ŝlosilo");
    EXPECT_EQ(RegEnumValueW(created, 1, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(getBytes(created, u"Ŝlosilo"), std::vector<BYTE>{3});

    // Latin-1 folds too; different letters stay different.
    Key latin(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Ÿüé");
    EXPECT_EQ(probe(HKEY_CURRENT_USER, u"Software\\Test\\ĉapelo ŭ\\ÿÜÉ"), ERROR_SUCCESS);
    EXPECT_EQ(probe(HKEY_CURRENT_USER, u"Software\\Test\\Capelo U"), ERROR_FILE_NOT_FOUND);
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
    DWORD cch = MAX_KEY_LENGTH + 1;
    for (DWORD i = 0; RegEnumKeyExW(key, i, name, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) {
        keys.emplace_back(name, cch);
        EXPECT_EQ(name[cch], 0);
        cch = MAX_KEY_LENGTH + 1;
    }
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"Alpha", u"beta", u"GAMMA"}));
    cch = 5; // "Alpha" needs six with its terminator
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    // Values come in the order they were set, with their data.
    cch = 32;
    DWORD type = 0;
    BYTE data[8];
    DWORD size = 2;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &cch, nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    size = sizeof data;
    cch = 32;
    ASSERT_EQ(RegEnumValueW(key, 1, name, &cch, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, cch), u"Ab");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegEnumValueW(key, 2, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    DWORD info[5] = {}; // subkeys, longest subkey name, values, longest value name, largest value
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &info[0], &info[1], nullptr, &info[2], &info[3], &info[4], nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::vector<DWORD>(info, info + 5), (std::vector<DWORD>{3, 5, 2, 3, 4}));
}

TEST(Registry, DeletingKeys)
{
    Key top(HKEY_CURRENT_USER, u"Software\\Test\\Delete");
    {
        Key deep(top, u"A\\B");
        ASSERT_EQ(setBytes(deep, u"V", REG_BINARY, {1}), ERROR_SUCCESS);
    }
    // A key with subkeys is refused: the layer above deletes depth first.
    EXPECT_EQ(RegDeleteKeyW(top, u"A"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(top, u"a\\b"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(top, u"A"), ERROR_SUCCESS);
    EXPECT_EQ(probe(top, u"A"), ERROR_FILE_NOT_FOUND);
    // The values went with their key.
    Key fresh(top, u"A\\B");
    EXPECT_EQ(RegQueryValueExW(fresh, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

    // A handle to a deleted key reports it; recreating the key does not revive the handle.
    HKEY open;
    {
        Key lone(top, u"Lone");
        ASSERT_EQ(RegOpenKeyExW(top, u"LONE", 0, GENERIC_ALL, &open), ERROR_SUCCESS);
    }
    ASSERT_EQ(RegDeleteKeyW(top, u"Lone"), ERROR_SUCCESS);
    Key recreated(top, u"Lone");
    EXPECT_EQ(setBytes(open, u"X", REG_BINARY, {1}), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_ACCESS_DENIED); // a hive cannot be deleted
    EXPECT_EQ(RegDeleteKeyW(top, nullptr), ERROR_INVALID_PARAMETER);
}

TEST(Registry, HandlesAndPathsAreChecked)
{
    HKEY bogus = reinterpret_cast<HKEY>(0x5678);
    HKEY key;
    EXPECT_EQ(RegOpenKeyExW(bogus, u"Software", 0, GENERIC_ALL, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(bogus, u"V", 0, REG_BINARY, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(nullptr, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Handles", 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    WCHAR name[8];
    DWORD cch = 8;
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    const std::u16string tooLong(256, u'x');
    for (const char16_t* bad : {u"\\Software", u"Software\\\\Test", tooLong.c_str()})
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, bad, 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, GENERIC_ALL, nullptr), ERROR_INVALID_PARAMETER);
}
