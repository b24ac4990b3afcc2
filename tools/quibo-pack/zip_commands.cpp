#include "commands.h"
#include "files.h"
#include "unzipper.h"
#include "zip_writer.h"

#include <cstdio>

void ZipList(const Args& args)
{
    ZIPFILE archive(args[0].c_str(), false);
    for (const auto& entry : archive) {
        const ZIPENTRY& e = *entry.value;
        std::printf("%s\t%u\t%u\t%u\n", e.c_str(), unsigned(e.wMethod), unsigned(e.cbCompressed), unsigned(e.cbUncompressed));
    }
}

void ZipExtract(const Args& args)
{
    ZIPFILE archive(args[0].c_str(), false);
    auto found = archive.Find(istring(args[1].c_str()));
    if (found == archive.end() || !found->value)
        throw CommandError("quibo-pack: " + args[0] + " has no entry " + args[1]);
    const ZIPENTRY& entry = *found->value;
    WriteWholeFile(args[2], entry.pbUncompressed, entry.cbUncompressed);
}

void ZipCreate(const Args& args)
{
    std::vector<ZipMember> members;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const size_t equals = arg.find('=');
        if (equals == std::string::npos || equals == 0)
            throw CommandError("quibo-pack: expected NAME=FILE, not " + arg);
        ZipMember member{arg.substr(0, equals), {}};
        const std::string file = arg.substr(equals + 1);
        const bool fDirectory = member.name.ends_with('/');
        if (fDirectory && !file.empty())
            throw CommandError("quibo-pack: the directory entry " + member.name + " takes no FILE");
        if (!fDirectory && file.empty())
            throw CommandError("quibo-pack: no FILE for " + member.name);
        if (!fDirectory)
            member.data = ReadWholeFile(file);
        members.push_back(std::move(member));
    }
    const Bytes archive = WriteStoredZip(members);
    WriteWholeFile(args[0], archive.data(), archive.size());
}
