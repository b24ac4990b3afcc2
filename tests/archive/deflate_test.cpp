#include "deflate.h"

#include "cetl/exception.h"
#include "deflate_streams.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

const std::string kReadPastEnd = "unzip read past end of stream";
const std::string kCannotDeflate = "unable to deflate .ZIP file content";

// "=" and the decoded bytes, or the error message; the output holds exactly `capacity` bytes,
// so any write past it is caught.
std::string Decode(const Bytes& stream, size_t capacity)
{
    Bytes out(capacity);
    DWORD cb = 0;
    try {
        Inflate(out.data(), DWORD(capacity), &cb, stream.data(), DWORD(stream.size()));
    } catch (const cetl::exception& e) {
        return e.what();
    }
    return "=" + std::string(out.begin(), out.begin() + cb);
}

const auto Ok = [](const Bytes& data) -> std::string { return "=" + std::string(data.begin(), data.end()); };

std::vector<int> Lengths(size_t count, std::initializer_list<std::pair<int, int>> present)
{
    std::vector<int> lengths(count, 0);
    for (auto [symbol, length] : present)
        lengths[symbol] = length;
    return lengths;
}

// Starts a final dynamic block whose code lengths are sent as the given code-length symbols,
// each with its extra bits, in a code that can send every one: 13 codes of 4 bits, 6 of 5.
BitWriter DynamicHeader(int cLitLen, int cDist, const std::vector<std::pair<int, int>>& ops)
{
    static const Code lengthsCode({4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5});
    BitWriter w;
    w.Bits(1 | 2 << 1 | (cLitLen - 257) << 3 | (cDist - 1) << 8 | (19 - 4) << 13, 17);
    for (int symbol : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15})
        w.Bits(lengthsCode.lengths[symbol], 3);
    for (auto [symbol, extra] : ops) {
        lengthsCode.Put(w, symbol);
        w.Bits(extra, symbol == 16 ? 2 : symbol == 17 ? 3 : symbol == 18 ? 7 : 0);
    }
    return w;
}

// A dynamic block sending `lengths` plainly, then `symbols` (at or above `cLitLen`: distances).
Bytes DynamicBlock(const std::vector<int>& lengths, int cLitLen, const std::vector<int>& symbols)
{
    std::vector<std::pair<int, int>> ops;
    for (int l : lengths)
        ops.push_back({l, 0});
    BitWriter w = DynamicHeader(cLitLen, int(lengths.size()) - cLitLen, ops);
    const Code lit(std::vector<int>(lengths.begin(), lengths.begin() + cLitLen));
    const Code dist(std::vector<int>(lengths.begin() + cLitLen, lengths.end()));
    for (int s : symbols)
        s >= cLitLen ? dist.Put(w, s - cLitLen) : lit.Put(w, s);
    return w.Finish();
}

// A final fixed block: the literals, then one match and the end of the block.
Bytes FixedLiteralsAndMatch(const std::string& literals, int lengthSymbol, int distSymbol)
{
    BitWriter w;
    w.Bits(3, 3);
    for (char c : literals)
        FixedLitLen().Put(w, uint8_t(c));
    FixedLitLen().Put(w, lengthSymbol);
    FixedDist().Put(w, distSymbol);
    FixedLitLen().Put(w, 256);
    return w.Finish();
}

// zlib's streams of every level and strategy decode whole; one byte less room, or any prefix
// of the stream, is refused, and the next call still decodes.
TEST(Inflate, DecodesZlibStreamsAndRefusesTooLittleRoomOrATruncation)
{
    Bytes data = TextLikeData(150000);
    const Bytes noise = RandomData(40000);
    data.insert(data.begin() + 60000, noise.begin(), noise.end());
    data.insert(data.end(), 5000, 'x');
    for (int level = 0; level <= 9; ++level)
        EXPECT_EQ(Decode(ZlibDeflate(data, level), data.size()), Ok(data)) << "level " << level;
    for (int strategy : {Z_FIXED, Z_RLE, Z_HUFFMAN_ONLY, Z_FILTERED})
        EXPECT_EQ(Decode(ZlibDeflate(data, 6, strategy), data.size() + 1024), Ok(data)) << "strategy " << strategy;
    EXPECT_EQ(Decode(ZlibDeflate({}, 9), 0), "=");

    const Bytes text = TextLikeData(1200);
    for (int level : {0, 1, 9}) {
        SCOPED_TRACE(level);
        const Bytes stream = ZlibDeflate(text, level);
        EXPECT_EQ(Decode(stream, text.size() - 1) + Decode(stream, 0), kCannotDeflate + kCannotDeflate);
        for (size_t n = 0; n < stream.size(); ++n)
            ASSERT_EQ(Decode(Bytes(stream.begin(), stream.begin() + n), text.size()), kReadPastEnd) << n << " bytes";
        EXPECT_EQ(Decode(ZlibDeflate(text, 6, Z_FIXED), text.size()), Ok(text));
    }
}

