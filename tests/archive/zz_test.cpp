#include "zz.h"

#include "deflate_streams.h"

#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace {

using Coder = bool (*)(BYTE**, DWORD*, const BYTE*, DWORD);

// The coder's output, or nothing when it fails.
std::optional<Bytes> Coded(Coder coder, const Bytes& in)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!coder(&pb, &cb, in.data(), DWORD(in.size())))
        return std::nullopt;
    Bytes out(pb, pb + cb);
    ZZFree(pb);
    return out;
}

Bytes Packed(const Bytes& in)
{
    return Coded(ZZCompress, in).value();
}

TEST(ZZ, RoundTripsAtTheInterestingSizes)
{
    for (size_t cb : {size_t(0), size_t(1), size_t(5120), size_t(5121), size_t(1) << 20})
        for (const Bytes& data : {TextLikeData(cb), RandomData(cb)})
            EXPECT_EQ(Coded(ZZDecompress, Packed(data)), data) << cb;
}

TEST(ZZ, TheSizeFieldIsLittleEndianAndOnlySizesTheBuffer)
{
    EXPECT_EQ(Packed({}), (Bytes{0, 0, 0, 0, 0x11, 0x00, 0x00})); // the size, then the end marker
    EXPECT_EQ(Coded(ZZDecompress, Packed({})), Bytes{});
    const Bytes data = TextLikeData(4096);
    Bytes packed = Packed(data);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));
    packed[0] = 0x18; // a thousand bytes less, within the slack
    packed[1] = 0x0C;
    EXPECT_EQ(Coded(ZZDecompress, packed), data);
}

TEST(ZZ, DamagedStreamsFail)
{
    const Bytes packed = Packed(TextLikeData(6000));
    Bytes noise = Packed(RandomData(20000));
    noise[0] = noise[1] = noise[2] = noise[3] = 0; // a buffer of 1043 bytes
    Bytes trailing = packed;
    trailing.push_back(0);
    const struct {
        const char* name;
        Bytes stream;
    } cases[] = {
        {"nothing", {}},
        {"three bytes", {0, 0, 0}},
        {"the size alone", {0, 0, 0, 0}},
        {"more than the buffer takes", noise},
        {"a trailing byte", trailing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Coded(ZZDecompress, c.stream), std::nullopt) << c.name;
    for (size_t n = 5; n < packed.size(); n += 7)
        ASSERT_EQ(Coded(ZZDecompress, Bytes(packed.begin(), packed.begin() + n)), std::nullopt) << n;
}

TEST(ZZ, TwoThreadsPackingAtOnceBothSucceed)
{
    auto work = [](uint32_t seed, bool* ok) {
        for (int i = 0; i < 40; ++i) {
            const Bytes data = TextLikeData(20000 + 1000 * i, seed + i);
            const std::optional<Bytes> packed = Coded(ZZCompress, data);
            *ok = *ok && packed && Coded(ZZDecompress, *packed) == data;
        }
    };
    bool ok1 = true, ok2 = true;
    std::thread t1(work, 100, &ok1), t2(work, 200, &ok2);
    t1.join();
    t2.join();
    EXPECT_TRUE(ok1 && ok2);
}

} // namespace
