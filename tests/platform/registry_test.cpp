#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "windows.h"

namespace {

// Each test works below its own key, so the suite also runs in one process.
struct Key {
    HKEY handle = nullptr;
    Key(HKEY root, const char16_t* path)
    {
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, GENERIC_ALL, nullptr, &handle,
                                  nullptr),
                  ERROR_SUCCESS);
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

// How the registry access layer above deletes a key: first subkeys, depth first.
LONG deleteTree(HKEY parent, const char16_t* name)
{
    HKEY key;
    if (LONG rc = RegOpenKeyExW(parent, name, 0, GENERIC_ALL, &key); rc != ERROR_SUCCESS)
        return rc;
    WCHAR child[MAX_KEY_LENGTH + 1];
    DWORD cch = MAX_KEY_LENGTH + 1;
    while (RegEnumKeyExW(key, 0, child, &cch, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        if (LONG rc = deleteTree(key, child); rc != ERROR_SUCCESS)
            return rc;
        cch = MAX_KEY_LENGTH + 1;
    }
    RegCloseKey(key);
    return RegDeleteKeyW(parent, name);
}

} // namespace

TEST(Registry, ValuesKeepTheirTypeAndExactBytes)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Types");
    const std::vector<BYTE> text = {'Q', 0, 'u', 0, 'i', 0}; // a string stored without terminator
    const std::vector<BYTE> binary = {0, 1, 0xFF, 0x80, 0, 0};
    const DWORD number = 0x01020304;
    ASSERT_EQ(setBytes(key, u"Text", REG_SZ, text), ERROR_SUCCESS);
    ASSERT_EQ(setBytes(key, u"Binary", REG_BINARY, binary), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(setBytes(key, u"Empty", REG_NONE, {}), ERROR_SUCCESS);
    ASSERT_EQ(setBytes(key, u"Odd", 0x1234, {7}), ERROR_SUCCESS);

    DWORD type = 99;
    EXPECT_EQ(getBytes(key, u"Text", &type), text);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(getBytes(key, u"Binary", &type), binary);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(getBytes(key, u"Number", &type), (std::vector<BYTE>{4, 3, 2, 1}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(getBytes(key, u"Empty", &type), std::vector<BYTE>{});
    EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(getBytes(key, u"Odd", &type), std::vector<BYTE>{7});
    EXPECT_EQ(type, 0x1234u);

    // Rewriting changes type and size together.
    ASSERT_EQ(setBytes(key, u"Binary", REG_SZ, text), ERROR_SUCCESS);
    EXPECT_EQ(getBytes(key, u"Binary", &type), text);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    // The default value has an empty (or no) name.
    ASSERT_EQ(setBytes(key, nullptr, REG_BINARY, {5, 6}), ERROR_SUCCESS);
    EXPECT_EQ(getBytes(key, u""), (std::vector<BYTE>{5, 6}));
}

TEST(Registry, SizesAndTooSmallBuffers)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Sizes");
    std::vector<BYTE> record(1044, 0xAB);
    ASSERT_EQ(setBytes(key, u"Settings", REG_BINARY, record), ERROR_SUCCESS);

    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1044u);

    std::vector<BYTE> buffer(1043);
    size = 1043;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 1044u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    buffer.assign(2000, 0);
    size = 2000;
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1044u);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buffer.begin()));
    EXPECT_EQ(buffer[1044], 0); // nothing written past the value

    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, buffer.data(), nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Settings", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"Null", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
}

TEST(Registry, MissingKeysAndValues)
{
    Key key(HKEY_CURRENT_USER, u"Software\\Test\\Missing");
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(key, u"Nothing", nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, u"Nothing"), ERROR_FILE_NOT_FOUND);

    HKEY opened = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Missing\\No\\Deeper", 0, GENERIC_ALL, &opened),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(opened, nullptr);
    // Hives are separate trees.
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Test\\Missing", 0, GENERIC_ALL, &opened),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(key, u"Nothing"), ERROR_FILE_NOT_FOUND);
}

