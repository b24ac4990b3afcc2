// Request sequences a real client sends: folders, a file written and read back, a shortcut,
// registry values, and paths that try to leave the device.
#include "fuzz_seeds.h"
#include "protocol.h"

#include "windows.h"

using namespace handheld;

namespace {

using Bytes = std::vector<uint8_t>;

struct Sequence {
    Bytes bytes;
    Sequence& add(const MessageWriter& request)
    {
        const std::vector<uint8_t>& payload = request.payload();
        bytes.push_back(uint8_t(payload.size()));
        bytes.push_back(uint8_t(payload.size() >> 8));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }
};

MessageWriter op(Op value)
{
    return MessageWriter().u32(uint32_t(value));
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("folders", Sequence()
                               .add(op(Op::CreateDirectory).text(u"\\Program Files\\Quibo"))
                               .add(op(Op::FileAttributes).text(u"\\Program Files\\Quibo"))
                               .add(op(Op::RemoveDirectory).text(u"\\Program Files\\Quibo"))
                               .bytes);
    seeds.Write("file", Sequence()
                            .add(op(Op::CreateFile).text(u"\\a.txt").u32(GENERIC_WRITE).u32(0).u32(CREATE_ALWAYS).u32(0))
                            .add(op(Op::WriteFile).u32(1).bytes("hello", 5))
                            .add(op(Op::SetFilePointer).u32(1).u32(0).u32(0).u32(0).u32(FILE_BEGIN))
                            .add(op(Op::GetFileSize).u32(1))
                            .add(op(Op::ReadFile).u32(1).u32(5))
                            .add(op(Op::CloseHandle).u32(1))
                            .add(op(Op::MoveFile).text(u"\\a.txt").text(u"\\b.txt"))
                            .add(op(Op::DeleteFile).text(u"\\b.txt"))
                            .bytes);
    seeds.Write("shortcut", Sequence()
                                .add(op(Op::CreateShortcut).text(u"\\Windows\\StartUp\\q.lnk").text(u"\"\\q.exe\""))
                                .add(op(Op::ShortcutTarget).text(u"\\Windows\\StartUp\\q.lnk"))
                                .bytes);
    seeds.Write("registry", Sequence()
                                .add(op(Op::RegCreateKey).u32(0x80000002u).text(u"Software\\Apps\\Quibo").u32(0).u32(0))
                                .add(op(Op::RegSetValue).u32(1).text(u"Instl").u32(REG_DWORD).bytes("\1\0\0\0", 4))
                                .add(op(Op::RegQueryValue).u32(1).text(u"Instl").u32(1).u32(4))
                                .add(op(Op::RegDeleteValue).u32(1).text(u"Instl"))
                                .add(op(Op::RegCloseKey).u32(1))
                                .add(op(Op::RegDeleteKey).u32(0x80000002u).text(u"Software\\Apps\\Quibo"))
                                .bytes);
    seeds.Write("escapes", Sequence()
                               .add(op(Op::FileAttributes).text(u"\\..\\etc\\passwd"))
                               .add(op(Op::DeleteFile).text(u"C:\\..\\x"))
                               .add(op(Op::SystemInfo))
                               .add(op(Op::SpecialFolder).u32(2))
                               .add(op(Op::StoreInformation))
                               .bytes);
}
