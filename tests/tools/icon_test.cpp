// Icons from an icon file to a window: the compiler refuses malformed icon files with a message
// and splits good ones into resources, which the platform loads back at the size asked for.
#include "user32/icon.h"

#include "ico_file.h"
#include "iconfile.h"
#include "lexer.h"
#include "little_endian.h"
#include "parser.h"
#include "test_env.h"

#include "resourcemodule.h"
#include <windows.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr size_t kImage1 = 6 + 2 * 16; // where the first image of a two-image file starts

TEST(IconFile, RefusesMalformedFilesWithAMessage)
{
    using Edit = std::function<void(std::vector<uint8_t>&)>;
    const std::tuple<const char*, Edit, const char*> cases[] = {
        {"too short", [](auto& f) { f.resize(4); }, "is not an icon file"},
        {"a cursor", [](auto& f) { f[2] = 2; }, "is not an icon file"},
        {"no images", [](auto& f) { f[4] = 0; }, "has 0 images"},
        {"too many images", [](auto& f) { f[4] = 65; }, "has 65 images"},
        {"directory cut", [](auto& f) { f.resize(6 + 16 + 8); }, "is cut short in its directory"},
        {"offset past the end", [](auto& f) { StoreLe32(&f[6 + 16 + 12], uint32_t(f.size()) + 1); }, "has image 2 reaching past the end"},
        {"size wraps around", [](auto& f) { StoreLe32(&f[6 + 8], 0xFFFFFFF0u); }, "has image 1 reaching past the end"},
        {"file cut", [](auto& f) { f.pop_back(); }, "has image 2 reaching past the end"},
        {"image cut", [](auto& f) { StoreLe32(&f[6 + 16 + 8], LoadLe32(&f[6 + 16 + 8]) - 1); }, "has image 2 cut short"},
        {"PNG", [](auto& f) { StoreLe32(&f[kImage1], 0x474E5089); }, "has image 1 compressed as PNG"},
        {"other header", [](auto& f) { StoreLe32(&f[kImage1], 12); }, "has image 1 without a bitmap header"},
        {"8 bits", [](auto& f) { f[kImage1 + 14] = 8; }, "has image 1 that is not a 32-bit uncompressed bitmap"},
        {"compressed", [](auto& f) { f[kImage1 + 16] = 3; }, "has image 1 that is not a 32-bit"},
        {"palette", [](auto& f) { f[kImage1 + 32] = 1; }, "has image 1 that is not a 32-bit"},
        {"other size", [](auto& f) { f[kImage1 + 4] = 17; }, "has image 1 of 17 x 16 pixels where the directory says 16 x 16"},
    };
    for (const auto& [what, edit, error] : cases) {
        std::vector<uint8_t> file = IcoFile({16, 32});
        edit(file);
        const IconFile read = ReadIconFile(file);
        EXPECT_TRUE(read.error.starts_with(error)) << what << ": " << read.error;
        EXPECT_TRUE(read.images.empty()) << what;
    }
    const IconFile good = ReadIconFile(IcoFile({16, 32}));
    ASSERT_EQ((std::tuple{good.error, good.images.size()}), (std::tuple{"", 2u}));
    EXPECT_EQ((std::tuple{good.images[1].width, good.images[1].bytes.size()}), (std::tuple{32, 40u + 32 * 32 * 4 + 32 * 4}));
    // The platform reads the images the compiler keeps, and refuses one cut short.
    const std::vector<uint8_t>& image = good.images[1].bytes;
    EXPECT_TRUE(ReadIconImage(image.data(), image.size()) && !ReadIconImage(image.data(), image.size() - 1));
}

// Scripts with icons, compiled; the resources they make register with the platform.
class Icons : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const fs::path dir = TestRoot() / "icons";
        fs::create_directories(dir);
        const std::vector<uint8_t> ico = IcoFile({16, 32, 48});
        std::ofstream(dir / "three.ico", std::ios::binary).write(reinterpret_cast<const char*>(ico.data()), std::streamsize(ico.size()));
        std::ofstream(dir / "script.rc") << "7 ICON \"three.ico\"\nNamed ICON \"three.ico\"\n";
        Lexer lexer((dir / "script.rc").string(), {});
        for (const Resource& r : CompileScript(lexer).resources)
            Register(MAKEINTRESOURCEW(r.type.number), r.name.name.empty() ? MAKEINTRESOURCEW(r.name.number) : Name(r.name.name), r.bytes);
    }

    static LPCWSTR Name(const std::u16string& name) { return s_names.emplace_back(name).c_str(); }

    static void Register(LPCWSTR type, LPCWSTR name, std::vector<uint8_t> bytes)
    {
        const std::vector<uint8_t>& kept = s_bytes.emplace_back(std::move(bytes));
        const ResourceEntry& entry = s_entries.emplace_back(ResourceEntry{type, name, kept.data(), DWORD(kept.size())});
        RegisterResources(&entry, 1);
    }

    static HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

    static inline std::deque<std::u16string> s_names;
    static inline std::deque<std::vector<uint8_t>> s_bytes;
    static inline std::deque<ResourceEntry> s_entries;
};