TEST(Registry, KeyAndValueNamesIgnoreCase)
{
    DWORD disposition = 0;
    HKEY created;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Quibo", 0, nullptr, 0, GENERIC_ALL,
                              nullptr, &created, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(setBytes(created, u"Ŝlosilo", REG_BINARY, {1, 2}), ERROR_SUCCESS);

    HKEY again;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\test\\ĉAPELO ŭ\\qUIBO\\", 0, nullptr, 0, GENERIC_ALL,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
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
    HKEY other;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Ĉapelo Ŭ\\Ÿüé", 0, nullptr, 0, GENERIC_ALL,
                              nullptr, &other, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(other);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\ĉapelo ŭ\\ÿÜÉ", 0, GENERIC_ALL, &other),
              ERROR_SUCCESS);
    RegCloseKey(other);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Capelo U", 0, GENERIC_ALL, &other),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(created);
    RegCloseKey(again);
}

TEST(Registry, EnumerationAndKeyInfo)
{
    Key key(HKEY_LOCAL_MACHINE, u"Software\\Test\\Enum");
    for (const char16_t* name : {u"beta", u"Alpha", u"GAMMA"}) {
        Key child(key, name);
    }
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
    BYTE data[2];
    DWORD size = sizeof data;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &cch, nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    BYTE big[8];
    size = sizeof big;
    cch = 32;
    ASSERT_EQ(RegEnumValueW(key, 1, name, &cch, nullptr, &type, big, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, cch), u"Ab");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegEnumValueW(key, 2, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValue = 0;
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxValueName,
                               &maxValue, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 3u);
    EXPECT_EQ(maxSubKey, 5u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxValueName, 3u);
    EXPECT_EQ(maxValue, 4u);
}

TEST(Registry, DeletingKeys)
{
    Key top(HKEY_CURRENT_USER, u"Software\\Test\\Delete");
    {
        Key deep(top, u"A\\B\\C");
        Key side(top, u"A\\D");
        ASSERT_EQ(setBytes(deep, u"V", REG_BINARY, {1}), ERROR_SUCCESS);
    }
    // A key with subkeys is refused; the layer above deletes depth first.
    EXPECT_EQ(RegDeleteKeyW(top, u"A"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(deleteTree(top, u"A"), ERROR_SUCCESS);
    HKEY gone;
    EXPECT_EQ(RegOpenKeyExW(top, u"A\\B\\C", 0, GENERIC_ALL, &gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(top, u"A", 0, GENERIC_ALL, &gone), ERROR_FILE_NOT_FOUND);

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

    // The values go with their key, and a hive cannot be deleted.
    {
        Key withValue(top, u"Valued");
        ASSERT_EQ(setBytes(withValue, u"V", REG_BINARY, {1}), ERROR_SUCCESS);
    }
    ASSERT_EQ(RegDeleteKeyW(top, u"Valued"), ERROR_SUCCESS);
    Key fresh(top, u"Valued");
    EXPECT_EQ(RegQueryValueExW(fresh, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(top, nullptr), ERROR_INVALID_PARAMETER);
}

TEST(Registry, HandlesAndPathsAreChecked)
{
    HKEY bogus = reinterpret_cast<HKEY>(0x5678);
    HKEY out;
    EXPECT_EQ(RegOpenKeyExW(bogus, u"Software", 0, GENERIC_ALL, &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(bogus, u"V", 0, REG_BINARY, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(nullptr, u"V", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);

    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Test\\Handles", 0, nullptr, 0, GENERIC_ALL, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumKeyExW(key, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
    WCHAR name[8];
    DWORD cch = 8;
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    for (const char16_t* bad : {u"\\Software", u"Software\\\\Test"})
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, bad, 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr),
                  ERROR_BAD_PATHNAME);
    const std::u16string tooLong(256, u'x');
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, tooLong.c_str(), 0, nullptr, 0, GENERIC_ALL, nullptr, &key, nullptr),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, GENERIC_ALL, nullptr), ERROR_INVALID_PARAMETER);
}
