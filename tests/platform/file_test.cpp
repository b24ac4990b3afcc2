#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "hostfolders.h"
#include "windows.h"

namespace {

HANDLE openFile(const char16_t* path, DWORD access, DWORD disposition)
{
    return CreateFileW(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void writeText(const char16_t* path, const char* text)
{
    HANDLE file = openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr));
    ASSERT_EQ(written, std::strlen(text));
    CloseHandle(file);
}

std::string hostFile(const char* relative)
{
    return HostDataFolder() + "/drive_c/" + relative;
}

} // namespace

class Files : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(hostFile("files"));
        ASSERT_TRUE(CreateDirectoryW(u"C:\\files", nullptr));
    }
};

TEST_F(Files, WrittenBytesReadBackWithShortReadsAtTheEnd)
{
    writeText(u"C:\\files\\a.txt", "hello, world");
    HANDLE file = openFile(u"c:/FILES/a.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[64] = {};
    DWORD got = 99;
    ASSERT_TRUE(ReadFile(file, buffer, 5, &got, nullptr));
    EXPECT_EQ(got, 5u);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), ", world");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr)); // end of file: success, nothing read
    EXPECT_EQ(got, 0u);
    CloseHandle(file);
}

TEST_F(Files, DispositionsCreateReplaceAndRefuseAsWin32Does)
{
    HANDLE file = openFile(u"C:\\files\\d.bin", GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(openFile(u"C:\\files\\nowhere\\d.bin", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    file = openFile(u"C:\\files\\d.bin", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(file);
    EXPECT_EQ(openFile(u"C:\\files\\d.bin", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    writeText(u"C:\\files\\d.bin", "0123456789");
    file = openFile(u"C:\\files\\d.bin", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 0u); // replaced
    CloseHandle(file);
    file = openFile(u"C:\\files\\d.bin", GENERIC_READ, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(file);
    EXPECT_EQ(openFile(u"C:\\files\\d.bin", GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(openFile(u"C:\\files\\d.bin", GENERIC_READ, 9), INVALID_HANDLE_VALUE);
    EXPECT_EQ(openFile(u"C:\\files", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(openFile(u"E:\\x", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, HandlesOnlyDoWhatTheyWereOpenedFor)
{
    writeText(u"C:\\files\\r.txt", "abc");
    HANDLE reader = openFile(u"C:\\files\\r.txt", GENERIC_READ, OPEN_EXISTING);
    DWORD count = 7;
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    CloseHandle(reader);

    HANDLE writer = openFile(u"C:\\files\\r.txt", GENERIC_WRITE, OPEN_EXISTING);
    char c;
    EXPECT_FALSE(ReadFile(writer, &c, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(FindClose(writer)); // not a search
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_FALSE(ReadFile(writer, &c, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(writer, nullptr), INVALID_FILE_SIZE);
}

TEST_F(Files, FilePointerMovesFromEachOriginAndNeverBeforeTheStart)
{
    writeText(u"C:\\files\\s.bin", "0123456789");
    HANDLE file = openFile(u"C:\\files\\s.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
    char c = 0;
    DWORD got = 0;
    ReadFile(file, &c, 1, &got, nullptr);
    EXPECT_EQ(c, '8');
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);

    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    ReadFile(file, &c, 1, &got, nullptr);
    EXPECT_EQ(c, '3'); // unmoved by the failed seek
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // Past the end is allowed; writing there fills the gap with zeros.
    EXPECT_EQ(SetFilePointer(file, 12, nullptr, FILE_BEGIN), 12u);
    WriteFile(file, "!", 1, &got, nullptr);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 13u);
    EXPECT_EQ(high, 0u);

    LONG distanceHigh = 1; // 4 GiB + 2, beyond what 32 bits say
    EXPECT_EQ(SetFilePointer(file, 2, &distanceHigh, FILE_BEGIN), 2u);
    EXPECT_EQ(distanceHigh, 1);
    distanceHigh = -1; // and back by a 64-bit negative move
    EXPECT_EQ(SetFilePointer(file, -4, &distanceHigh, FILE_CURRENT), 0xFFFFFFFEu);
    EXPECT_EQ(distanceHigh, 0);
    CloseHandle(file);
}

TEST_F(Files, ExeFilesAreCreatedExecutable)
{
    writeText(u"C:\\files\\quibo.EXE", "#!/bin/sh\n");
    writeText(u"C:\\files\\notes.txt", "");
    struct stat info;
    ASSERT_EQ(stat(hostFile("files/quibo.EXE").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    ASSERT_EQ(stat(hostFile("files/notes.txt").c_str(), &info), 0);
    EXPECT_FALSE(info.st_mode & S_IXUSR);
}

TEST_F(Files, ReadOnlyFilesRefuseChangesUntilTheAttributeIsCleared)
{
    writeText(u"C:\\files\\ro.txt", "keep");
    ASSERT_TRUE(SetFileAttributesW(u"C:\\files\\ro.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(u"C:\\files\\ro.txt"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(openFile(u"C:\\files\\ro.txt", GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(openFile(u"C:\\files\\ro.txt", GENERIC_READ, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(u"C:\\files\\ro.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE reader = openFile(u"C:\\files\\ro.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);

    ASSERT_TRUE(SetFileAttributesW(u"C:\\files\\ro.txt", 0));
    EXPECT_EQ(GetFileAttributesW(u"C:\\files\\ro.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteFileW(u"C:\\files\\ro.txt"));
    EXPECT_EQ(GetFileAttributesW(u"C:\\files\\ro.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetFileAttributesW(u"C:\\files\\ro.txt", 0));
}

TEST_F(Files, FoldersAreMadeRemovedAndToldApartFromFiles)
{
    EXPECT_EQ(GetFileAttributesW(u"C:\\files"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(CreateDirectoryW(u"C:\\files", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(u"C:\\files\\a\\b", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(u"C:\\files\\a\\b"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    ASSERT_TRUE(CreateDirectoryW(u"C:\\files\\a", nullptr));
    writeText(u"C:\\files\\a\\f.txt", "x");
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\files\\a"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\files\\a\\f.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_FALSE(DeleteFileW(u"C:\\files\\a"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(DeleteFileW(u"C:\\files\\a\\f.txt"));
    EXPECT_FALSE(DeleteFileW(u"C:\\files\\a\\f.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveDirectoryW(u"C:\\files\\A")); // found without regard to case
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\files\\a"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
