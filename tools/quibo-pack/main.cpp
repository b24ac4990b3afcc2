// quibo-pack: packs and unpacks ".zz" files, lists, extracts and creates ZIP archives, and
// converts layered images, through the same readers the game and the installer use.
#include "cetl/exception.h"
#include "commands.h"
#include "files.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    const char* usage;
    size_t cArgsMin;
    size_t cArgsMax;
    void (*run)(const Args&);
};

const Command kCommands[] = {
    {"zz-pack", "zz-pack IN OUT", 2, 2, ZZPack},
    {"zz-unpack", "zz-unpack IN OUT", 2, 2, ZZUnpack},
    {"zip-list", "zip-list ARCHIVE", 1, 1, ZipList},
    {"zip-extract", "zip-extract ARCHIVE ENTRY OUT", 3, 3, ZipExtract},
    {"zip-create", "zip-create OUT NAME=FILE...", 2, SIZE_MAX, ZipCreate},
    {"psp-to-bmp", "psp-to-bmp IN OUT [--transparent RRGGBB]", 2, 4, PspToBmp},
    {"psp-info", "psp-info IN", 1, 1, PspInfo},
    {"bmp-to-psp", "bmp-to-psp IN OUT [--rle|--deflate] [--key RRGGBB]", 2, 5, BmpToPsp},
};

int Usage()
{
    std::fputs("usage:\n", stderr);
    for (const Command& command : kCommands)
        std::fprintf(stderr, "  quibo-pack %s\n", command.usage);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        Args args(argv + 2, argv + argc);
        if (args.size() < command.cArgsMin || args.size() > command.cArgsMax)
            return Usage();
        try {
            command.run(args);
            return 0;
        } catch (const cetl::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        } catch (const CommandError& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        return 1;
    }
    return Usage();
}