TEST(Inflate, HandMadeStreamsDecodeOrAreRefusedWithTheirReason)
{
    std::vector<int> overfull = Lengths(258, {{'A', 1}, {'B', 1}, {256, 1}});
    overfull.back() = 1; // the one distance length
    std::vector<int> symbol286 = Lengths(289, {{'A', 1}, {256, 2}, {286, 2}});
    symbol286.back() = 1;
    // A 29-zero run covers literal/length lengths 258..285 and the first distance length.
    BitWriter crossing = DynamicHeader(286, 2, {{18, 54}, {1, 0}, {18, 127}, {18, 41}, {2, 0}, {2, 0}, {18, 18}, {1, 0}});
    const Code litLen(Lengths(286, {{'A', 1}, {256, 2}, {257, 2}}));
    for (int s : std::vector<int>{'A', 'A', 257})
        litLen.Put(crossing, s);
    Code(Lengths(2, {{1, 1}})).Put(crossing, 1);
    litLen.Put(crossing, 256);
    // The last lengths are one repeat of three, one past the end: end-of-block, one distance, and one more.
    BitWriter repeatPast = DynamicHeader(257, 1, {{18, 127}, {18, 106}, {1, 0}, {16, 0}});
    Code(Lengths(257, {{255, 1}, {256, 1}})).Put(repeatPast, 256);
    const std::tuple<const char*, Bytes, size_t, std::string> cases[] = {
        {"stored block past the room", {0x01, 0x02, 0x00, 0xFD, 0xFF, 'h', 'i'}, 1, kCannotDeflate},
        {"stored length not matching its complement", {0x01, 0x02, 0x00, 0xFC, 0xFF, 'h', 'i'}, 16, kCannotDeflate},
        {"block type three", {0x07, 0x00}, 16, kCannotDeflate},
        {"a match reaching back to the first byte", FixedLiteralsAndMatch("abc", 257, 2), 64, "=abcabc"},
        {"a match reaching before the first byte", FixedLiteralsAndMatch("abc", 257, 3), 64, "unzip encountered invalid lookback index"},
        {"a match one byte past the room", FixedLiteralsAndMatch("a", 285, 0), 258, kCannotDeflate},
        {"a literal past the room", FixedLiteralsAndMatch("ab", 285, 0), 1, kCannotDeflate},
        {"a stored block cut short", {0x01, 0x02, 0x00, 0xFD, 0xFF, 'h'}, 16, kReadPastEnd},
        {"a zero run from literal into distance lengths", crossing.Finish(), 5, "=AAAAA"},
        {"a repeat with no previous length", DynamicHeader(257, 1, {{16, 0}}).Finish(), 1024, kCannotDeflate},
        {"a repeat one past the last length", repeatPast.Finish(), 1024, kCannotDeflate},
        {"an over-full literal/length code", DynamicBlock(overfull, 257, {}), 1024, kCannotDeflate},
        {"literal/length symbol 286", DynamicBlock(symbol286, 288, {'A', 286, 256}), 1024, kCannotDeflate},
        {"distance symbol 30",
         DynamicBlock(Lengths(258 + 32, {{'A', 1}, {256, 2}, {257, 2}, {258, 1}, {258 + 30, 1}}), 258, {'A', 257, 258 + 30, 256}), 1024,
         kCannotDeflate},
    };
    for (const auto& [name, stream, capacity, result] : cases)
        EXPECT_EQ(Decode(stream, capacity), result) << name;
}

} // namespace
