#include "commands.h"
#include "files.h"
#include "zz.h"

#include <cstdint>
#include <limits>

namespace {

using Codec = bool (*)(BYTE**, DWORD*, const BYTE*, DWORD);

void Convert(Codec codec, const char* verb, const Args& args)
{
    const std::string& in = args[0];
    Bytes data = ReadWholeFile(in);
    if (data.size() > std::numeric_limits<DWORD>::max())
        throw CommandError("quibo-pack: " + in + " is too large");
    BYTE* pb = nullptr;
    DWORD cb = 0;
    if (!codec(&pb, &cb, data.data(), DWORD(data.size())))
        throw CommandError("quibo-pack: cannot " + std::string(verb) + " " + in);
    try {
        WriteWholeFile(args[1], pb, cb);
    } catch (...) {
        ZZFree(pb);
        throw;
    }
    ZZFree(pb);
}

} // namespace

void ZZPack(const Args& args)
{
    Convert(ZZCompress, "pack", args);
}

void ZZUnpack(const Args& args)
{
    Convert(ZZDecompress, "unpack", args);
}
