// Request sequences a real client sends: folders, a file written and read back, a shortcut,
// registry values, and paths that try to leave the device.
#include "fuzz_seeds.h"
#include "protocol.h"

#include "windows.h"

using namespace handheld;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes sequence(std::initializer_list<MessageWriter> requests)
{
    Bytes bytes;
    for (const MessageWriter& request : requests) {
        const std::vector<uint8_t>& payload = request.payload();
        bytes.insert(bytes.end(), {uint8_t(payload.size()), uint8_t(payload.size() >> 8)});
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    return bytes;
}

MessageWriter op(Op value)
{
    return MessageWriter().u32(uint32_t(value));
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("folders",
                sequence({op(Op::CreateDirectory).text(u"\\Program Files\\Quibo"), op(Op::FileAttributes).text(u"\\Program Files\\Quibo"),
                          op(Op::RemoveDirectory).text(u"\\Program Files\\Quibo")}));
    seeds.Write("file",
                sequence({op(Op::CreateFile).text(u"\\a.txt").u32(GENERIC_WRITE).u32(0).u32(CREATE_ALWAYS).u32(0),
                          op(Op::WriteFile).u32(1).bytes("hello", 5), op(Op::SetFilePointer).u32(1).u32(0).u32(0).u32(0).u32(FILE_BEGIN),
                          op(Op::GetFileSize).u32(1), op(Op::ReadFile).u32(1).u32(5), op(Op::CloseHandle).u32(1),
                          op(Op::MoveFile).text(u"\\a.txt").text(u"\\b.txt"), op(Op::DeleteFile).text(u"\\b.txt")}));
    seeds.Write("shortcut", sequence({op(Op::CreateShortcut).text(u"\\Windows\\StartUp\\q.lnk").text(u"\"\\q.exe\""),
                                      op(Op::ShortcutTarget).text(u"\\Windows\\StartUp\\q.lnk")}));
    seeds.Write("registry",
                sequence({op(Op::RegCreateKey).u32(0x80000002u).text(u"Software\\Apps\\Quibo").u32(0).u32(0),
                          op(Op::RegSetValue).u32(1).text(u"Instl").u32(REG_DWORD).bytes("\1\0\0\0", 4),
                          op(Op::RegQueryValue).u32(1).text(u"Instl").u32(1).u32(4), op(Op::RegDeleteValue).u32(1).text(u"Instl"),
                          op(Op::RegCloseKey).u32(1), op(Op::RegDeleteKey).u32(0x80000002u).text(u"Software\\Apps\\Quibo")}));
    seeds.Write("escapes", sequence({op(Op::FileAttributes).text(u"\\..\\etc\\passwd"), op(Op::DeleteFile).text(u"C:\\..\\x"),
                                     op(Op::SystemInfo), op(Op::SpecialFolder).u32(2), op(Op::StoreInformation)}));
}
