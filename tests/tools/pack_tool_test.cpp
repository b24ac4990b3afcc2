// quibo-pack as other tools and checks call it: exit status, standard error and files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "deflate_streams.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spill(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes SlurpBytes(const fs::path& path)
{
    std::string s = Slurp(path);
    return Bytes(s.begin(), s.end());
}

ToolRun Pack(const std::string& args)
{
    const fs::path out = TestRoot() / "stdout", err = TestRoot() / "stderr";
    std::string command = std::string(QUIBO_PACK) + " " + args + " >" + out.string() + " 2>" + err.string();
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

std::string P(const std::string& name)
{
    return (TestRoot() / name).string();
}

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

TEST(PackTool, ZZUnpackOfCorruptInputFails)
{
    Spill(P("bad.zz"), {0x10, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    ToolRun run = Pack("zz-unpack " + P("bad.zz") + " " + P("never.bin"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
    EXPECT_FALSE(fs::exists(P("never.bin")));
}

TEST(PackTool, WrongUsageFails)
{
    EXPECT_EQ(Pack("").status, 1);
    EXPECT_EQ(Pack("zz-pack onlyone").status, 1);
    EXPECT_EQ(Pack("frobnicate a b").status, 1);
    ToolRun missing = Pack("zz-pack " + P("missing") + " " + P("x"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("missing"), std::string::npos);
}

} // namespace
