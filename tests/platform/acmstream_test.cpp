#include "pcm_format.h"

#include "windows.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

ACMSTREAMHEADER header(std::vector<BYTE>& in, std::vector<BYTE>& out)
{
    return {sizeof(ACMSTREAMHEADER), 0, 0, in.data(), DWORD(in.size()), 0, 0, out.data(), DWORD(out.size()), 0, 0, {}};
}

// One whole-buffer conversion, as a loader does it; the output is sized by acmStreamSize.
struct Converted {
    MMRESULT result = MMSYSERR_ERROR;
    std::vector<BYTE> bytes;
    DWORD srcUsed = 0;
};

Converted convert(WAVEFORMATEX src, WAVEFORMATEX dst, std::vector<BYTE> input)
{
    Converted c;
    HACMSTREAM stream = nullptr;
    c.result = acmStreamOpen(&stream, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    if (c.result != MMSYSERR_NOERROR)
        return c;
    DWORD cbOut = 0;
    c.result = acmStreamSize(stream, static_cast<DWORD>(input.size()), &cbOut, ACM_STREAMSIZEF_SOURCE);
    if (c.result == MMSYSERR_NOERROR) {
        c.bytes.assign(cbOut, 0xEE);
        ACMSTREAMHEADER h = header(input, c.bytes);
        const MMRESULT prepared = acmStreamPrepareHeader(stream, &h, 0);
        c.result = acmStreamConvert(stream, &h, 0);
        EXPECT_EQ(std::vector<DWORD>({prepared, acmStreamUnprepareHeader(stream, &h, 0), h.cbDstLengthUsed}),
                  std::vector<DWORD>({0, 0, cbOut}));
        c.srcUsed = h.cbSrcLengthUsed;
    }
    EXPECT_EQ(acmStreamClose(stream, 0), MMSYSERR_NOERROR);
    return c;
}

// 16-bit samples, in the host's (little-endian) order.
std::vector<BYTE> samples16(const std::vector<int16_t>& values)
{
    return std::vector<BYTE>(reinterpret_cast<const BYTE*>(values.data()), reinterpret_cast<const BYTE*>(values.data() + values.size()));
}

// A stereo sine of 441 Hz, the same on both channels.
std::vector<int16_t> sine(DWORD rate, int frames)
{
    std::vector<int16_t> out;
    for (int i = 0; i < 2 * frames; ++i)
        out.push_back(static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * 441 * (i / 2) / rate))));
    return out;
}

TEST(AcmStream, ConvertsSampleSizesChannelsAndRatesWholeFramesOnlyKeepingTheWave)
{
    Converted c = convert(pcm(2, 44100, 16), pcm(2, 22050, 16), samples16(sine(44100, 4410)));
    ASSERT_EQ(c.result, MMSYSERR_NOERROR);
    ASSERT_EQ(c.bytes.size(), 2205u * 4);
    // Away from the edges the resampled wave follows the same sine at the new rate.
    for (int i = 100; i < 2100; i += 37) {
        double expected = 16000 * std::sin(2 * M_PI * 441 * i / 22050.0);
        const auto left = static_cast<int16_t>(c.bytes[i * 4] | c.bytes[i * 4 + 1] << 8);
        EXPECT_NEAR(left, expected, 400) << "frame " << i;
        EXPECT_EQ(left, static_cast<int16_t>(c.bytes[i * 4 + 2] | c.bytes[i * 4 + 3] << 8)); // the right channel
    }
    const std::vector<BYTE> sixteen = samples16({0, 16384, -16384, 32767, -32768});
    // SDL's converter scales 8-bit samples by 127/128 on the way through: a step or two off.
    // Source, target, input, output within a tolerance, input used.
    const std::tuple<WAVEFORMATEX, WAVEFORMATEX, std::vector<BYTE>, std::vector<BYTE>, int, DWORD> cases[] = {
        {pcm(1, 22050, 16), pcm(1, 22050, 8), sixteen, {128, 192, 64, 255, 0}, 2, 10},
        {pcm(1, 22050, 8), pcm(2, 22050, 8), {100, 150, 200}, {100, 100, 150, 150, 200, 200}, 3, 3},
        {pcm(2, 22050, 8), pcm(1, 22050, 8), {100, 200, 28, 128}, {150, 78}, 3, 4},
        {pcm(2, 44100, 16), pcm(2, 22050, 8), {0, 0x40, 0, 0x40}, {192, 192}, 64, 4}, // even a single frame
        {pcm(2, 22050, 16), pcm(2, 22050, 8), {1, 2, 3, 4, 5, 6, 7}, {128, 129}, 2, 4}, // a trailing part frame
    };
    for (const auto& [src, dst, input, output, tolerance, srcUsed] : cases) {
        const Converted converted = convert(src, dst, input);
        ASSERT_EQ(std::make_tuple(converted.result, converted.bytes.size(), converted.srcUsed),
                  std::make_tuple(MMSYSERR_NOERROR, output.size(), srcUsed));
        for (size_t i = 0; i < output.size(); ++i)
            EXPECT_NEAR(converted.bytes[i], output[i], tolerance) << i;
    }
}

