// Writes the wave files the sound tests carry as resources: a quiet and a loud tone.
// Generated at build time, as nothing binary is kept in the repository.
#include "wave_files.h"

#include <fstream>

namespace {

bool write(const char* path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    bool ok = write(argv[1], WaveFile({}, Sine8(400, 20, 40)));
    ok = write(argv[2], WaveFile({}, Sine8(800, 100, 40))) && ok;
    return ok ? 0 : 1;
}
