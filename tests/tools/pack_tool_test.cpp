// quibo-pack as other tools and checks call it: exit status, standard error and files.
#include "deflate_streams.h"
#include "test_env.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

std::string Slurp(const std::string& name)
{
    std::ifstream in(TestRoot() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const auto Spill = [](const std::string& name, const Bytes& bytes) {
    std::ofstream(TestRoot() / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
};

// Runs `quibo-pack ARGS` in the run's folder.
ToolRun Pack(const std::string& args)
{
    const int status = std::system(("cd " + TestRoot().string() + " && " + QUIBO_PACK + " " + args + " >stdout 2>stderr").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp("stdout"), Slurp("stderr")};
}

// A bottom-up 24-bit bitmap file of 140 x 3: a pure blue column, a few shades, then runs
// longer than one run-length code holds.
Bytes Bitmap()
{
    constexpr uint32_t kWidth = 140, kRow = kWidth * 3; // rows need no padding
    Bytes b = {'B', 'M'};
    // File size, reserved, pixel offset; header size, width, height; one plane of 24 bits,
    // no compression, the pixel bytes, no resolution or palette.
    for (uint32_t v : {54 + 3 * kRow, 0u, 54u, 40u, kWidth, 3u, 0x00180001u, 0u, 3 * kRow, 0u, 0u, 0u, 0u})
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
    for (uint32_t row = 0; row < 3; ++row)
        for (uint32_t x = 0; x < kWidth; ++x)
            b.insert(b.end(), {uint8_t(x == 2 ? 255 : row * 40), uint8_t(x == 2 ? 0 : x < 5 ? x * 50 : 250), uint8_t(x == 2 ? 0 : 90)});
    return b;
}

TEST(PackTool, ZipCreateWritesAnArchiveTheZipToolsAcceptAndExtractReadsTheirs)
{
    const Bytes image = RandomData(5000);
    Spill("layout.txt", TextLikeData(900));
    Spill("image.zz", image);
    Spill("nothing", {});
    const std::string create = "zip-create pack.res layout.txt=layout.txt common/= common/image.zz=image.zz empty=nothing";
    ASSERT_EQ(Pack(create).status, 0);
    EXPECT_EQ(std::system(("unzip -tq " + (TestRoot() / "pack.res").string() + " >/dev/null").c_str()), 0);
    EXPECT_EQ(Pack("zip-list pack.res").out, "common/\t0\t0\t0\ncommon/image.zz\t0\t5000\t5000\nempty\t0\t0\t0\nlayout.txt\t0\t900\t900\n");
    ASSERT_EQ(Pack("zip-extract pack.res COMMON/Image.ZZ out.zz").status, 0);
    EXPECT_EQ(Slurp("out.zz"), std::string(image.begin(), image.end()));
    // Same files, same bytes: the entries carry a fixed time.
    const std::string first = Slurp("pack.res");
    ASSERT_EQ(Pack(create).status, 0);
    EXPECT_EQ(Slurp("pack.res"), first);

    const Bytes text = TextLikeData(40000);
    Spill("big.txt", text);
    ASSERT_EQ(std::system(("cd " + TestRoot().string() + " && zip -q -9 -X deflated.zip big.txt").c_str()), 0);
    EXPECT_EQ(Pack("zip-list deflated.zip").out.rfind("big.txt\t8\t", 0), 0u);
    ASSERT_EQ(Pack("zip-extract deflated.zip big.txt big.out").status, 0);
    EXPECT_EQ(Slurp("big.out"), std::string(text.begin(), text.end()));
}

TEST(PackTool, BitmapsSurviveTheWayThroughALayeredImageAndAKeyColourBecomesAMask)
{
    Spill("in.bmp", Bitmap());
    for (const char* compression : {"", "--rle", "--deflate"}) {
        ASSERT_EQ(Pack(std::string("bmp-to-psp in.bmp mid.psp ") + compression).status, 0);
        ASSERT_EQ(Pack("psp-to-bmp mid.psp out.bmp").status, 0);
        EXPECT_EQ(Slurp("out.bmp"), Slurp("in.bmp")) << compression;
    }
    ASSERT_EQ(Pack("bmp-to-psp in.bmp keyed.psp --key 0000FF --deflate").status, 0);
    EXPECT_EQ(Pack("psp-info keyed.psp").out, "width: 140\nheight: 3\nbit depth: 24\nlayers: 1\ntransparent: 000001\ntranslucency: 0\n"
                                              "selection: no\n");
}

TEST(PackTool, FailuresGiveAMessageAndNoOutput)
{
    Spill("bad.zz", {0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    Spill("f", {'x'});
    Spill("notzip", TextLikeData(100));
    Spill("junk.psp", {'P', 'a', 'i', 'n', 't'});
    ASSERT_EQ(Pack("zip-create small.zip a.txt=f").status, 0);
    const std::pair<const char*, const char*> cases[] = {
        {"", "usage:"},
        {"zz-pack onlyone", "usage:"},
        {"frobnicate a b", "usage:"},
        {"zip-create never noequals", "NAME=FILE"},
        {"zip-create never dir/=f", "dir/ takes no FILE"},
        {"zip-create never file=", "no FILE for file"},
        {"zip-create never file=absent", "absent"},
        {"zz-unpack bad.zz never", "bad.zz"},
        {"zz-pack missing never", "missing"},
        {"zip-list notzip", "the file supplied is not a .ZIP file\n"},
        {"zip-extract absent.zip a never", "the .ZIP file specified does not exist\n"},
        {"zip-extract small.zip b.txt never", "b.txt"},
        {"psp-info junk.psp", "junk.psp is not a layered image"},
        {"bmp-to-psp junk.psp never", "junk.psp is not a bitmap"},
        {"psp-to-bmp junk.psp never --transparent blue", "blue is not a colour"},
        {"bmp-to-psp junk.psp never --fast", "unknown option --fast"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = Pack(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(TestRoot() / "never")) << args;
    }
}

} // namespace
