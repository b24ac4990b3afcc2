// Writes the binary resources of the resource tests: every byte value in a known pattern,
// and an empty file. Generated at build time, as nothing binary is kept in the repository.
#include "resource_pattern.h"

#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::ofstream pattern(argv[1], std::ios::binary);
    for (size_t i = 0; i < kPatternSize; ++i)
        pattern.put(static_cast<char>(PatternByte(i)));
    std::ofstream empty(argv[2], std::ios::binary);
    return pattern && empty ? 0 : 1;
}
