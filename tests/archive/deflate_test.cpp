#include "deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "cetl/exception.h"
#include "deflate_streams.h"

namespace {

const char* const kReadPastEnd = "unzip read past end of stream";
const char* const kInvalidLookback = "unzip encountered invalid lookback index";
const char* const kCannotDeflate = "unable to deflate .ZIP file content";

struct Decoded {
    bool ok;
    std::string message;
    Bytes out;
};

// The output vector holds exactly `capacity` bytes, so any write past it is caught.
Decoded Decode(const Bytes& stream, size_t capacity)
{
    Bytes out(capacity);
    DWORD cb = 0xDEADBEEF;
    try {
        Inflate(out.data(), DWORD(capacity), &cb, stream.data(), DWORD(stream.size()));
    } catch (const cetl::exception& e) {
        return {false, e.what(), {}};
    }
    out.resize(cb);
    return {true, "", out};
}

// A code-length code that can send every length and every repeat: 13 codes of 4 bits, 6 of 5.
const Code& LengthsCode()
{
    static const Code code({4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5});
    return code;
}

const int kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct LengthOp {
    int symbol;
    int extra = 0;
};

// Starts a final dynamic block whose code lengths are sent as the given symbols.
void DynamicHeader(BitWriter& w, int cLitLen, int cDist, const std::vector<LengthOp>& ops)
{
    w.Bits(1, 1);
    w.Bits(2, 2);
    w.Bits(cLitLen - 257, 5);
    w.Bits(cDist - 1, 5);
    w.Bits(19 - 4, 4);
    for (int symbol : kCodeLengthOrder)
        w.Bits(LengthsCode().lengths[symbol], 3);
    for (const LengthOp& op : ops) {
        LengthsCode().Put(w, op.symbol);
        if (op.symbol >= 16)
            w.Bits(op.extra, op.symbol == 16 ? 2 : op.symbol == 17 ? 3 : 7);
    }
}

std::vector<LengthOp> Plain(const std::vector<int>& lengths)
{
    std::vector<LengthOp> ops;
    for (int l : lengths)
        ops.push_back({l});
    return ops;
}

std::vector<int> Lengths(size_t count, std::initializer_list<std::pair<int, int>> present)
{
    std::vector<int> lengths(count, 0);
    for (auto [symbol, length] : present)
        lengths[symbol] = length;
    return lengths;
}

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A final fixed block: one literal, then a match of `length` at `distance` symbols.
Bytes FixedLiteralsAndMatch(const std::string& literals, int lengthSymbol, int distSymbol)
{
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    for (char c : literals)
        FixedLitLen().Put(w, uint8_t(c));
    FixedLitLen().Put(w, lengthSymbol);
    FixedDist().Put(w, distSymbol);
    FixedLitLen().Put(w, 256);
    return w.Finish();
}

Bytes MixedData()
{
    Bytes data = TextLikeData(150000);
    Bytes noise = RandomData(40000);
    data.insert(data.begin() + 60000, noise.begin(), noise.end());
    data.insert(data.end(), 5000, 'x');
    return data;
}

TEST(Inflate, DecodesZlibStreamsAtEveryLevel)
{
    const Bytes data = MixedData();
    for (int level = 0; level <= 9; ++level) {
        Decoded d = Decode(ZlibDeflate(data, level), data.size());
        ASSERT_TRUE(d.ok) << "level " << level << ": " << d.message;
        EXPECT_EQ(d.out, data) << "level " << level;
    }
}

TEST(Inflate, DecodesFixedRunLengthAndHuffmanOnlyStreams)
{
    const Bytes data = MixedData();
    for (int strategy : {Z_FIXED, Z_RLE, Z_HUFFMAN_ONLY, Z_FILTERED}) {
        Decoded d = Decode(ZlibDeflate(data, 6, strategy), data.size() + 1024);
        ASSERT_TRUE(d.ok) << "strategy " << strategy << ": " << d.message;
        EXPECT_EQ(d.out, data) << "strategy " << strategy;
    }
    const Bytes empty;
    Decoded d = Decode(ZlibDeflate(empty, 9), 0);
    ASSERT_TRUE(d.ok);
    EXPECT_TRUE(d.out.empty());
}

TEST(Inflate, StoredBlocksAndBlockTypeThree)
{
    Decoded empty = Decode({0x01, 0x00, 0x00, 0xFF, 0xFF}, 16);
    ASSERT_TRUE(empty.ok) << empty.message;
    EXPECT_EQ(empty.out.size(), 0u);
    EXPECT_TRUE(Decode({0x01, 0x02, 0x00, 0xFD, 0xFF, 'h', 'i'}, 16).ok);
    EXPECT_EQ(Decode({0x01, 0x02, 0x00, 0xFC, 0xFF, 'h', 'i'}, 16).message, kCannotDeflate);
    EXPECT_EQ(Decode({0x01, 0x02, 0x00, 0xFD, 0xFF, 'h'}, 16).message, kReadPastEnd);
    EXPECT_EQ(Decode({0x07, 0x00}, 16).message, kCannotDeflate);
}

TEST(Inflate, DistanceOneRepeatsTheLastByte)
{
    Bytes stream = FixedLiteralsAndMatch("a", 285, 0);
    Decoded d = Decode(stream, 259);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.out, Bytes(259, 'a'));
    Bytes reference;
    ASSERT_TRUE(ZlibInflate(stream, reference));
    EXPECT_EQ(reference, d.out);
}

