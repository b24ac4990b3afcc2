// The pack tool's commands. Each takes its arguments after the command name, and throws
// CommandError or cetl::exception to fail.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;

void ZZPack(const Args& args); // IN OUT
void ZZUnpack(const Args& args); // IN OUT
void ZipList(const Args& args); // ARCHIVE: name, method, compressed and uncompressed size per line
void ZipExtract(const Args& args); // ARCHIVE ENTRY OUT
void ZipCreate(const Args& args); // OUT NAME=FILE...
void PspToBmp(const Args& args); // IN OUT [--transparent RRGGBB]
void PspInfo(const Args& args); // IN
void BmpToPsp(const Args& args); // IN OUT [--rle|--deflate] [--key RRGGBB]
