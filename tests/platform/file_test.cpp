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
    ASSERT_TRUE(WriteFile(file, text, DWORD(std::strlen(text)), &written, nullptr) && written == std::strlen(text));
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

TEST_F(Files, WrittenBytesReadBackThroughHandlesThatOnlyDoWhatTheyWereOpenedForAndThePointerStaysAtOrAfterTheStart)
{
    writeText(u"C:\\files\\a.txt", "hello, world");
    HANDLE file = openFile(u"c:/FILES/a.txt", GENERIC_READ, OPEN_EXISTING);
    char buffer[64] = {};
    const auto read = [&](DWORD size) {
        DWORD got = 99;
        return ReadFile(file, buffer, size, &got, nullptr) ? std::string(buffer, got) : outcome(false);
    };
    // At the end of the file a read succeeds with nothing.
    EXPECT_EQ(std::vector<std::string>({read(5), read(sizeof buffer), read(sizeof buffer)}),
              std::vector<std::string>({"hello", ", world", ""}));
    DWORD got = 0;
    EXPECT_EQ(outcome(WriteFile(file, "x", 1, &got, nullptr)), error(ERROR_ACCESS_DENIED));
    CloseHandle(file);
    file = openFile(u"C:\\files\\a.txt", GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(std::vector<std::string>(
                  {read(1), std::string(FindClose(file) ? "closed as a search" : "not a search"), outcome(CloseHandle(file)), read(1)}),
              std::vector<std::string>({error(ERROR_ACCESS_DENIED), "not a search", "ok", error(ERROR_INVALID_HANDLE)}));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    writeText(u"C:\\files\\s.bin", "0123456789");
    HANDLE seekable = openFile(u"C:\\files\\s.bin", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    const auto next = [&] {
        char c = 0;
        DWORD wrote = 0;
        ReadFile(seekable, &c, 1, &wrote, nullptr);
        return c;
    };
    const auto seek = [&](LONG distance, DWORD origin) {
        const DWORD position = SetFilePointer(seekable, distance, nullptr, origin);
        return position == INVALID_SET_FILE_POINTER ? error(GetLastError()) : std::to_string(position);
    };
    // A failed seek leaves the pointer where it was.
    EXPECT_EQ(std::vector<std::string>({seek(-2, FILE_END), std::string(1, next()), seek(-6, FILE_CURRENT), seek(-4, FILE_CURRENT),
                                        std::string(1, next()), seek(0, 7)}),
              std::vector<std::string>({"8", "8", "3", error(ERROR_NEGATIVE_SEEK), "3", error(ERROR_INVALID_PARAMETER)}));

    // Past the end is allowed; writing there fills the gap with zeros.
    DWORD wrote = 0, high = 99;
    const std::string past = seek(12, FILE_BEGIN);
    WriteFile(seekable, "!", 1, &wrote, nullptr);
    EXPECT_EQ(std::vector<std::string>(
                  {past, std::to_string(GetFileSize(seekable, &high)), std::to_string(high), seek(10, FILE_BEGIN), std::string(1, next())}),
              std::vector<std::string>({"12", "13", "0", "10", std::string(1, '\0')}));
    CloseHandle(seekable);
}

TEST_F(Files, DispositionsCreateReplaceAndRefuseAndFoldersAreToldApartFromFilesAsWin32Does)
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
    EXPECT_EQ(GetFileAttributesW(u"C:\\files"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(
        std::vector<std::string>({outcome(CreateDirectoryW(u"C:\\files", nullptr)), outcome(CreateDirectoryW(u"C:\\files\\a\\b", nullptr)),
                                  outcome(GetFileAttributesW(u"C:\\files\\a\\b") != INVALID_FILE_ATTRIBUTES)}),
        std::vector<std::string>({error(ERROR_ALREADY_EXISTS), error(ERROR_PATH_NOT_FOUND), error(ERROR_PATH_NOT_FOUND)}));
    ASSERT_TRUE(CreateDirectoryW(u"C:\\files\\a", nullptr));
    writeText(u"C:\\files\\a\\f.txt", "x");
    // The last removal finds the folder without regard to case.
    EXPECT_EQ(std::vector<std::string>({outcome(RemoveDirectoryW(u"C:\\files\\a")), outcome(RemoveDirectoryW(u"C:\\files\\a\\f.txt")),
                                        outcome(DeleteFileW(u"C:\\files\\a")), outcome(DeleteFileW(u"C:\\files\\a\\f.txt")),
                                        outcome(DeleteFileW(u"C:\\files\\a\\f.txt")), outcome(RemoveDirectoryW(u"C:\\files\\A")),
                                        outcome(RemoveDirectoryW(u"C:\\files\\a"))}),
              std::vector<std::string>({error(ERROR_DIR_NOT_EMPTY), error(ERROR_DIRECTORY), error(ERROR_ACCESS_DENIED), "ok",
                                        error(ERROR_FILE_NOT_FOUND), "ok", error(ERROR_FILE_NOT_FOUND)}));
}

TEST_F(Files, ExeFilesAreExecutableAndReadOnlyFilesRefuseChangesUntilTheAttributeIsCleared)
{
    writeText(u"C:\\files\\quibo.EXE", "#!/bin/sh\n");
    const char16_t* ro = u"C:\\files\\ro.txt";
    writeText(ro, "keep");
    const auto executable = [](const char* name) {
        struct stat info { };
        return stat((HostDataFolder() + "/drive_c/files/" + name).c_str(), &info) == 0 && (info.st_mode & S_IXUSR);
    };
    EXPECT_EQ(std::make_pair(executable("quibo.EXE"), executable("ro.txt")), std::make_pair(true, false));

    ASSERT_TRUE(SetFileAttributesW(ro, FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(
        std::vector<std::string>({std::to_string(GetFileAttributesW(ro)), opened(ro, GENERIC_WRITE, OPEN_EXISTING),
                                  opened(ro, GENERIC_READ, CREATE_ALWAYS), outcome(DeleteFileW(ro)),
                                  opened(ro, GENERIC_READ, OPEN_EXISTING), outcome(SetFileAttributesW(ro, 0)),
                                  std::to_string(GetFileAttributesW(ro)), outcome(DeleteFileW(ro)), outcome(SetFileAttributesW(ro, 0))}),
        std::vector<std::string>({std::to_string(FILE_ATTRIBUTE_READONLY), error(ERROR_ACCESS_DENIED), error(ERROR_ACCESS_DENIED),
                                  error(ERROR_ACCESS_DENIED), "ok 0 size 4", "ok", std::to_string(FILE_ATTRIBUTE_NORMAL), "ok",
                                  error(ERROR_FILE_NOT_FOUND)}));
}