TEST(Inflate, MatchMayReachBackToTheFirstByteButNoFurther)
{
    Decoded d = Decode(FixedLiteralsAndMatch("abc", 257, 2), 64); // length 3, distance 3
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "abcabc");
    EXPECT_EQ(Decode(FixedLiteralsAndMatch("abc", 257, 3), 64).message, kInvalidLookback); // distance 4
}

TEST(Inflate, TruncatedStreamsReadPastTheEnd)
{
    const Bytes data = TextLikeData(1200);
    for (int level : {0, 1, 9}) {
        Bytes stream = ZlibDeflate(data, level);
        for (size_t n = 0; n < stream.size(); ++n) {
            Bytes prefix(stream.begin(), stream.begin() + n);
            ASSERT_EQ(Decode(prefix, data.size()).message, kReadPastEnd) << "level " << level << ", " << n << " bytes";
        }
    }
}

TEST(Inflate, ZeroRunMayCrossFromLiteralToDistanceLengths)
{
    // Literal/length code: 'A' 1 bit, end of block and length 3 (257) 2 bits each, 286 lengths;
    // distance code: only symbol 1 (distance 2). The run of 29 zeros covers lengths 258..285
    // and the first distance length.
    BitWriter w;
    DynamicHeader(w, 286, 2, {{18, 54}, {1}, {18, 127}, {18, 41}, {2}, {2}, {18, 18}, {1}});
    const Code litLen(Lengths(286, {{'A', 1}, {256, 2}, {257, 2}}));
    const Code dist(Lengths(2, {{1, 1}}));
    litLen.Put(w, 'A');
    litLen.Put(w, 'A');
    litLen.Put(w, 257);
    dist.Put(w, 1);
    litLen.Put(w, 256);
    Bytes stream = w.Finish();

    Decoded d = Decode(stream, 5);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(std::string(d.out.begin(), d.out.end()), "AAAAA");
    Bytes reference;
    ASSERT_TRUE(ZlibInflate(stream, reference));
    EXPECT_EQ(reference, d.out);
}

// Streams no sound encoder writes: each must fail cleanly, as zlib's own decoder agrees.
TEST(Inflate, MalformedDynamicBlocksAreRefused)
{
    const std::vector<int> litLen = Lengths(257, {{'A', 1}, {256, 1}});
    const std::vector<int> dist = {1};
    std::vector<Bytes> streams;
    {   // a repeat with no previous length
        BitWriter w;
        DynamicHeader(w, 257, 1, {{16, 0}});
        streams.push_back(w.Finish());
    }
    {   // a zero run past the last length
        BitWriter w;
        DynamicHeader(w, 257, 1, {{18, 127}, {18, 108}, {17, 0}});
        streams.push_back(w.Finish());
    }
    {   // an over-full literal/length code
        BitWriter w;
        DynamicHeader(w, 257, 1, Plain(Concat(Lengths(257, {{'A', 1}, {'B', 1}, {256, 1}}), dist)));
        streams.push_back(w.Finish());
    }
    {   // distance symbol 30, which has no distance
        BitWriter w;
        const std::vector<int> lengths = Lengths(258 + 32, {{'A', 1}, {256, 2}, {257, 2}, {258 + 0, 1}, {258 + 30, 1}});
        DynamicHeader(w, 258, 32, Plain(lengths));
        const Code lit(std::vector<int>(lengths.begin(), lengths.begin() + 258));
        const Code d(std::vector<int>(lengths.begin() + 258, lengths.end()));
        lit.Put(w, 'A');
        lit.Put(w, 257);
        d.Put(w, 30);
        lit.Put(w, 256);
        streams.push_back(w.Finish());
    }
    {   // literal/length symbol 286
        BitWriter w;
        std::vector<int> lit = Lengths(288, {{'A', 1}, {256, 2}, {286, 2}});
        DynamicHeader(w, 288, 1, Plain(Concat(lit, dist)));
        const Code code(lit);
        code.Put(w, 'A');
        code.Put(w, 286);
        code.Put(w, 256);
        streams.push_back(w.Finish());
    }
    for (size_t i = 0; i < streams.size(); ++i) {
        Bytes reference;
        EXPECT_FALSE(ZlibInflate(streams[i], reference)) << "stream " << i;
        EXPECT_EQ(Decode(streams[i], 1024).message, kCannotDeflate) << "stream " << i;
    }
}

TEST(Inflate, DecodesAgainAfterAFailedCall)
{
    const Bytes data = TextLikeData(20000);
    Bytes stream = ZlibDeflate(data, 9);
    Bytes broken(stream.begin(), stream.begin() + stream.size() / 2);
    EXPECT_EQ(Decode(broken, data.size()).message, kReadPastEnd);
    Decoded d = Decode(stream, data.size());
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.out, data);
    EXPECT_EQ(Decode({0x07}, 16).message, kCannotDeflate);
    d = Decode(ZlibDeflate(data, 6, Z_FIXED), data.size());
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.out, data);
}

TEST(Inflate, StopsAtTheCapacityInsteadOfWritingPastIt)
{
    const Bytes data = TextLikeData(5000);
    for (int level : {0, 1, 9}) {
        Bytes stream = ZlibDeflate(data, level);
        EXPECT_TRUE(Decode(stream, data.size()).ok) << "level " << level;
        EXPECT_EQ(Decode(stream, data.size() - 1).message, kCannotDeflate) << "level " << level;
        EXPECT_EQ(Decode(stream, 0).message, kCannotDeflate) << "level " << level;
    }
    Bytes repeat = FixedLiteralsAndMatch("a", 285, 0);
    EXPECT_EQ(Decode(repeat, 258).message, kCannotDeflate);
    EXPECT_EQ(Decode(repeat, 1).message, kCannotDeflate);
}

} // namespace
