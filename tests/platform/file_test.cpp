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
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text, DWORD(std::strlen(text)), &written, nullptr));
    ASSERT_EQ(written, std::strlen(text));
    CloseHandle(file);
}

// "ok", or the error a failed call left.
std::string outcome(bool ok)
{
    return ok ? "ok" : "error " + std::to_string(GetLastError());
}

std::string error(DWORD code)
{
    return "error " + std::to_string(code);
}

// Opens and closes again: "ok" with the error it left and the size, or the error.
std::string opened(const char16_t* path, DWORD access, DWORD disposition)
{
    HANDLE file = openFile(path, access, disposition);
    if (file == INVALID_HANDLE_VALUE)
        return outcome(false);
    const std::string result = "ok " + std::to_string(GetLastError()) + " size " + std::to_string(GetFileSize(file, nullptr));
    CloseHandle(file);
    return result;
}

} // namespace

class Files : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(HostDataFolder() + "/drive_c/files");
        ASSERT_TRUE(CreateDirectoryW(u"C:\\files", nullptr));
    }
};

TEST_F(Files, WrittenBytesReadBackThroughHandlesThatOnlyDoWhatTheyWereOpenedFor)
{
    writeText(u"C:\\files\\a.txt", "hello, world");
    HANDLE file = openFile(u"c:/FILES/a.txt", GENERIC_READ, OPEN_EXISTING);
    char buffer[64] = {};
    DWORD got = 99;
    ASSERT_TRUE(ReadFile(file, buffer, 5, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "hello");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), ", world");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr)); // end of file: success, nothing read
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(outcome(WriteFile(file, "x", 1, &got, nullptr)), error(ERROR_ACCESS_DENIED));
    CloseHandle(file);
    HANDLE writer = openFile(u"C:\\files\\a.txt", GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(outcome(ReadFile(writer, buffer, 1, &got, nullptr)), error(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(FindClose(writer)); // not a search
    EXPECT_TRUE(CloseHandle(writer));
    EXPECT_EQ(outcome(ReadFile(writer, buffer, 1, &got, nullptr)), error(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(writer, nullptr), INVALID_FILE_SIZE);
}

TEST_F(Files, DispositionsCreateReplaceAndRefuseAsWin32Does)
{
    const char16_t* d = u"C:\\files\\d.bin";
    EXPECT_EQ(opened(d, GENERIC_WRITE, OPEN_EXISTING), error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(opened(u"C:\\files\\nowhere\\d.bin", GENERIC_WRITE, CREATE_ALWAYS), error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_NEW), "ok 0 size 0");
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_NEW), error(ERROR_FILE_EXISTS));
    writeText(d, "0123456789");
    EXPECT_EQ(opened(d, GENERIC_READ, OPEN_ALWAYS), "ok 183 size 10"); // ERROR_ALREADY_EXISTS
    EXPECT_EQ(opened(d, GENERIC_WRITE, CREATE_ALWAYS), "ok 183 size 0"); // and replaced
    EXPECT_EQ(opened(d, GENERIC_READ, TRUNCATE_EXISTING), error(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(opened(d, GENERIC_READ, 9), error(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(opened(u"C:\\files", GENERIC_READ, OPEN_EXISTING), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(u"E:\\x", GENERIC_READ, OPEN_EXISTING), error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(opened(u"C:\\files\\new.bin", GENERIC_WRITE, TRUNCATE_EXISTING), error(ERROR_FILE_NOT_FOUND));
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
    EXPECT_EQ(SetFilePointer(file, -6, nullptr, FILE_CURRENT), 3u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(next(), '3'); // unmoved by the failed seek
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // Past the end is allowed; writing there fills the gap with zeros.
    EXPECT_EQ(SetFilePointer(file, 12, nullptr, FILE_BEGIN), 12u);
    DWORD got = 0, high = 99;
    WriteFile(file, "!", 1, &got, nullptr);
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

TEST_F(Files, ExeFilesAreExecutableAndReadOnlyFilesRefuseChangesUntilTheAttributeIsCleared)
{
    writeText(u"C:\\files\\quibo.EXE", "#!/bin/sh\n");
    const char16_t* ro = u"C:\\files\\ro.txt";
    writeText(ro, "keep");
    struct stat exe, txt;
    ASSERT_EQ(stat((HostDataFolder() + "/drive_c/files/quibo.EXE").c_str(), &exe), 0);
    ASSERT_EQ(stat((HostDataFolder() + "/drive_c/files/ro.txt").c_str(), &txt), 0);
    EXPECT_TRUE(exe.st_mode & S_IXUSR);
    EXPECT_FALSE(txt.st_mode & S_IXUSR);

    ASSERT_TRUE(SetFileAttributesW(ro, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(ro), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(opened(ro, GENERIC_WRITE, OPEN_EXISTING), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(ro, GENERIC_READ, CREATE_ALWAYS), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(outcome(DeleteFileW(ro)), error(ERROR_ACCESS_DENIED));
    EXPECT_EQ(opened(ro, GENERIC_READ, OPEN_EXISTING), "ok 0 size 4");
    ASSERT_TRUE(SetFileAttributesW(ro, 0));
    EXPECT_EQ(GetFileAttributesW(ro), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteFileW(ro));
    EXPECT_EQ(outcome(SetFileAttributesW(ro, 0)), error(ERROR_FILE_NOT_FOUND));
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
