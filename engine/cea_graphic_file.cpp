// Graphics from files and resources, and graphics written back as bitmap files.
#include "cea_graphic.h"
#include "little_endian.h"
#include "memmgr.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kFileHeaderSize = 14;
constexpr DWORD kInfoHeaderSize = 40;
// No bitmap of ours comes near this; a forged header must not make us allocate gigabytes.
constexpr uint64_t kMaxBitmapBytes = 256u << 20;

bool ReadExactly(HANDLE file, void* pv, DWORD cb)
{
    DWORD cbRead = 0;
    return ReadFile(file, pv, cb, &cbRead, nullptr) && cbRead == cb;
}

bool WriteExactly(HANDLE file, const void* pv, DWORD cb)
{
    DWORD cbWritten = 0;
    return WriteFile(file, pv, cb, &cbWritten, nullptr) && cbWritten == cb;
}

void Put16(BYTE*& p, DWORD v)
{
    StoreLe16(p, v);
    p += 2;
}

void Put32(BYTE*& p, DWORD v)
{
    StoreLe32(p, v);
    p += 4;
}

} // namespace

Graphic::Graphic(LPCWSTR path, FrameList* frames, COLORREF transparency)
{
    Clear();
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const DWORD cb = GetFileSize(file, nullptr);
    BYTE* data = cb != INVALID_FILE_SIZE && cb <= kMaxBitmapBytes ? static_cast<BYTE*>(MEM_ALLOC(cb, "cbData")) : nullptr;
    if (data && ReadExactly(file, data, cb))
        LoadFromMemory(data, cb, frames, transparency);
    MEM_FREE(data);
    CloseHandle(file);
}

Graphic::Graphic(HANDLE file, FrameList* frames, COLORREF transparency)
{
    Clear();
    BYTE magic[2];
    if (!ReadExactly(file, magic, 2))
        return;
    if (magic[0] == 'B' && magic[1] == 'M')
        SetFilePointer(file, LONG(kFileHeaderSize - 2), nullptr, FILE_CURRENT);
    else
        SetFilePointer(file, -2, nullptr, FILE_CURRENT);
    BITMAPINFOHEADER header;
    if (!ReadExactly(file, &header, kInfoHeaderSize))
        return;
    SetFilePointer(file, -LONG(kInfoHeaderSize), nullptr, FILE_CURRENT);
    const int bitCount = BitCountOf(header);
    if (bitCount <= 0 || bitCount > 32 || header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN)
        return;
    const uint64_t cbTable = bitCount <= 8 ? 4u << bitCount : 0;
    const uint64_t cbPixels = uint64_t(PitchOf(header.biWidth, bitCount)) * uint64_t(std::abs(header.biHeight));
    const uint64_t cb = kInfoHeaderSize + cbTable + cbPixels;
    if (cb > kMaxBitmapBytes)
        return;
    BYTE* data = static_cast<BYTE*>(MEM_ALLOC(size_t(cb), "cbInfo"));
    if (data && ReadExactly(file, data, DWORD(cb)))
        LoadFromMemory(data, DWORD(cb), frames, transparency);
    MEM_FREE(data);
}

Graphic::Graphic(HMODULE module, LPCWSTR name, FrameList* frames, COLORREF transparency)
{
    Clear();
    HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(2));
    if (!resource)
        resource = FindResourceW(module, name, u"GRAPHIC");
    if (!resource)
        resource = FindResourceW(module, name, u"PSP");
    if (!resource)
        return;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data)
        LoadFromMemory(static_cast<const BYTE*>(data), SizeofResource(module, resource), frames, transparency);
}

bool Graphic::Save(HANDLE file)
{
    if (!Check("Save"))
        return false;
    const Graphic* root = Root();
    const NOTCHILD& n = root->m.NotChild;
    if (!n.bits)
        return false;
    const int cx = GetWidth();
    const int cy = GetHeight();
    const int bitCount = n.bitCount;
    const DWORD cbRow = PitchOf(cx, bitCount);
    const DWORD cbTable = bitCount <= 8 ? 4u << bitCount : 0;

    BYTE headers[kFileHeaderSize + kInfoHeaderSize] = {};
    BYTE* p = headers;
    Put16(p, 'B' | 'M' << 8);
    // The whole file, colour table included.
    Put32(p, DWORD(cy) * cbRow + kFileHeaderSize + kInfoHeaderSize + cbTable);
    Put32(p, 0);
    Put32(p, kFileHeaderSize + kInfoHeaderSize + cbTable);
    Put32(p, kInfoHeaderSize);
    Put32(p, DWORD(cx));
    Put32(p, DWORD(cy));
    Put16(p, 1);
    Put16(p, DWORD(bitCount));
    Put32(p, 0);
    Put32(p, DWORD(cy) * cbRow);
    Put32(p, 0);
    Put32(p, 0);
    Put32(p, cbTable / 4);
    Put32(p, cbTable / 4);
    if (!WriteExactly(file, headers, sizeof headers) || !WriteExactly(file, n.palette, cbTable))
        return false;

    BYTE* row = static_cast<BYTE*>(MEM_ALLOC(cbRow, "m.NotChild.cbPitch"));
    if (!row)
        return false;
    const POINT at = OffsetInRoot();
    const DWORD bytesPerPixel = DWORD(bitCount) / 8;
    bool ok = true;
    for (int y = cy - 1; y >= 0 && ok; --y) {
        std::memset(row, 0, cbRow);
        if (bitCount >= 8) {
            std::memcpy(row, n.bits + size_t(y + at.y) * n.cbPitch + size_t(at.x) * bytesPerPixel, size_t(cx) * bytesPerPixel);
        } else {
            // Packed rows of a view need not start on a byte: gather them pixel by pixel.
            for (int x = 0; x < cx; ++x) {
                const int bit = x * bitCount;
                row[bit / 8] = BYTE(row[bit / 8] | GetPixelValue(x, y) << (8 - bitCount - bit % 8));
            }
        }
        ok = WriteExactly(file, row, cbRow);
    }
    MEM_FREE(row);
    return ok;
}
