#include "hostfolders.h"
#include "windows.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

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

// A call's result when it failed, with the error it left, or "ok".
std::string outcome(bool ok)
{
    return ok ? "ok" : "error " + std::to_string(GetLastError());
}

// Opens and closes again: "ok" with the error it left, or the error.
std::string opened(const char16_t* path, DWORD access, DWORD disposition)
{
    HANDLE file = openFile(path, access, disposition);
    const std::string result = outcome(file != INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE)
        return result;
    const std::string after = " " + std::to_string(GetLastError()) + " size " + std::to_string(GetFileSize(file, nullptr));
    CloseHandle(file);
    return result + after;
}

std::string error(DWORD code)
{
    return "error " + std::to_string(code);
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
    EXPECT_EQ(std::string(buffer, got), "hello");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), ", world");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr)); // end of file: success, nothing read
    EXPECT_EQ(got, 0u);
    CloseHandle(file);
}

TEST_F(Files, DispositionsCreateReplaceAndRefuseAsWin32Does)
{
    const char16_t* d = u"C:\\files\\d.bin";
    EXPECT_EQ(opened(d, GENERIC_WRITE, OPEN_EXISTING), error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(opened(u"C:\\files\\nowhere\\d.bin", GENERIC_WRITE, CREATE_ALWAYS), error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_NEW), "ok 0 size 0");
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_NEW), error(ERROR_FILE_EXISTS));
    writeText(d, "0123456789");
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_ALWAYS), "ok 183 size 0"); // ERROR_ALREADY_EXISTS, and replaced
    writeText(d, "0123456789");
    EXPECT_EQ(opened(d, GENERIC_READ, OPEN_ALWAYS), "ok 183 size 10");
    EXPECT_EQ(opened(d, GENERIC_READ, TRUNCATE_EXISTING), error(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(opened(d, GENERIC_READ, 9), error(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(opened(u"C:\\files", GENERIC_READ, OPEN_EXISTING), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(u"E:\\x", GENERIC_READ, OPEN_EXISTING), error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(opened(u"C:\\files\\new.bin", GENERIC_WRITE, TRUNCATE_EXISTING), error(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, HandlesOnlyDoWhatTheyWereOpenedFor)
{
    writeText(u"C:\\files\\r.txt", "abc");
    HANDLE reader = openFile(u"C:\\files\\r.txt", GENERIC_READ, OPEN_EXISTING);
    DWORD count = 7;
    EXPECT_EQ(outcome(WriteFile(reader, "x", 1, &count, nullptr)), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    CloseHandle(reader);
    HANDLE writer = openFile(u"C:\\files\\r.txt", GENERIC_WRITE, OPEN_EXISTING);
    char c;
    EXPECT_EQ(outcome(ReadFile(writer, &c, 1, &count, nullptr)), error(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(FindClose(writer)); // not a search
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(outcome(ReadFile(writer, &c, 1, &count, nullptr)), error(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(writer, nullptr), INVALID_FILE_SIZE);
}

TEST_F(Files, FilePointerMovesFromEachOriginAndNeverBeforeTheStart)
{
    writeText(u"C:\\files\\s.bin", "0123456789");
    HANDLE file = openFile(u"C:\\files\\s.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    const auto next = [&] {
        char c = 0;
        DWORD got = 0;
        ReadFile(file, &c, 1, &got, nullptr);
        return c;
    };
    EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), 8u);
    EXPECT_EQ(next(), '8');
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(next(), '3'); // unmoved by the failed seek
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // Past the end is allowed; writing there fills the gap with zeros.
    EXPECT_EQ(SetFilePointer(file, 12, nullptr, FILE_BEGIN), 12u);
    DWORD got = 0;
    WriteFile(file, "!", 1, &got, nullptr);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 13u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(file, 10, nullptr, FILE_BEGIN), 10u);
    EXPECT_EQ(next(), '\0');

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
    const char16_t* ro = u"C:\\files\\ro.txt";
    writeText(ro, "keep");
    ASSERT_TRUE(SetFileAttributesW(ro, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(ro), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(opened(ro, GENERIC_WRITE, OPEN_EXISTING), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(ro, GENERIC_READ, CREATE_ALWAYS), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(outcome(DeleteFileW(ro)), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(ro, GENERIC_READ, OPEN_EXISTING), "ok 0 size 4");
    ASSERT_TRUE(SetFileAttributesW(ro, 0));
    EXPECT_EQ(GetFileAttributesW(ro), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteFileW(ro));
    EXPECT_EQ(GetFileAttributesW(ro), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetFileAttributesW(ro, 0));
}

TEST_F(Files, FoldersAreMadeRemovedAndToldApartFromFiles)
{
    EXPECT_EQ(GetFileAttributesW(u"C:\\files"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(outcome(CreateDirectoryW(u"C:\\files", nullptr)), error(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(outcome(CreateDirectoryW(u"C:\\files\\a\\b", nullptr)), error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(outcome(GetFileAttributesW(u"C:\\files\\a\\b") != INVALID_FILE_ATTRIBUTES), error(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryW(u"C:\\files\\a", nullptr));
    writeText(u"C:\\files\\a\\f.txt", "x");
    EXPECT_EQ(outcome(RemoveDirectoryW(u"C:\\files\\a")), error(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(outcome(RemoveDirectoryW(u"C:\\files\\a\\f.txt")), error(ERROR_DIRECTORY));
    EXPECT_EQ(outcome(DeleteFileW(u"C:\\files\\a")), error(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(DeleteFileW(u"C:\\files\\a\\f.txt"));
    EXPECT_EQ(outcome(DeleteFileW(u"C:\\files\\a\\f.txt")), error(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveDirectoryW(u"C:\\files\\A")); // found without regard to case
    EXPECT_EQ(outcome(RemoveDirectoryW(u"C:\\files\\a")), error(ERROR_FILE_NOT_FOUND));
}