TEST_F(Icons, ScriptsNumberTheImagesOnAndRefuseIconTypesFromFiles)
{
    const fs::path dir = TestRoot() / "icons";
    std::ofstream(dir / "two.rc") << "1 ICON \"three.ico\"\n2 ICON \"three.ico\"\n";
    Lexer lexer((dir / "two.rc").string(), {});
    const CompiledScript compiled = CompileScript(lexer);
    ASSERT_EQ(compiled.resources.size(), 8u);
    // The second group's first image follows the first file's three.
    EXPECT_EQ(
        (std::tuple{compiled.resources[4].type.number, LoadLe16(&compiled.resources[4].bytes[6 + 12]), compiled.resources[7].name.number}),
        (std::tuple{14, 4, 6}));

    const std::pair<const char*, const char*> cases[] = {
        {"1 ICON \"absent.ico\"\n", "cannot read \"absent.ico\""},
        {"1 ICON \"script.rc\"\n", "\"script.rc\" is not an icon file"},
        {"1 ICON three.ico\n", "expected a file name in quotes"},
        {"1 3 \"three.ico\"\n", "resources of type 3 come from ICON"},
        {"1 14 \"three.ico\"\n", "resources of type 14 come from ICON"},
        {"1 ICON \"three.ico\"\n1 ICON \"three.ico\"\n", "resource 14 1 is already defined"},
    };
    for (const auto& [script, error] : cases) {
        std::ofstream(dir / "bad.rc") << script;
        try {
            Lexer bad((dir / "bad.rc").string(), {});
            CompileScript(bad);
            ADD_FAILURE() << "no error for " << script;
        } catch (const ScriptError& e) {
            EXPECT_TRUE(e.message.starts_with(error)) << script << ": " << e.message;
        }
    }
}

TEST_F(Icons, LoadTheImageNearestTheSizeAskedFor)
{
    const std::tuple<int, int, int> cases[] = {{16, 16, 16}, {20, 20, 32}, {32, 32, 32}, {0, 0, 32}, {33, 16, 48}, {64, 64, 48}};
    for (const auto& [cx, cy, side] : cases) {
        HICON icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(7), IMAGE_ICON, cx, cy, 0));
        const auto pixels = IconPixelsOf(icon);
        ASSERT_TRUE(pixels) << cx;
        // Top-down rows: the pixel at (3, 1) comes from the second row from the top.
        EXPECT_EQ((std::tuple{pixels->width, pixels->height, pixels->argb.at(size_t(side) + 3)}),
                  (std::tuple{side, side, IcoPattern(side, 3, 1)}))
            << cx;
        EXPECT_EQ((std::tuple{DestroyIcon(icon), DestroyIcon(icon), IconPixelsOf(icon) == nullptr}), (std::tuple{TRUE, FALSE, true}));
    }
}

TEST_F(Icons, SharedIconsAreMadeOnceAndOutliveDestroyIcon)
{
    HICON icon = LoadIconW(Instance(), u"named");
    ASSERT_TRUE(icon);
    EXPECT_EQ((std::vector<HANDLE>{LoadIconW(Instance(), u"NAMED"), LoadImageW(Instance(), u"NAMED", IMAGE_ICON, 32, 32, LR_SHARED)}),
              (std::vector<HANDLE>{icon, icon}));
    EXPECT_NE(LoadImageW(Instance(), u"NAMED", IMAGE_ICON, 16, 16, LR_SHARED), icon);
    EXPECT_EQ((std::tuple{DestroyIcon(icon), IconPixelsOf(icon) ? IconPixelsOf(icon)->width : 0}), (std::tuple{TRUE, 32}));
    // The layer has no icons of its own.
    EXPECT_EQ((std::tuple{LoadIconW(nullptr, IDI_APPLICATION), DestroyIcon(nullptr)}), (std::tuple{nullptr, FALSE}));
}

TEST(WindowIcon, WindowsKeepTheIconsTheyAreGiven)
{
    HWND window = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    // Icons are only handles here: 0x10 the big one, 0x20 the small one.
    EXPECT_EQ((std::vector{SendMessageW(window, WM_SETICON, ICON_BIG, 0x10), SendMessageW(window, WM_SETICON, ICON_SMALL, 0x20),
                           SendMessageW(window, WM_SETICON, ICON_BIG, 0), SendMessageW(window, WM_GETICON, ICON_SMALL, 0),
                           SendMessageW(window, WM_GETICON, ICON_BIG, 0)}),
              (std::vector<LRESULT>{0, 0, 0x10, 0x20, 0}));
    DestroyWindow(window);
}

} // namespace
