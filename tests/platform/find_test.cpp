#include "last_error.h"
#include "utf.h"

#include "hostfolders.h"
#include "windows.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> findAll(const char16_t* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(Utf16ToUtf8(data.cFileName));
    while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(find));
    return names;
}

} // namespace

TEST(FindFiles, PatternsMatchWithoutRegardToCaseInNameOrderEntriesCarryAttributesAndSizesAndFailuresSayWhatWasMissing)
{
    const std::string folder = HostDataFolder() + "/drive_c/Game";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/arm");
    // Only the small-screen pack has contents: five bytes.
    for (const char* name : {"/quibo-s-lo.RES", "/quibo-l-hi.res", "/layout.txt", "/\u0109evalo.txt"})
        std::ofstream(folder + name) << (name[7] == 's' ? "12345" : "");
    EXPECT_EQ(findAll(u"C:\\Game\\*.res"), (std::vector<std::string>{"quibo-l-hi.res", "quibo-s-lo.RES"}));
    EXPECT_EQ(findAll(u"c:/game/QUIBO-?-HI.*"), (std::vector<std::string>{"quibo-l-hi.res"}));
    EXPECT_EQ(findAll(u"C:\\Game\\?evalo.txt"), (std::vector<std::string>{"\u0109evalo.txt"}));
    EXPECT_EQ(findAll(u"C:\\Game\\*"),
              (std::vector<std::string>{".", "..", "arm", "layout.txt", "quibo-l-hi.res", "quibo-s-lo.RES", "\u0109evalo.txt"}));
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(u"C:\\Game\\quibo-s-lo.res", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    // The time is after 2014, counted from 1601; a search is not closed as a file, and only once.
    EXPECT_EQ(std::vector<DWORD>({data.dwFileAttributes, data.nFileSizeLow, data.ftLastWriteTime.dwHighDateTime > 0x01D00000u,
                                  DWORD(CloseHandle(find)), ErrorOf(FindClose(find)), ErrorOf(FindClose(find))}),
              std::vector<DWORD>({FILE_ATTRIBUTE_NORMAL, 5, 1, 0, 0, ERROR_INVALID_HANDLE}));
    FindClose(FindFirstFileW(u"C:\\Game\\ar?", &data));
    EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    const std::pair<const char16_t*, DWORD> cases[] = {
        {u"C:\\Game\\*.zip", ERROR_FILE_NOT_FOUND},
        {u"C:\\Nowhere\\*.res", ERROR_PATH_NOT_FOUND},
        {u"C:\\Game\\layout.txt\\*", ERROR_PATH_NOT_FOUND},
        {u"C:\\Game\\", ERROR_FILE_NOT_FOUND},
        {u"Q:\\*", ERROR_PATH_NOT_FOUND},
        {nullptr, ERROR_INVALID_PARAMETER},
    };
    WIN32_FIND_DATAW missing;
    for (const auto& [pattern, error] : cases)
        EXPECT_EQ(ErrorOf(FindFirstFileW(pattern, &missing) != INVALID_HANDLE_VALUE), error) << (pattern ? int(pattern[9]) : 0);
    EXPECT_EQ(ErrorOf(FindNextFileW(INVALID_HANDLE_VALUE, &missing)), DWORD(ERROR_INVALID_HANDLE));
}
