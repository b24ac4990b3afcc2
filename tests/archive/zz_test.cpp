#include "zz.h"

#include <gtest/gtest.h>
#include <lzo1x.h>

#include <thread>

#include "deflate_streams.h"
#include "winbase.h"

namespace {

bool Pack(const Bytes& in, Bytes& out)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!ZZCompress(&pb, &cb, in.data(), DWORD(in.size())))
        return false;
    out.assign(pb, pb + cb);
    ZZFree(pb);
    return true;
}

bool Unpack(const Bytes& in, Bytes& out)
{
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!ZZDecompress(&pb, &cb, in.data(), DWORD(in.size())))
        return false;
    out.assign(pb, pb + cb);
    ZZFree(pb);
    return true;
}

Bytes Packed(const Bytes& in)
{
    Bytes out;
    EXPECT_TRUE(Pack(in, out));
    return out;
}

TEST(ZZ, RoundTripsAtTheInterestingSizes)
{
    for (size_t cb : {size_t(0), size_t(1), size_t(5120), size_t(5121), size_t(1) << 20}) {
        for (const Bytes& data : {TextLikeData(cb), RandomData(cb)}) {
            Bytes packed, unpacked;
            ASSERT_TRUE(Pack(data, packed)) << cb;
            ASSERT_TRUE(Unpack(packed, unpacked)) << cb;
            EXPECT_EQ(unpacked, data) << cb;
        }
    }
}

TEST(ZZ, SizeFieldIsLittleEndianAndNeverEnoughAlone)
{
    EXPECT_EQ(Packed({}), (Bytes{0, 0, 0, 0, 0x11, 0x00, 0x00})); // the size, then the end marker
    Bytes unpacked{1, 2, 3};
    ASSERT_TRUE(Unpack(Packed({}), unpacked));
    EXPECT_TRUE(unpacked.empty());
    Bytes packed = Packed(TextLikeData(4096));
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));
    EXPECT_FALSE(Unpack({}, unpacked));
    EXPECT_FALSE(Unpack({0, 0, 0}, unpacked));
    EXPECT_FALSE(Unpack({0, 0, 0, 0}, unpacked));
}

TEST(ZZ, SizeFieldOnlySizesTheBuffer)
{
    const Bytes data = TextLikeData(3000);
    Bytes packed = Packed(data);
    packed[0] = uint8_t(2990 & 0xFF); // ten bytes less, within the slack
    packed[1] = uint8_t(2990 >> 8);
    Bytes unpacked;
    ASSERT_TRUE(Unpack(packed, unpacked));
    EXPECT_EQ(unpacked, data);
}

TEST(ZZ, StreamLargerThanTheBufferIsRefused)
{
    Bytes packed = Packed(RandomData(20000));
    packed[0] = packed[1] = packed[2] = packed[3] = 0; // buffer of 1043 bytes
    SetLastError(0);
    Bytes unpacked;
    EXPECT_FALSE(Unpack(packed, unpacked));
    EXPECT_EQ(GetLastError(), DWORD(LZO_E_OUTPUT_OVERRUN));
}

TEST(ZZ, TruncatedOrTrailingStreamsFailWithTheLibraryResult)
{
    const Bytes data = TextLikeData(6000);
    const Bytes packed = Packed(data);
    Bytes out;
    for (size_t n = 5; n < packed.size(); n += 7) {
        SetLastError(0);
        ASSERT_FALSE(Unpack(Bytes(packed.begin(), packed.begin() + n), out)) << n;
        EXPECT_EQ(LONG(GetLastError()), LZO_E_INPUT_OVERRUN) << n;
    }
    Bytes trailing = packed;
    trailing.push_back(0);
    SetLastError(0);
    EXPECT_FALSE(Unpack(trailing, out));
    EXPECT_EQ(LONG(GetLastError()), LZO_E_INPUT_NOT_CONSUMED);
}

TEST(ZZ, TwoThreadsPackingAtOnceBothSucceed)
{
    auto work = [](uint32_t seed, bool* ok) {
        *ok = true;
        for (int i = 0; i < 40; ++i) {
            Bytes data = TextLikeData(20000 + 1000 * i, seed + i);
            Bytes packed, unpacked;
            *ok = *ok && Pack(data, packed) && Unpack(packed, unpacked) && unpacked == data;
        }
    };
    bool ok1 = false, ok2 = false;
    std::thread t1(work, 100, &ok1);
    std::thread t2(work, 200, &ok2);
    t1.join();
    t2.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
}

} // namespace
