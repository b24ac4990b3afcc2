#include "deflate_streams.h"
#include "little_endian.h"
#include "memmgr_diag.h"

#include "winbase.h"

#include <gtest/gtest.h>
#include <lzo1x.h>

namespace {

TEST(ZZ, TheSizeFieldIsLittleEndianAndOnlySizesTheBuffer)
{
    EXPECT_EQ(ZZPacked({}), (Bytes{0, 0, 0, 0, 0x11, 0x00, 0x00})); // the size, then the end marker
    for (const Bytes& data : {Bytes{}, RandomData(1 << 20)}) // noise grows in packing
        EXPECT_EQ(ZZUnpacked(ZZPacked(data)), data) << data.size();
    const Bytes data = TextLikeData(4096);
    Bytes packed = ZZPacked(data);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));
    StoreLe16(&packed[0], 0x0C18); // a thousand bytes less, within the slack
    EXPECT_EQ(ZZUnpacked(packed), data);
}

TEST(ZZ, ShortDamagedOrOverlongStreamsFail)
{
    const Bytes packed = ZZPacked(TextLikeData(6000));
    Bytes noise = ZZPacked(RandomData(20000));
    noise[0] = noise[1] = noise[2] = noise[3] = 0; // more than a buffer of 1043 bytes takes
    Bytes trailing = packed;
    trailing.push_back(0);
    // The library's result code is left as the thread's last error.
    std::vector<std::pair<Bytes, int>> cases = {{noise, LZO_E_OUTPUT_OVERRUN}, {trailing, LZO_E_INPUT_NOT_CONSUMED}};
    for (size_t n = 5; n < packed.size(); n += 7)
        cases.emplace_back(Bytes(packed.begin(), packed.begin() + n), LZO_E_INPUT_OVERRUN);
    for (size_t i = 0; i < cases.size(); ++i) {
        SetLastError(0);
        EXPECT_EQ(ZZUnpacked(cases[i].first), std::nullopt) << "case " << i << ", " << cases[i].first.size() << " bytes";
        EXPECT_EQ(LONG(GetLastError()), cases[i].second) << "case " << i;
    }
    // Input of the size field or less fails before any output buffer is asked for.
    static int asked = 0;
    const MemRefuseHook previous = SetMemRefuseHook([](size_t, const char* label) {
        asked += label == std::string("*pcbOut");
        return false;
    });
    for (const Bytes& tooShort : {Bytes{}, Bytes{0, 0, 0}, Bytes{0xFF, 0xFF, 0xFF, 0x7F}})
        EXPECT_EQ(ZZUnpacked(tooShort), std::nullopt);
    SetMemRefuseHook(previous);
    EXPECT_EQ(asked, 0);
}

} // namespace
