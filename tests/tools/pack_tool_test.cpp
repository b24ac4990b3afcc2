// quibo-pack as other tools and checks call it: exit status, standard error and files.
#include "deflate_streams.h"
#include "pack_run.h"
#include "test_env.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(PackTool, ZZFilesRoundTrip)
{
    const Bytes data = TextLikeData(70000);
    Spill("in.bin", data);
    ASSERT_EQ(Pack("zz-pack in.bin in.zz").status, 0);
    const ToolRun unpack = Pack("zz-unpack in.zz out.bin");
    ASSERT_EQ(unpack.status, 0) << unpack.err;
    EXPECT_EQ(Slurp("out.bin"), Text(data));
    EXPECT_LT(Slurp("in.zz").size(), data.size());
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
    const ToolRun list = Pack("zip-list pack.res");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "common/\t0\t0\t0\ncommon/image.zz\t0\t5000\t5000\nempty\t0\t0\t0\nlayout.txt\t0\t900\t900\n");
    ASSERT_EQ(Pack("zip-extract pack.res COMMON/Image.ZZ out.zz").status, 0);
    EXPECT_EQ(Slurp("out.zz"), Text(image));
    // Same files, same bytes: the entries carry a fixed time.
    const std::string first = Slurp("pack.res");
    ASSERT_EQ(Pack(create).status, 0);
    EXPECT_EQ(Slurp("pack.res"), first);

    const Bytes text = TextLikeData(40000);
    Spill("big.txt", text);
    ASSERT_EQ(std::system(("cd " + TestRoot().string() + " && zip -q -9 -X deflated.zip big.txt").c_str()), 0);
    EXPECT_EQ(Pack("zip-list deflated.zip").out.rfind("big.txt\t8\t", 0), 0u);
    ASSERT_EQ(Pack("zip-extract deflated.zip big.txt big.out").status, 0);
    EXPECT_EQ(Slurp("big.out"), Text(text));
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
        EXPECT_FALSE(Exists("never")) << args;
    }
}

} // namespace
