// quibo-pack as other tools and checks call it: exit status, standard error and files.
#include "deflate_streams.h"
#include "pack_run.h"
#include "test_env.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(PackTool, ZZPackAndUnpackRoundTrip)
{
    const Bytes data = TextLikeData(70000);
    Spill(P("in.bin"), data);
    ASSERT_EQ(Pack("zz-pack " + P("in.bin") + " " + P("in.zz")).status, 0);
    ToolRun unpack = Pack("zz-unpack " + P("in.zz") + " " + P("out.bin"));
    ASSERT_EQ(unpack.status, 0) << unpack.err;
    EXPECT_EQ(SlurpBytes(P("out.bin")), data);
    EXPECT_LT(fs::file_size(P("in.zz")), data.size());
}

TEST(PackTool, WrongUsageAndCorruptInputFailWithAMessageAndNoOutput)
{
    Spill(P("bad.zz"), {0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    Spill(P("f"), {'x'});
    for (const std::string& args :
         std::vector<std::string>{"", "zz-pack onlyone", "frobnicate a b", "zip-create " + P("bad.zip") + " noequals",
                                  "zip-create " + P("bad.zip") + " dir/=" + P("f"),
                                  "zip-create " + P("bad.zip") + " file=", "zip-create " + P("bad.zip") + " file=" + P("absent"),
                                  "zz-unpack " + P("bad.zz") + " " + P("never.bin")}) {
        const ToolRun run = Pack(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err, "") << args;
    }
    EXPECT_FALSE(fs::exists(P("never.bin")));
    EXPECT_FALSE(fs::exists(P("bad.zip")));
    EXPECT_NE(Pack("zz-pack " + P("missing") + " " + P("x")).err.find("missing"), std::string::npos);
}

TEST(PackTool, ZipCreateWritesAnArchiveTheZipToolsAccept)
{
    const Bytes layout = TextLikeData(900), image = RandomData(5000);
    Spill(P("layout.txt"), layout);
    Spill(P("image.zz"), image);
    Spill(P("nothing"), {});
    const std::string create = "zip-create " + P("pack.res") + " layout.txt=" + P("layout.txt")
                               + " common/= common/image.zz=" + P("image.zz") + " empty=" + P("nothing");
    ASSERT_EQ(Pack(create).status, 0);
    EXPECT_EQ(std::system(("unzip -tq " + P("pack.res") + " >/dev/null").c_str()), 0);

    ToolRun list = Pack("zip-list " + P("pack.res"));
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "common/\t0\t0\t0\n"
                        "common/image.zz\t0\t5000\t5000\n"
                        "empty\t0\t0\t0\n"
                        "layout.txt\t0\t900\t900\n");

    ASSERT_EQ(Pack("zip-extract " + P("pack.res") + " COMMON/Image.ZZ " + P("out.zz")).status, 0);
    EXPECT_EQ(SlurpBytes(P("out.zz")), image);

    // Same files, same bytes: the entries carry a fixed time.
    const Bytes first = SlurpBytes(P("pack.res"));
    ASSERT_EQ(Pack(create).status, 0);
    EXPECT_EQ(SlurpBytes(P("pack.res")), first);
}

TEST(PackTool, ZipExtractInflatesWhatZipDeflated)
{
    const Bytes text = TextLikeData(40000);
    Spill(P("big.txt"), text);
    const std::string zip = "cd " + TestRoot().string() + " && zip -q -9 -X deflated.zip big.txt";
    ASSERT_EQ(std::system(zip.c_str()), 0);
    ToolRun list = Pack("zip-list " + P("deflated.zip"));
    ASSERT_EQ(list.status, 0);
    EXPECT_EQ(list.out.rfind("big.txt\t8\t", 0), 0u) << list.out;
    ASSERT_EQ(Pack("zip-extract " + P("deflated.zip") + " big.txt " + P("big.out")).status, 0);
    EXPECT_EQ(SlurpBytes(P("big.out")), text);
}

TEST(PackTool, ReaderFailuresGiveTheReadersMessage)
{
    Spill(P("notzip"), TextLikeData(100));
    ToolRun notZip = Pack("zip-list " + P("notzip"));
    EXPECT_EQ(notZip.status, 1);
    EXPECT_EQ(notZip.err, "the file supplied is not a .ZIP file\n");
    ToolRun missing = Pack("zip-extract " + P("absent.zip") + " a " + P("out"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "the .ZIP file specified does not exist\n");

    Spill(P("a.txt"), {'a'});
    ASSERT_EQ(Pack("zip-create " + P("small.zip") + " a.txt=" + P("a.txt")).status, 0);
    ToolRun noEntry = Pack("zip-extract " + P("small.zip") + " b.txt " + P("out"));
    EXPECT_EQ(noEntry.status, 1);
    EXPECT_NE(noEntry.err.find("b.txt"), std::string::npos);
    EXPECT_FALSE(fs::exists(P("out")));
}

} // namespace
