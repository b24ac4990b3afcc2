// Our plain inflate against zlib's, and the ".zz" unpacker, on 1 MiB of text-like data.
#include "deflate.h"
#include "deflate_streams.h"
#include "zz.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

const size_t kSize = 1 << 20;

const Bytes& Data()
{
    static const Bytes data = TextLikeData(kSize);
    return data;
}

const Bytes& Deflated()
{
    static const Bytes stream = ZlibDeflate(Data(), 6);
    return stream;
}

void BM_Inflate(benchmark::State& state)
{
    const Bytes& stream = Deflated();
    Bytes out(kSize);
    for (auto _ : state) {
        DWORD cb = 0;
        Inflate(out.data(), DWORD(out.size()), &cb, stream.data(), DWORD(stream.size()));
        benchmark::DoNotOptimize(cb);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_Inflate)->Unit(benchmark::kMillisecond);

void BM_ZlibInflate(benchmark::State& state)
{
    const Bytes& stream = Deflated();
    Bytes out(kSize);
    for (auto _ : state) {
        z_stream z{};
        inflateInit2(&z, -15);
        z.next_in = const_cast<Bytef*>(stream.data());
        z.avail_in = uInt(stream.size());
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        benchmark::DoNotOptimize(inflate(&z, Z_FINISH));
        inflateEnd(&z);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);

void BM_ZZDecompress(benchmark::State& state)
{
    BYTE* pbPacked = nullptr;
    DWORD cbPacked = 0;
    if (!ZZCompress(&pbPacked, &cbPacked, Data().data(), DWORD(kSize))) {
        state.SkipWithError("ZZCompress failed");
        return;
    }
    for (auto _ : state) {
        BYTE* pb = nullptr;
        DWORD cb = 0;
        benchmark::DoNotOptimize(ZZDecompress(&pb, &cb, pbPacked, cbPacked));
        ZZFree(pb);
    }
    ZZFree(pbPacked);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSize));
}
BENCHMARK(BM_ZZDecompress)->Unit(benchmark::kMillisecond);

} // namespace
