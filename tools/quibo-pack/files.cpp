#include "files.h"

#include <fstream>
#include <iterator>

Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CommandError("quibo-pack: cannot open " + path);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw CommandError("quibo-pack: cannot read " + path);
    return bytes;
}

void WriteWholeFile(const std::string& path, const uint8_t* pb, size_t cb)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pb), std::streamsize(cb));
    out.close();
    if (!out)
        throw CommandError("quibo-pack: cannot write " + path);
}
