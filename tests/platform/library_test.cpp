#include "child_process.h"
#include "last_error.h"
#include "utf.h"

#include "hostfolders.h"
#include "windows.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

using AnswerFunction = int (*)();

std::string moduleFileName(HMODULE module)
{
    WCHAR name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    return Utf16ToUtf8(std::u16string(name, length));
}

} // namespace

TEST(Libraries, DllNamesLoadTheLibraryBesideTheProgramAWindowsPathFromThatFolderOnlyAndDamagedOnesFailWithTheirOwnError)
{
    HMODULE library = LoadLibraryW(u"quibo_testlib.dll");
    ASSERT_NE(library, nullptr);
    auto answer = reinterpret_cast<AnswerFunction>(GetProcAddress(library, "QuiboTestAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(moduleFileName(library), TestProgramFolder() + "/libquibo_testlib.so");
    EXPECT_EQ(GetModuleHandleW(u"QUIBO_TESTLIB.DLL"), library);
    // Ordinals are not kept.
    EXPECT_EQ(std::make_pair(ErrorOf(GetProcAddress(library, "NoSuchExport") != nullptr),
                             ErrorOf(GetProcAddress(library, MAKEINTRESOURCEA(1)) != nullptr)),
              std::make_pair(DWORD(ERROR_PROC_NOT_FOUND), DWORD(ERROR_PROC_NOT_FOUND)));

    EXPECT_EQ(LoadLibraryW(u"quibo_testlib"), library); // counted twice now
    EXPECT_TRUE(FreeLibrary(library) && GetProcAddress(library, "QuiboTestAnswer") && FreeLibrary(library));

    // Once freed, as a forged handle, it is refused.
    for (HMODULE gone : {library, reinterpret_cast<HMODULE>(0x1234)}) {
        WCHAR name[16];
        EXPECT_EQ(std::vector<DWORD>({ErrorOf(FreeLibrary(gone)), ErrorOf(GetProcAddress(gone, "QuiboTestAnswer") != nullptr),
                                      ErrorOf(GetModuleFileNameW(gone, name, 16) != 0)}),
                  std::vector<DWORD>({ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_MOD_NOT_FOUND}));
    }
    EXPECT_EQ(GetModuleHandleW(u"quibo_testlib.dll"), nullptr);
    const std::string folder = HostDataFolder() + "/drive_c/Zelnor Software";
    std::filesystem::create_directories(folder);
    const auto copy = [&](const char* name) {
        std::filesystem::copy_file(TestProgramFolder() + "/libquibo_testlib.so", folder + name,
                                   std::filesystem::copy_options::overwrite_existing);
    };
    copy("/libuninstaller.so");
    HMODULE loaded = LoadLibraryW(u"C:\\zelnor software\\Uninstaller.dll");
    EXPECT_NE(GetProcAddress(loaded, "QuiboTestAnswer"), nullptr);
    FreeLibrary(loaded);
    // A library copied under its Windows name loads as named, before any libNAME.so beside it.
    copy("/helper.dll");
    std::ofstream(folder + "/libhelper.so") << "not a loaded";
    loaded = LoadLibraryW(u"C:\\Zelnor Software\\HELPER.DLL");
    EXPECT_EQ(moduleFileName(loaded), folder + "/helper.dll");
    FreeLibrary(loaded);

    std::ofstream(folder + "/libbroken.so") << "\x7F"
                                               "ELF but not really";
    std::ofstream(folder + "/libempty.so");
    const std::pair<const char16_t*, DWORD> refused[] = {
        {u"C:\\Zelnor Software\\quibo_testlib.dll", ERROR_MOD_NOT_FOUND},
        {u"nosuchlibrary.dll", ERROR_MOD_NOT_FOUND},
        {u"C:\\Zelnor Software\\broken.dll", ERROR_BAD_EXE_FORMAT},
        {u"C:\\Zelnor Software\\empty.dll", ERROR_BAD_EXE_FORMAT},
    };
    for (const auto& [name, error] : refused)
        EXPECT_EQ(ErrorOf(LoadLibraryW(name) != nullptr), error);
    EXPECT_EQ(std::make_pair(LoadLibraryW(u"D:\\nosuchlibrary.dll"), LoadLibraryW(u"")),
              std::make_pair(HMODULE(nullptr), HMODULE(nullptr)));
}

TEST(Modules, TheProgramIsNamedByItsHostPathOrOnAHandheldByItsDevicePathAsAreItsLibraries)
{
    EXPECT_EQ(GetModuleHandle(nullptr), GetModuleHandleW(nullptr));
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(moduleFileName(nullptr) + "|" + moduleFileName(GetModuleHandleW(nullptr)), program + "|" + program);

    WCHAR small[6] = {u'x', u'x', u'x', u'x', u'x', u'x'};
    const DWORD copied = GetModuleFileNameW(nullptr, small, 5); // truncated and terminated
    EXPECT_EQ(std::make_pair(copied, GetLastError()), std::make_pair(DWORD(5), DWORD(ERROR_INSUFFICIENT_BUFFER)));
    EXPECT_EQ(std::u16string(small, 6), Utf8ToUtf16(program.substr(0, 4)) + u'\0' + u'x');
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 0), 0u);
    // The test programs' folder stands for the device's "\\": a program started there finds its
    // files through the names it is given.
    setenv("QUIBO_DEVICE_ROOT", TestProgramFolder().c_str(), 1);
    const std::string name = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_EQ(moduleFileName(nullptr), "\\" + name);
    HMODULE library = LoadLibraryW(u"quibo_testlib.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(moduleFileName(library), "\\libquibo_testlib.so");
    FreeLibrary(library);
    unsetenv("QUIBO_DEVICE_ROOT");
}

TEST(ProgramEntry, WinMainGetsTheInstanceTheArgumentsAndShowAndItsResultIsTheExitCode)
{
    ChildProcess probe("entry_probe", {"a b", "c\"d", "e\\", ""});
    EXPECT_EQ(probe.readAll(), "arguments=[\"a b\" \"c\\\"d\" e\\ \"\"]\nshow=5 previous=0 instance=1\nline=[" + TestProgramFolder()
                                   + "/entry_probe \"a b\" \"c\\\"d\" e\\ \"\"]\n");
    EXPECT_EQ(probe.wait(), 7);
}