TEST(AcmStream, RefusesWhatItCannotConvertOrUnpreparedHeadersAndStaysInsideItsSizes)
{
    WAVEFORMATEX target = pcm(1, 22050, 8), adpcm = target;
    adpcm.wFormatTag = 2;
    std::pair<WAVEFORMATEX, WAVEFORMATEX> impossible[] = {
        {adpcm, target},        {pcm(1, 22050, 24), target}, {target, pcm(6, 22050, 16)}, {pcm(1, 0, 8), target},
        {pcm(1, 1, 8), target}, {pcm(1, 999, 8), target},    {pcm(1, 384001, 8), target},
    };
    HACMSTREAM stream = nullptr;
    for (auto& [src, dst] : impossible)
        EXPECT_EQ(acmStreamOpen(&stream, nullptr, &src, &dst, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE) << src.nSamplesPerSec;
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &target, &target, nullptr, 0, 0, ACM_STREAMOPENF_QUERY), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, &target, &target, nullptr, 0, 0, 0x100), MMSYSERR_INVALFLAG);

    WAVEFORMATEX src = pcm(1, 8000, 8), dst = pcm(2, 48000, 16);
    ASSERT_EQ(acmStreamOpen(&stream, nullptr, &src, &dst, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    DWORD toBytes = 0, fromBytes = 0, cb = 0;
    // 4 GB of input would need 96 GB of output: no size fits a DWORD.
    EXPECT_EQ(std::vector<MMRESULT>(
                  {acmStreamSize(stream, 0, &cb, ACM_STREAMSIZEF_SOURCE), acmStreamSize(stream, 0xFFFFFFFF, &cb, ACM_STREAMSIZEF_SOURCE),
                   acmStreamSize(stream, 100, &toBytes, ACM_STREAMSIZEF_SOURCE), toBytes,
                   acmStreamSize(stream, 2400, &fromBytes, ACM_STREAMSIZEF_DESTINATION), fromBytes, acmStreamSize(stream, 100, &cb, 7),
                   acmStreamClose(stream, 0), acmStreamSize(stream, 100, &cb, ACM_STREAMSIZEF_SOURCE)}),
              std::vector<MMRESULT>({ACMERR_NOTPOSSIBLE, ACMERR_NOTPOSSIBLE, MMSYSERR_NOERROR, 2400, MMSYSERR_NOERROR, 100,
                                     MMSYSERR_INVALFLAG, MMSYSERR_NOERROR, MMSYSERR_INVALHANDLE}));
    WAVEFORMATEX from = pcm(1, 11025, 8), to = pcm(1, 22050, 8);
    HACMSTREAM other = nullptr;
    ASSERT_EQ(acmStreamOpen(&other, nullptr, &from, &to, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    std::vector<BYTE> in(1000, 180);
    std::vector<BYTE> out(50); // far less than the 2000 bytes the input makes
    ACMSTREAMHEADER h = header(in, out), small = header(in, out);
    small.cbStruct = 8;
    EXPECT_EQ(
        std::vector<MMRESULT>({acmStreamConvert(other, &h, 0), acmStreamPrepareHeader(other, &h, 0), acmStreamConvert(other, &h, 0),
                               h.cbDstLengthUsed, (h.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE) != 0, acmStreamUnprepareHeader(other, &h, 0),
                               acmStreamUnprepareHeader(other, &h, 0), acmStreamPrepareHeader(other, &small, 0), acmStreamClose(other, 0)}),
        std::vector<MMRESULT>({ACMERR_UNPREPARED, MMSYSERR_NOERROR, MMSYSERR_NOERROR, 50, 1, MMSYSERR_NOERROR, ACMERR_UNPREPARED,
                               MMSYSERR_INVALPARAM, MMSYSERR_NOERROR}));
}

} // namespace
